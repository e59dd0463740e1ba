#include "runtime/sdl/sdl_window_system.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cairo.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "runtime/painter.h"
#include "runtime/scale.h"
#include "runtime/text.h"

namespace az {

SdlWindowSystem::SdlWindowSystem() {
    // The click that activates an inactive scene window must still reach it.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The game decides when it ends, not the last window.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Present our painted canvases with the native framebuffer: an
    // accelerated one would make SDL create the window anew, losing the
    // hints we set on it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A display busy taking many clients at once may refuse a connection
    // for a moment: a few short tries before giving up.
    int tries = 0;
    for (Uint32 wait = 50; SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0; wait *= 2) {
        if (++tries == 4) throw std::runtime_error(std::string("cannot open the display: ") + SDL_GetError());
        SDL_Delay(wait);
    }
    arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    // The benchmark listens on this descriptor for each frame put on screen.
    if (const char* fd = std::getenv("AZ_TRACE_FD")) traceFd_ = std::atoi(fd);
}

namespace {
constexpr Uint32 kToolTipDelay = 500;  // ms the pointer rests before a tooltip
}

SdlWindowSystem::~SdlWindowSystem() {
    hideToolTip();
    for (auto& [id, w] : windows_)
        if (w.sdl) SDL_DestroyWindow(w.sdl);
    for (auto& [id, c] : cursors_)
        if (c) SDL_FreeCursor(c);
    if (arrow_) SDL_FreeCursor(arrow_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

SdlWindowSystem::Window* SdlWindowSystem::byId(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

SdlWindowSystem::Window* SdlWindowSystem::bySdlId(Uint32 id) {
    for (auto& [wid, w] : windows_)
        if (w.sdl && SDL_GetWindowID(w.sdl) == id) return &w;
    return nullptr;
}

namespace {

struct X11Window {
    Display* dpy = nullptr;
    ::Window xw = 0;
};

std::optional<X11Window> x11Of(SDL_Window* win) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(win, &info) || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
    return X11Window{info.info.x11.display, info.info.x11.window};
}

// The legacy name properties in a proper encoding: Latin-1 where the
// caption fits it, else compound text, so that tools reading WM_NAME find
// the Czech captions (SDL writes raw UTF-8 labelled as Latin-1 there).
void setLegacyNames(const X11Window& x, const std::string& caption) {
    char* list[] = {const_cast<char*>(caption.c_str())};
    XTextProperty prop{};
    if (Xutf8TextListToTextProperty(x.dpy, list, 1, XStdICCTextStyle, &prop) < Success) return;
    XSetWMName(x.dpy, x.xw, &prop);
    XSetWMIconName(x.dpy, x.xw, &prop);
    XFree(prop.value);
}

// SDL puts all our windows in one window group. Window managers keep a
// utility window of a group above the whole group, as if it were transient
// for it; out of the group, the other scenes come to the front over it.
void leaveWindowGroup(const X11Window& x) {
    XWMHints* h = XGetWMHints(x.dpy, x.xw);
    if (!h) return;
    h->flags &= ~WindowGroupHint;
    h->window_group = 0;
    XSetWMHints(x.dpy, x.xw, h);
    XFree(h);
}

bool hasWindowManager(Display* dpy) {
    Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type;
    int format;
    unsigned long n = 0, after;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(dpy, DefaultRootWindow(dpy), check, 0, 1, False, XA_WINDOW, &type, &format, &n,
                                    &after, &data) == Success &&
                 n == 1;
    if (data) XFree(data);
    return found;
}

// The frame the window manager will put around the window: left, right,
// top, bottom. Asked for before the window is mapped; zeros without a
// window manager or when it does not answer in time.
std::array<long, 4> frameExtents(const X11Window& x) {
    std::array<long, 4> ext{0, 0, 0, 0};
    if (!hasWindowManager(x.dpy)) return ext;
    Atom extents = XInternAtom(x.dpy, "_NET_FRAME_EXTENTS", False);
    XEvent req{};
    req.xclient.type = ClientMessage;
    req.xclient.window = x.xw;
    req.xclient.message_type = XInternAtom(x.dpy, "_NET_REQUEST_FRAME_EXTENTS", False);
    req.xclient.format = 32;
    XSendEvent(x.dpy, DefaultRootWindow(x.dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &req);
    for (int tries = 0; tries < 30; ++tries) {
        XSync(x.dpy, False);
        Atom type;
        int format;
        unsigned long n = 0, after;
        unsigned char* data = nullptr;
        const bool got = XGetWindowProperty(x.dpy, x.xw, extents, 0, 4, False, XA_CARDINAL, &type, &format, &n,
                                            &after, &data) == Success &&
                         n == 4 && format == 32;
        if (got) {
            const long* v = reinterpret_cast<const long*>(data);
            for (int i = 0; i < 4; ++i) ext[size_t(i)] = v[i];
        }
        if (data) XFree(data);
        if (got) break;
        SDL_Delay(10);
    }
    return ext;
}

}  // namespace

void SdlWindowSystem::applyX11Hints(SDL_Window* win) {
    auto x = x11Of(win);
    if (!x) return;
    Display* dpy = x->dpy;
    ::Window xw = x->xw;

    // Fixed windows: a caption with a close box, no minimise or maximise,
    // asked for both through the Motif hints and the allowed actions.
    struct {
        unsigned long flags, functions, decorations;
        long inputMode;
        unsigned long status;
    } motif{1 | 2, 4 | 32 /* move, close */, 2 | 8 /* border, title */, 0, 0};
    Atom motifAtom = XInternAtom(dpy, "_MOTIF_WM_HINTS", False);
    XChangeProperty(dpy, xw, motifAtom, motifAtom, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&motif), 5);
    Atom actions[] = {XInternAtom(dpy, "_NET_WM_ACTION_MOVE", False), XInternAtom(dpy, "_NET_WM_ACTION_CLOSE", False)};
    XChangeProperty(dpy, xw, XInternAtom(dpy, "_NET_WM_ALLOWED_ACTIONS", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(actions), 2);
    XFlush(dpy);
}

void SdlWindowSystem::centre(SDL_Window* win) {
    // The client area, not the frame, goes to the middle of the screen.
    std::array<long, 4> ext{0, 0, 0, 0};
    if (auto x = x11Of(win)) ext = frameExtents(*x);
    SDL_Rect screen;
    int w, h;
    SDL_GetWindowSize(win, &w, &h);
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(win)), &screen) != 0) return;
    const int cx = screen.x + (screen.w - w) / 2, cy = screen.y + (screen.h - h) / 2;
    // Before mapping, the window manager puts the frame's corner where the
    // window stands.
    SDL_SetWindowPosition(win, cx - int(ext[0]), cy - int(ext[2]));
}

std::optional<double> SdlWindowSystem::desktopDpi() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return std::nullopt;
    const char* res = XResourceManagerString(dpy);
    std::optional<double> dpi = res ? xftDpiFromResources(res) : std::nullopt;
    XCloseDisplay(dpy);
    return dpi;
}

