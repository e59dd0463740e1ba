// The SDL window system under a real X server (the test run starts Xvfb).
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>

#include <cmath>
#include <ctime>

#include "assets/catalogue.h"
#include "runtime/painter.h"
#include "runtime/scale.h"
#include "runtime/sdl/sdl_window_system.h"
#include "scenes/scenes.h"

namespace az {
namespace {

// Lets the window system handle what the X server sends until `done` holds,
// waiting for the next event in between; false when a second passes first.
template <class Done>
bool handleUntil(SdlWindowSystem& ws, Clock& clock, Display* dpy, Done done) {
    const Uint64 until = SDL_GetTicks64() + 1000;
    while (SDL_GetTicks64() < until) {
        XSync(dpy, False);
        ws.pump(clock);
        if (done()) return true;
        SDL_WaitEventTimeout(nullptr, 20);
    }
    return false;
}

class SdlWindows : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    }
};

TEST_F(SdlWindows, OneWindowPerSceneWithTheTablesSizeAndCaption) {
    SdlWindowSystem ws;
    ManualClock clock;
    std::vector<SceneDef> defs = {emptyScene("Form3"), emptyScene("late"), emptyScene("Form1")};
    Runtime rt(defs, ws, clock);
    ws.attach(rt);
    rt.start("late");
    rt.dispatch([&] { rt.scene("Form3").setVisible(false); });  // loaded hidden
    ws.pump(clock);

    SDL_Window* late = ws.sdlWindow(rt.find("late")->window);
    SDL_Window* quit = ws.sdlWindow(rt.find("Form3")->window);
    ASSERT_TRUE(late && quit);
    int w, h;
    SDL_GetWindowSize(late, &w, &h);
    EXPECT_EQ(w, 627);
    EXPECT_EQ(h, 491);
    EXPECT_STREQ(SDL_GetWindowTitle(late), "O několik hodin později ...");
    const Uint32 lf = SDL_GetWindowFlags(late), qf = SDL_GetWindowFlags(quit);
    EXPECT_FALSE(lf & SDL_WINDOW_RESIZABLE);
    EXPECT_TRUE(lf & SDL_WINDOW_SHOWN);
    EXPECT_FALSE(lf & SDL_WINDOW_SKIP_TASKBAR);
    EXPECT_TRUE(qf & SDL_WINDOW_HIDDEN);
    EXPECT_TRUE(qf & SDL_WINDOW_SKIP_TASKBAR);  // the quit dialog has no taskbar entry
    EXPECT_TRUE(qf & SDL_WINDOW_UTILITY);       // a tool window with a small caption
    EXPECT_FALSE(lf & SDL_WINDOW_UTILITY);

    // The canvas presented: the background colour of "late" is dark navy.
    SDL_Surface* s = SDL_GetWindowSurface(late);
    ASSERT_NE(s, nullptr);
    SDL_LockSurface(s);
    Uint32 px = *static_cast<Uint32*>(s->pixels);
    SDL_UnlockSurface(s);
    Uint8 r, g, b;
    SDL_GetRGB(px, s->format, &r, &g, &b);
    EXPECT_EQ(r, 0x00);
    EXPECT_EQ(g, 0x33);
    EXPECT_EQ(b, 0x66);
}

// What the X server holds for a window: its type, the window it is
// transient for, its legacy name decoded, its icon and Motif hints.
struct XProps {
    std::string type, legacyName;
    bool transient = false, icon = false;
    std::vector<long> motif;
};

