// The town map: locked places swallow the click under the hand, reachable
// places unload the map before showing their scene, the map comes back with
// its design values, writes while it is unloaded load it hidden, and the
// underlines stay whatever the locks.
#include <gtest/gtest.h>

#include <cairo.h>

#include <sstream>
#include <string>
#include <vector>

#include "runtime/painter.h"
#include "support/story.h"

namespace az {
namespace {

// Each place: its white label, its grey twin, the scene it leads to.
struct Place {
    const char* name;
    const char* white;
    const char* grey;
    const char* target;
    bool reachableAtLoad;
};

const Place kPlaces[] = {
    {"Domov", "Label1", "Label8", "Form6", true},
    {"Elektrárna", "Label2", "Label10", "Form10", false},
    {"Obchodník", "Label3", "Label6", "Form9", false},
    {"Konopný Trh", "Label4", "Label7", "Form8", false},
    {"Město", "Label5", "Label9", "Form11", false},
};

const char* const kLines[] = {"Line1", "Line2", "Line3", "Line4", "Line5"};

constexpr int kHand = 11;

// A game with only the map on screen.
struct MapGame : testing::StoryGame {
    explicit MapGame(std::vector<SceneDef> defs = gameScenes()) : StoryGame(std::move(defs)) {}

    void showMap() { show("Form7"); }
    // What another scene does to the map.
    void write(const char* control, bool visible) {
        rt().dispatch([&] { rt().scene("Form7").control(control).setVisible(visible); });
    }
    // Runs script lines; the failure message names the line.
    void play(const std::string& script) { EXPECT_EQ(StoryGame::play(script), ""); }
    const Scene& map() { return *rt().find("Form7"); }
    const Control& ctl(const char* name) { return *map().find(name); }
    Rect rect(const char* name) { return map().clientRect(ctl(name)); }
};

std::string s(const char* a) { return a; }

TEST(Form7, LockedPlaceSwallowsTheClickUnderTheHand) {
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(p.name);
        MapGame g;
        g.showMap();
        // "Domov" is open at load; the car of the house locks it.
        if (p.reachableAtLoad) g.write(p.grey, true);
        ASSERT_TRUE(g.ctl(p.grey).p.visible);

        // The grey twin lies over every pixel of the white name and shows the hand.
        const Rect white = g.rect(p.white);
        ASSERT_GT(white.w, 0);
        int strays = 0;
        for (int y = white.y; y < white.y + white.h; ++y)
            for (int x = white.x; x < white.x + white.w; ++x) {
                const Control* hit = g.rt().hitTest(g.map(), x, y);
                if (!hit || hit->name() != p.grey || g.rt().cursorAt("Form7", x, y) != kHand) ++strays;
            }
        EXPECT_EQ(strays, 0) << "pixels of " << p.white << " not covered by " << p.grey;

        g.play("click Form7." + s(p.white) + "\n"
               "expect Form7 shown\n"
               "expect " + p.target + " unloaded\n"
               "expect Form7." + p.grey + ".Visible true\n"
               "expect Form7." + p.white + ".Visible true\n");
    }
}

TEST(Form7, ReachablePlaceUnloadsTheMapAndShowsItsScene) {
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(p.name);
        MapGame g;
        g.showMap();
        if (!p.reachableAtLoad) g.write(p.grey, false);
        const Rect white = g.rect(p.white);
        EXPECT_EQ(g.rt().cursorAt("Form7", white.x + white.w / 2, white.y + white.h / 2), kHand);
        g.play("click Form7." + s(p.white) + "\n"
               "expect Form7 unloaded\n"
               "expect " + p.target + " shown\n");
    }
}

// The map is gone before the place's scene loads: a probe in place of each
// target records the map's state when its Load runs.
TEST(Form7, UnloadsTheMapBeforeShowingThePlace) {
    std::vector<std::string> seen;
    auto defs = gameScenes();
    for (auto& d : defs)
        for (const Place& p : kPlaces)
            if (d.desc.window.name == p.target) {
                d.handlers.clear();
                d.onLoad([&seen, target = std::string(p.target)](Runtime& rt, const SceneRef&, const Event&) {
                    seen.push_back(target + " " + stateName(rt.state("Form7")));
                });
            }
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(p.name);
        seen.clear();
        MapGame g(defs);
        g.showMap();
        if (!p.reachableAtLoad) g.write(p.grey, false);
        g.play("click Form7." + s(p.white) + "\n");
        EXPECT_EQ(seen, std::vector<std::string>{s(p.target) + " unloaded"});
    }
}

// Whatever was unlocked or locked on one visit, the next visit starts again
// from the design values: only "Domov" open, every name and line in place.
TEST(Form7, NextVisitStartsFromTheDesignValues) {
    const SceneDef def = form7();
    for (const Place& leave : kPlaces) {
        SCOPED_TRACE(leave.name);
        MapGame g;
        g.showMap();
        for (const Place& p : kPlaces) g.write(p.grey, false);  // everything open
        g.write("Label3", true);
        g.play("click Form7." + s(leave.white) + "\n"
               "expect Form7 unloaded\n");
        g.showMap();
        ASSERT_EQ(g.rt().state("Form7"), SceneState::Shown);
        for (const ControlDesc& d : def.desc.controls)
            EXPECT_EQ(g.ctl(d.name.c_str()).p.visible, d.visible) << d.name;
        // So only "Domov" takes a click again.
        for (const Place& p : kPlaces)
            EXPECT_EQ(g.rt().hitTest(g.map(), g.rect(p.white).x + 2, g.rect(p.white).y + 2)->name(),
                      p.reachableAtLoad ? p.white : p.grey);
    }
}