WindowId SdlWindowSystem::createWindow(const std::string& scene, const WindowDesc& d) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (!d.taskbar) flags |= SDL_WINDOW_SKIP_TASKBAR;
    // The fixed tool window is a utility window: window managers may draw
    // it with a small caption. It is transient for no window and in no
    // group, so the scenes behind it still come to the front when clicked.
    if (d.border == Border::FixedToolWindow) flags |= SDL_WINDOW_UTILITY;
    const Size size = deviceSize(d.widthPx(), d.heightPx(), scale_);
    SDL_Window* win = SDL_CreateWindow(d.caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       size.w, size.h, flags);
    if (!win) throw std::runtime_error(std::string("cannot create a window: ") + SDL_GetError());
    if (auto x = x11Of(win)) {
        setLegacyNames(*x, d.caption);
        if (d.border == Border::FixedToolWindow) leaveWindowGroup(*x);
    }
    // Only a scene with an icon of its own carries one; the others show the
    // window system's default.
    if (images_ && d.icon) {
        if (auto img = images_(d.icon, 32)) {
            SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(img->argb.data(), img->w, img->h, 32,
                                                                img->w * 4, SDL_PIXELFORMAT_ARGB8888);
            if (s) {
                SDL_SetWindowIcon(win, s);
                SDL_FreeSurface(s);
            }
        }
    }
    WindowId id = next_++;
    windows_[id] = Window{scene, win, true, false};
    return id;
}