XProps xprops(SDL_Window* win) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    XProps p;
    if (!SDL_GetWindowWMInfo(win, &info) || info.subsystem != SDL_SYSWM_X11) return p;
    Display* dpy = info.info.x11.display;
    ::Window xw = info.info.x11.window;
    XSync(dpy, False);
    auto longs = [&](const char* name) {
        std::vector<long> out;
        Atom type;
        int format;
        unsigned long n = 0, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, xw, XInternAtom(dpy, name, False), 0, 64, False, AnyPropertyType, &type, &format,
                               &n, &after, &data) == Success &&
            data && format == 32)
            out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + n);
        if (data) XFree(data);
        return out;
    };
    if (auto t = longs("_NET_WM_WINDOW_TYPE"); !t.empty()) {
        char* n = XGetAtomName(dpy, Atom(t[0]));
        p.type = n;
        XFree(n);
    }
    ::Window owner = 0;
    p.transient = XGetTransientForHint(dpy, xw, &owner) && owner != 0;
    p.icon = !longs("_NET_WM_ICON").empty();
    p.motif = longs("_MOTIF_WM_HINTS");
    XTextProperty prop;
    if (XGetWMName(dpy, xw, &prop)) {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(dpy, &prop, &list, &count) == Success && count > 0) p.legacyName = list[0];
        if (list) XFreeStringList(list);
        XFree(prop.value);
    }
    return p;
}

TEST_F(SdlWindows, WindowPropertiesTellTheWindowManagerWhatEachSceneIs) {
    Catalogue pictures(AZ_ASSET_DIR);
    SdlWindowSystem ws;
    ws.setImageSource([&](int asset, int) { return pictures.cursorImage(asset); });
    ManualClock clock;
    std::vector<SceneDef> defs = {emptyScene("Form2"), emptyScene("Form3"), emptyScene("Form4")};
    Runtime rt(defs, ws, clock);
    ws.attach(rt);
    rt.start("Form4");
    rt.dispatch([&] {
        rt.scene("Form3").show();
        rt.scene("Form2").show();
    });
    ws.pump(clock);
    const XProps menu = xprops(ws.sdlWindow(rt.find("Form2")->window));
    const XProps quit = xprops(ws.sdlWindow(rt.find("Form3")->window));
    const XProps credits = xprops(ws.sdlWindow(rt.find("Form4")->window));
    // The quit dialog is a utility window of its own, transient for none.
    EXPECT_EQ(quit.type, "_NET_WM_WINDOW_TYPE_UTILITY");
    EXPECT_FALSE(quit.transient);
    EXPECT_EQ(credits.type, "_NET_WM_WINDOW_TYPE_NORMAL");
    // Only the menu has an icon of its own.
    EXPECT_TRUE(menu.icon);
    EXPECT_FALSE(quit.icon);
    EXPECT_FALSE(credits.icon);
    // The Czech captions read back from the legacy name too.
    EXPECT_EQ(credits.legacyName, "Stvořitelé");
    EXPECT_EQ(quit.legacyName, "Opustit hru ??");
    // Move and close only; a border and a title.
    ASSERT_GE(credits.motif.size(), 3u);
    EXPECT_EQ(credits.motif[1], 4 | 32);
    EXPECT_EQ(credits.motif[2], 2 | 8);
    // With no window manager there is no frame: the client area is centred.
    SDL_Rect screen;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
    int x, y, w, h;
    SDL_Window* win = ws.sdlWindow(rt.find("Form4")->window);
    SDL_GetWindowPosition(win, &x, &y);
    SDL_GetWindowSize(win, &w, &h);
    EXPECT_LE(std::abs(2 * x + w - screen.w), 2);
    EXPECT_LE(std::abs(2 * y + h - screen.h), 2);
}

TEST_F(SdlWindows, CloseBoxUnloadsTheSceneAndIdleDoesNotSpin) {
    SdlWindowSystem ws;
    SteadyClock clock;
    std::vector<SceneDef> defs = {emptyScene("Form1")};
    Runtime rt(defs, ws, clock);
    ws.attach(rt);
    rt.start("Form1");

    // Idle with nothing due: the loop sleeps in the event wait.
    const std::clock_t cpu0 = std::clock();
    ws.runFor(clock, 400);
    const double cpuMs = 1000.0 * double(std::clock() - cpu0) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuMs, 100.0);

    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.event = SDL_WINDOWEVENT_CLOSE;
    ev.window.windowID = SDL_GetWindowID(ws.sdlWindow(rt.find("Form1")->window));
    SDL_PushEvent(&ev);
    ws.runFor(clock, 100);
    EXPECT_TRUE(rt.ended());
    EXPECT_EQ(rt.state("Form1"), SceneState::Unloaded);
}