// Writes by the story scenes while the map is unloaded load it hidden and
// stay on it until a scene shows it; nothing is on screen before that.
TEST(Form7, WriteWhileUnloadedLoadsTheMapHidden) {
    MapGame g;
    // The player is in front of the house.
    g.show("Form6");
    ASSERT_EQ(g.rt().state("Form7"), SceneState::Unloaded);
    // The hippie's first click: the merchant opens.
    g.write("Label3", true);
    ASSERT_EQ(g.rt().state("Form7"), SceneState::Hidden);
    const uint64_t loaded = g.map().generation;
    g.write("Label6", false);
    EXPECT_EQ(g.map().generation, loaded) << "a second write loaded the map again";
    g.play("expect Form7 hidden\n"
           "expect Form7.Label6.Visible false\n"
           "expect Form7.Label8.Visible false\n"
           "expect Form7.Label7.Visible true\n");
    // Leaving the house by the car: the map comes up with what was written.
    g.rt().dispatch([&] {
        g.rt().scene("Form7").show();
        g.rt().scene("Form7").control("Label8").setVisible(true);
        g.rt().scene("Form6").unload();
    });
    g.play("expect Form7 shown\n"
           "expect Form7.Label6.Visible false\n"
           "click Form7.Label1\n"
           "expect Form7 shown\n"
           "expect Form6 unloaded\n"
           "click Form7.Label3\n"
           "expect Form7 unloaded\n"
           "expect Form9 shown\n");
}

// Paints the map without its pictures: the names and lines on black.
struct Painting {
    Painting(const Runtime& rt, const Scene& s) : surface(renderScene(rt, s)) {
        cairo_surface_flush(surface);
        data = cairo_image_surface_get_data(surface);
        stride = cairo_image_surface_get_stride(surface);
    }
    ~Painting() { cairo_surface_destroy(surface); }
    uint32_t at(int x, int y) const { return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF; }
    // The brightest channel within a rectangle.
    int brightest(const Rect& r) const {
        int best = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) {
                const uint32_t c = at(x, y);
                best = std::max({best, int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF)});
            }
        return best;
    }
    cairo_surface_t* surface;
    unsigned char* data;
    int stride;
};

// A shown grey twin draws its text over the white text: no white shows.
// Hidden, the white name is there. The underlines stay in every state.
TEST(Form7, GreyTwinsCoverTheNamesAndTheLinesStay) {
    struct Case {
        const char* what;
        bool greyShown;
    };
    for (Case c : {Case{"all locked", true}, Case{"all open", false}}) {
        SCOPED_TRACE(c.what);
        MapGame g;
        g.showMap();
        for (const Place& p : kPlaces) g.write(p.grey, c.greyShown);
        // A click on each place that is locked changes nothing.
        if (c.greyShown)
            for (const Place& p : kPlaces) g.play("click Form7." + s(p.white) + "\nexpect Form7 shown\n");
        Painting pic(g.rt(), g.map());
        for (const Place& p : kPlaces) {
            SCOPED_TRACE(p.name);
            // The name only, above its underline.
            Rect name = g.rect(p.white);
            name.h = twipsToPx(240) - 1;
            const int bright = pic.brightest(name);
            if (c.greyShown)
                EXPECT_LE(bright, 0xC8) << "white text shows beside the grey twin";
            else
                EXPECT_EQ(bright, 0xFF) << "the white name is not drawn";
        }
        for (const char* name : kLines) {
            SCOPED_TRACE(name);
            const Control& l = g.ctl(name);
            EXPECT_TRUE(l.p.visible);
            // 2 pixels wide in the window colour, halfway along.
            const int x = twipsToPx((l.p.x1 + l.p.x2) / 2), y = twipsToPx(l.p.y1);
            EXPECT_EQ(pic.at(x, y - 1), 0xFFFFFFu);
            EXPECT_EQ(pic.at(x, y), 0xFFFFFFu);
        }
    }
}

// Each underline starts at the left edge of its place name and lies just
// below it; each grey twin has the white name's place and is at least as wide.
TEST(Form7, UnderlinesAndTwinsMatchTheirNames) {
    MapGame g;
    g.showMap();
    const char* underlineOf[] = {"Line5", "Line4", "Line3", "Line2", "Line1"};  // kPlaces order
    for (size_t i = 0; i < std::size(kPlaces); ++i) {
        const Place& p = kPlaces[i];
        SCOPED_TRACE(p.name);
        const ControlDesc& w = g.ctl(p.white).p;
        const ControlDesc& gr = g.ctl(p.grey).p;
        EXPECT_EQ(w.caption, p.name);
        EXPECT_EQ(gr.caption, w.caption);
        EXPECT_EQ(gr.left, w.left);
        EXPECT_EQ(gr.top, w.top);
        EXPECT_EQ(gr.height, w.height);
        EXPECT_GE(gr.width, w.width);
        EXPECT_LT(g.ctl(p.grey).order, g.ctl(p.white).order) << "the twin must lie above";
        const ControlDesc& l = g.ctl(underlineOf[i]).p;
        EXPECT_EQ(l.x1, w.left);
        EXPECT_EQ(l.y1, w.top + 240);
        EXPECT_EQ(l.y2, l.y1);
        EXPECT_EQ(l.x2 - l.x1, 1800);
    }
}

}  // namespace
}  // namespace az