void SdlWindowSystem::destroyWindow(WindowId id) {
    Window* w = byId(id);
    if (!w) return;
    if (w->sdl) SDL_DestroyWindow(w->sdl);
    windows_.erase(id);
    std::erase(zorder_, id);
}

void SdlWindowSystem::showWindow(WindowId id) {
    Window* w = byId(id);
    if (!w) return;
    if (std::getenv("AZ_DEBUG_INPUT")) std::fprintf(stderr, "show %s\n", w->scene.c_str());
    w->visible = true;
    w->dirty = true;
    // SDL writes its own decoration hints while creating the window; ours
    // go on last, before the window manager sees the window mapped.
    applyX11Hints(w->sdl);
    if (!w->placed) {
        centre(w->sdl);
        w->placed = true;
    }
    SDL_ShowWindow(w->sdl);
    SDL_RaiseWindow(w->sdl);
    std::erase(zorder_, id);
    zorder_.push_back(id);
}

void SdlWindowSystem::hideWindow(WindowId id) {
    Window* w = byId(id);
    if (!w) return;
    w->visible = false;
    SDL_HideWindow(w->sdl);
}

void SdlWindowSystem::invalidate(WindowId id) {
    if (Window* w = byId(id)) w->dirty = true;
}

void SdlWindowSystem::fatalError(const std::string& message) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Agent Zaza", message.c_str(), nullptr);
}

SDL_Point SdlWindowSystem::globalPoint(SDL_Window* win, int x, int y) {
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(win, &wx, &wy);
    return {wx + x, wy + y};
}

std::optional<std::pair<WindowId, SDL_Point>> SdlWindowSystem::windowUnder(SDL_Point g) {
    for (auto it = zorder_.rbegin(); it != zorder_.rend(); ++it) {
        Window* w = byId(*it);
        if (!w || !w->visible) continue;
        int x, y, ww, hh;
        SDL_GetWindowPosition(w->sdl, &x, &y);
        SDL_GetWindowSize(w->sdl, &ww, &hh);
        if (g.x >= x && g.y >= y && g.x < x + ww && g.y < y + hh) return std::make_pair(*it, SDL_Point{g.x - x, g.y - y});
    }
    return std::nullopt;
}

void SdlWindowSystem::updateCursor(const std::string& scene, int x, int y) {
    int asset = rt_ ? rt_->cursorAt(scene, x, y) : 0;
    if (std::getenv("AZ_DEBUG_INPUT")) std::fprintf(stderr, "cursor %d over %s %d,%d\n", asset, scene.c_str(), x, y);
    if (asset == currentCursor_) return;
    currentCursor_ = asset;
    SDL_Cursor* c = arrow_;
    if (asset && images_) {
        auto it = cursors_.find(asset);
        if (it == cursors_.end()) {
            SDL_Cursor* made = nullptr;
            if (auto img = images_(asset, static_cast<int>(std::lround(32 * scale_)))) {
                SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(img->argb.data(), img->w, img->h, 32,
                                                                    img->w * 4, SDL_PIXELFORMAT_ARGB8888);
                if (s) {
                    made = SDL_CreateColorCursor(s, img->hotX, img->hotY);
                    SDL_FreeSurface(s);
                }
            }
            it = cursors_.emplace(asset, made).first;
        }
        if (it->second) c = it->second;
    }
    SDL_SetCursor(c);
}