TEST_F(SdlWindows, TheCursorOfTheControlUnderThePointerWithItsHotSpot) {
    // The X server's own idea of the cursor shown: its size and hot spot.
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    auto shown = [&] {
        XFixesCursorImage* c = XFixesGetCursorImage(dpy);
        std::tuple<int, int, int> r{c->width, c->xhot, c->yhot};
        XFree(c);
        return r;
    };
    Catalogue pictures(AZ_ASSET_DIR);
    SdlWindowSystem ws;
    ws.setImageSource([&](int asset, int) { return pictures.cursorImage(asset); });
    ManualClock clock;
    SceneDef d = emptyScene("Form3");
    d.desc.controls = {label("Hand").at(0, 0, 1500, 600).cursor(11), label("Plain").at(0, 900, 1500, 600)};
    Runtime rt({d}, ws, clock);
    ws.attach(rt);
    rt.start("Form3");
    SDL_Window* win = ws.sdlWindow(rt.find("Form3")->window);
    // The pointer is moved, then the events are handled until the X
    // server shows the cursor looked for (or a second has gone).
    auto moveTo = [&](int x, int y, auto cursorShown) {
        SDL_WarpMouseInWindow(win, x, y);
        handleUntil(ws, clock, dpy, cursorShown);
    };
    const auto hand = std::make_tuple(32, 12, 1);  // the pointing hand, its finger tip
    moveTo(20, 20, [&] { return shown() == hand; });
    EXPECT_EQ(shown(), hand);
    moveTo(20, 75, [&] { return std::get<0>(shown()) != 32; });
    EXPECT_NE(std::get<0>(shown()), 32);  // the default arrow
    XCloseDisplay(dpy);
}

TEST_F(SdlWindows, ADragFollowsThePointerWithItsOutlineAndDropsOnTheControlUnderIt) {
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    SdlWindowSystem ws;
    ManualClock clock;
    std::vector<std::string> drops;
    SceneDef d = emptyScene("late");  // 627 x 491, dark navy
    d.desc.controls = {image("Item").at(150, 150, 600, 600).draggable().withTag("Gun"),
                       image("Target").at(6000, 4500, 1500, 1500)};
    d.on("Target", EventKind::DragDrop, [&](Runtime&, const SceneRef&, const Event& e) { drops.push_back(e.source->tag()); });
    Runtime rt({d}, ws, clock);
    ws.attach(rt);
    rt.start("late");
    SDL_Window* win = ws.sdlWindow(rt.find("late")->window);
    // What the test does through the X server is handled once the window
    // system has seen it.
    auto settle = [&](auto seen) { handleUntil(ws, clock, dpy, seen); };
    settle([&] { return SDL_GetMouseFocus() == win; });
    int wx, wy;
    SDL_GetWindowPosition(win, &wx, &wy);
    auto moveTo = [&](int x, int y) {  // client pixels, through the X server
        XTestFakeMotionEvent(dpy, -1, wx + x, wy + y, CurrentTime);
        settle([&] {
            int px, py;
            SDL_GetMouseState(&px, &py);
            return px == x && py == y && (!rt.drag() || (rt.drag()->pointerX == x && rt.drag()->pointerY == y));
        });
    };
    moveTo(20, 20);  // the middle of the item
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    settle([&] { return rt.drag().has_value(); });
    ASSERT_TRUE(rt.drag().has_value());
    for (int x = 60; x <= 300; x += 60) moveTo(x, 200);
    EXPECT_EQ(rt.drag()->pointerX, 300);
    EXPECT_EQ(rt.drag()->pointerY, 200);
    // The outline, inverted over the navy background, where the pointer took it.
    SDL_Surface* s = SDL_GetWindowSurface(win);
    ASSERT_NE(s, nullptr);
    auto rgb = [&](int x, int y) {
        SDL_LockSurface(s);
        Uint32 px = static_cast<Uint32*>(s->pixels)[y * s->pitch / 4 + x];
        SDL_UnlockSurface(s);
        Uint8 r, g, b;
        SDL_GetRGB(px, s->format, &r, &g, &b);
        return std::make_tuple(int(r), int(g), int(b));
    };
    EXPECT_EQ(rgb(300 - 10, 200 - 10), std::make_tuple(0xFF, 0xCC, 0x99));  // its top-left corner
    EXPECT_EQ(rgb(300, 200), std::make_tuple(0x00, 0x33, 0x66));            // inside: untouched
    moveTo(450, 350);  // over the target
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    settle([&] { return !rt.drag().has_value(); });
    EXPECT_FALSE(rt.drag().has_value());
    EXPECT_EQ(drops, std::vector<std::string>{"Gun"});
    XCloseDisplay(dpy);
}