void SdlWindowSystem::showToolTip(const std::string& text, SDL_Point g) {
    hideToolTip();
    // Measure and paint the tip like any other text of the game.
    const Font font;
    TextExtent e = measureText(font, text, 0);
    const int lw = e.widestPx + 8, lh = e.heightPx + 4;
    const Size d = deviceSize(lw, lh, scale_);
    const int w = d.w, h = d.h;
    tip_ = SDL_CreateWindow("", g.x, g.y + static_cast<int>(std::lround(20 * scale_)), w, h,
                            SDL_WINDOW_TOOLTIP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR |
                                SDL_WINDOW_ALWAYS_ON_TOP);
    if (!tip_) return;
    SDL_Surface* target = SDL_GetWindowSurface(tip_);
    if (!target) return;
    cairo_surface_t* canvas = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_set_device_scale(canvas, scale_, scale_);
    cairo_t* cr = cairo_create(canvas);
    Rgb bg = rgbOf(sysColor(24));
    cairo_set_source_rgb(cr, bg.r, bg.g, bg.b);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, lw - 1, lh - 1);
    cairo_stroke(cr);
    PangoLayout* layout = makeLayout(cr, font, text, 0, 0);
    cairo_move_to(cr, 4, 2);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_flush(canvas);
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(cairo_image_surface_get_data(canvas), w, h, 32,
                                                          cairo_image_surface_get_stride(canvas),
                                                          SDL_PIXELFORMAT_ARGB8888);
    if (src) {
        SDL_BlitSurface(src, nullptr, target, nullptr);
        SDL_FreeSurface(src);
        SDL_UpdateWindowSurface(tip_);
    }
    cairo_surface_destroy(canvas);
}

void SdlWindowSystem::hideToolTip() {
    if (tip_) SDL_DestroyWindow(tip_);
    tip_ = nullptr;
    rest_.shown = false;
}

void SdlWindowSystem::handle(const SDL_Event& ev) {
    if (!rt_) return;
    // A press or the pointer leaving ends the rest: no tooltip comes up
    // during a drag (it would come between the pointer and the windows).
    if (ev.type == SDL_MOUSEBUTTONDOWN || (ev.type == SDL_WINDOWEVENT && ev.window.event == SDL_WINDOWEVENT_LEAVE)) {
        hideToolTip();
        rest_ = Rest{};
    }
    switch (ev.type) {
    case SDL_QUIT:
        // Interrupted from outside: end as End does.
        rt_->dispatch([this] { rt_->end(); });
        break;
    case SDL_WINDOWEVENT: {
        Window* w = bySdlId(ev.window.windowID);
        if (!w) break;
        switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE: {
            std::string scene = w->scene;
            rt_->closeBox(scene);
            break;
        }
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
            w->dirty = true;
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            for (auto& [id, ww] : windows_)
                if (&ww == w) {
                    std::erase(zorder_, id);
                    zorder_.push_back(id);
                }
            break;
        case SDL_WINDOWEVENT_LEAVE:
            currentCursor_ = -1;
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            // Scenes cannot be minimised; a window manager that offers it
            // anyway would leave a player without a taskbar no way back.
            if (w->visible) SDL_RestoreWindow(w->sdl);
            break;
        default:
            break;
        }
        break;
    }
    case SDL_MOUSEBUTTONDOWN: {
        if (ev.button.button != SDL_BUTTON_LEFT) break;
        Window* w = bySdlId(ev.button.windowID);
        if (!w) break;
        std::string scene = w->scene;
        if (std::getenv("AZ_DEBUG_INPUT"))
            std::fprintf(stderr, "press on %s %d,%d\n", scene.c_str(), ev.button.x, ev.button.y);
        rt_->mouseDown(scene, toLogical(ev.button.x, scale_), toLogical(ev.button.y, scale_));
        if (rt_->drag()) {
            dragWindowScene_ = scene;
            SDL_SetCursor(arrow_);
            currentCursor_ = 0;
            w->dirty = true;
        }
        break;
    }
    case SDL_MOUSEBUTTONUP: {
        if (ev.button.button != SDL_BUTTON_LEFT) break;
        // The pressed window has the pointer captured: its coordinates go on
        // outside it, and with its place they give the point on the screen.
        Window* pressed = bySdlId(ev.button.windowID);
        if (!pressed) break;
        const SDL_Point g = globalPoint(pressed->sdl, ev.button.x, ev.button.y);
        std::string scene;
        int x = ev.button.x, y = ev.button.y;
        if (auto under = windowUnder(g)) {
            scene = byId(under->first)->scene;
            x = under->second.x;
            y = under->second.y;
        }
        x = toLogical(x, scale_);
        y = toLogical(y, scale_);
        const bool dragging = rt_->drag().has_value();
        if (std::getenv("AZ_DEBUG_INPUT"))
            std::fprintf(stderr, "release at %d,%d global, %s %d,%d\n", g.x, g.y, scene.c_str(), x, y);
        rt_->mouseUp(scene, x, y);
        if (dragging)
            for (auto& [id, w] : windows_) w.dirty = true;
        if (!scene.empty()) {
            updateCursor(scene, x, y);
            rest_ = Rest{scene, x, y, SDL_GetTicks(), false};
        }
        break;
    }
    case SDL_KEYDOWN: {
        Window* w = bySdlId(ev.key.windowID);
        if (!w) break;
        const bool shift = ev.key.keysym.mod & KMOD_SHIFT;
        std::optional<Key> k;
        switch (ev.key.keysym.sym) {
        case SDLK_SPACE:
            if (!ev.key.repeat) k = Key::Space;
            break;
        case SDLK_TAB: k = shift ? Key::ShiftTab : Key::Tab; break;
        case SDLK_UP: k = Key::Up; break;
        case SDLK_DOWN: k = Key::Down; break;
        case SDLK_LEFT: k = Key::Left; break;
        case SDLK_RIGHT: k = Key::Right; break;
        case SDLK_HOME: k = Key::Home; break;
        case SDLK_END: k = Key::End; break;
        case SDLK_PAGEUP: k = Key::PageUp; break;
        case SDLK_PAGEDOWN: k = Key::PageDown; break;
        default: break;
        }
        if (k) {
            std::string scene = w->scene;
            rt_->keyDown(scene, *k);
        }
        break;
    }
    case SDL_MOUSEWHEEL: {
        Window* w = bySdlId(ev.wheel.windowID);
        if (!w || ev.wheel.y == 0) break;
        const int up = ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -ev.wheel.y : ev.wheel.y;
        std::string scene = w->scene;
        rt_->mouseWheel(scene, ev.wheel.mouseX, ev.wheel.mouseY, -up);
        break;
    }
    case SDL_MOUSEMOTION: {
        Window* w = bySdlId(ev.motion.windowID);
        if (!w) break;
        // A list box's scroll thumb follows the held pointer.
        if ((ev.motion.state & SDL_BUTTON_LMASK) && !rt_->drag()) rt_->mouseMove(w->scene, ev.motion.x, ev.motion.y);
        if (rt_->drag()) {
            const SDL_Point g = globalPoint(w->sdl, ev.motion.x, ev.motion.y);
            auto under = windowUnder(g);
            std::string scene = under ? byId(under->first)->scene : std::string();
            int x = under ? toLogical(under->second.x, scale_) : 0, y = under ? toLogical(under->second.y, scale_) : 0;
            rt_->mouseMove(scene, x, y);
            if (std::getenv("AZ_DEBUG_INPUT"))
                std::fprintf(stderr, "drag over %s %d,%d (global %d,%d)\n", scene.c_str(), x, y, g.x, g.y);
            for (auto& [id, ww] : windows_) ww.dirty = true;
        } else {
            const int x = toLogical(ev.motion.x, scale_), y = toLogical(ev.motion.y, scale_);
            updateCursor(w->scene, x, y);
            // A tooltip stays while the pointer stays over the same control.
            const std::string tip = rt_->toolTipAt(w->scene, x, y);
            if (rest_.shown && tip != rt_->toolTipAt(rest_.scene, rest_.x, rest_.y)) hideToolTip();
            if (!rest_.shown) rest_ = Rest{w->scene, x, y, SDL_GetTicks(), false};
        }
        break;
    }
    default:
        break;
    }
}