TEST_F(SdlWindows, AtAScaleWindowsAreLargerAndClicksReachTheSameControls) {
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    for (double k : {1.5, 2.0}) {
        Catalogue pictures(AZ_ASSET_DIR, k);
        SdlWindowSystem ws;
        ws.setScale(k);
        ws.setImageSource([&](int asset, int) { return pictures.cursorImage(asset); });
        ManualClock clock;
        std::vector<std::string> clicks;
        SceneDef d = emptyScene("late");  // 627 x 491
        d.desc.controls = {label("A").at(0, 0, 1500, 600).cursor(11), label("B").at(1500, 0, 1500, 600)};
        d.on("A", EventKind::Click, [&](Runtime&, const SceneRef&, const Event&) { clicks.push_back("A"); });
        d.on("B", EventKind::Click, [&](Runtime&, const SceneRef&, const Event&) { clicks.push_back("B"); });
        Runtime rt({d}, ws, clock);
        rt.setScale(k);
        ws.attach(rt);
        rt.start("late");
        SDL_Window* win = ws.sdlWindow(rt.find("late")->window);
        int w, h;
        SDL_GetWindowSize(win, &w, &h);
        EXPECT_EQ(w, deviceSize(627, 491, k).w);
        EXPECT_EQ(h, deviceSize(627, 491, k).h);
        auto settle = [&] {
            XSync(dpy, False);
            for (int i = 0; i < 10; ++i) {
                ws.pump(clock);
                SDL_Delay(10);
            }
        };
        settle();
        int wx, wy;
        SDL_GetWindowPosition(win, &wx, &wy);
        auto clickAt = [&](int x, int y) {  // device pixels of the client area
            XTestFakeMotionEvent(dpy, -1, wx + x, wy + y, CurrentTime);
            settle();
            XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
            XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
            settle();
        };
        // A is logical 0..99 wide, B 100..199: the device pixels on either
        // side of the scaled border, and the middles.
        const int border = toDevice(100, k);
        for (int x : {toDevice(50, k), border - 1, border, toDevice(150, k), toDevice(199, k)}) clickAt(x, toDevice(20, k));
        clickAt(toDevice(250, k), toDevice(20, k));  // beside both: nothing
        EXPECT_EQ(clicks, (std::vector<std::string>{"A", "A", "B", "B", "B"})) << k;
        // The cursor over A: the pointing hand at the scale, its finger tip the hot spot.
        XTestFakeMotionEvent(dpy, -1, wx + toDevice(30, k), wy + toDevice(20, k), CurrentTime);
        settle();
        XFixesCursorImage* c = XFixesGetCursorImage(dpy);
        EXPECT_EQ(c->width, std::lround(32 * k));
        EXPECT_EQ(c->xhot, std::lround(12 * k));
        EXPECT_EQ(c->yhot, std::lround(1 * k));
        XFree(c);
    }
    XCloseDisplay(dpy);
}

}  // namespace
}  // namespace az