void SdlWindowSystem::present(WindowId, Window& w) {
    const Scene* s = rt_ ? rt_->find(w.scene) : nullptr;
    if (!s || !s->isLoaded()) return;
    SDL_Surface* target = SDL_GetWindowSurface(w.sdl);
    if (!target) return;
    cairo_surface_t* canvas = renderScene(*rt_, *s);
    // The drag outline follows the pointer, inverted, also across windows.
    if (const auto& d = rt_->drag(); d && d->pointerScene == w.scene) {
        cairo_t* cr = cairo_create(canvas);
        cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, d->pointerX - d->offsetX + 0.5, d->pointerY - d->offsetY + 0.5, d->w - 1, d->h - 1);
        cairo_stroke(cr);
        cairo_destroy(cr);
    }
    cairo_surface_flush(canvas);
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(
        cairo_image_surface_get_data(canvas), cairo_image_surface_get_width(canvas),
        cairo_image_surface_get_height(canvas), 32, cairo_image_surface_get_stride(canvas),
        SDL_PIXELFORMAT_ARGB8888);
    if (src) {
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
        SDL_BlitSurface(src, nullptr, target, nullptr);
        SDL_FreeSurface(src);
        SDL_UpdateWindowSurface(w.sdl);
        trace(w.scene);
    }
    cairo_surface_destroy(canvas);
    w.dirty = false;
}

void SdlWindowSystem::trace(const std::string& scene) {
    if (traceFd_ < 0) return;
    // "present SCENE GAME-MS MONOTONIC-NS": the steady clock is the
    // system's monotonic one, which the listener reads too.
    const auto mono = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
    char line[160];
    const int n = std::snprintf(line, sizeof line, "present %s %lld %lld\n", scene.c_str(),
                                static_cast<long long>(clock_ ? clock_->now() : -1), static_cast<long long>(mono));
    if (n > 0 && write(traceFd_, line, static_cast<size_t>(std::min<int>(n, sizeof line - 1))) < 0) traceFd_ = -1;
}

void SdlWindowSystem::repaintAll() {
    for (auto& [id, w] : windows_)
        if (w.visible && w.dirty) present(id, w);
}

void SdlWindowSystem::step(Clock& clock, int64_t until) {
    clock_ = &clock;
    // Movies and banners mark their windows changed when a new frame is due
    // and say when the next one is; a window is painted only when changed.
    const int frameIn = frameInterval_ ? frameInterval_() : 0;
    repaintAll();
    int64_t now = clock.now();
    int64_t wake = until;
    if (auto due = rt_->nextDue()) wake = std::min(wake, *due);
    if (frameIn > 0) wake = std::min(wake, now + frameIn);
    // Bring up the tooltip of a resting pointer, or wake when it is due.
    if (!rest_.shown && !rest_.scene.empty() && !rt_->drag() &&
        !rt_->toolTipAt(rest_.scene, rest_.x, rest_.y).empty()) {
        const Uint32 restedFor = SDL_GetTicks() - rest_.since;
        if (restedFor >= kToolTipDelay) {
            for (auto& [id, w] : windows_)
                if (w.scene == rest_.scene && w.visible)
                    showToolTip(rt_->toolTipAt(rest_.scene, rest_.x, rest_.y),
                                globalPoint(w.sdl, toDevice(rest_.x, scale_), toDevice(rest_.y, scale_)));
            rest_.shown = true;
        } else {
            wake = std::min<int64_t>(wake, now + (kToolTipDelay - restedFor));
        }
    }
    SDL_Event ev;
    int timeout = static_cast<int>(std::clamp<int64_t>(wake - now, 0, 1000000));
    if (SDL_WaitEventTimeout(&ev, timeout)) {
        handle(ev);
        while (!rt_->ended() && SDL_PollEvent(&ev)) handle(ev);
    }
    if (!rt_->ended()) rt_->deliverDueTicks();
}

void SdlWindowSystem::run(Clock& clock) {
    while (rt_ && !rt_->ended()) step(clock, clock.now() + 1000000);
}

void SdlWindowSystem::runFor(Clock& clock, int64_t ms) {
    const int64_t until = clock.now() + ms;
    do {
        step(clock, until);
    } while (rt_ && !rt_->ended() && clock.now() < until);
    if (rt_ && !rt_->ended()) repaintAll();
}

}  // namespace az
