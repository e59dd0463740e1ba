// The front end's calls to its media components, recorded.
#include <gtest/gtest.h>

#include "runtime/script.h"
#include "scenes/scenes.h"
#include "support/recorder.h"

namespace az {
namespace {

struct Game {
    Game() : host(gameScenes()) {
        Runtime& rt = host.runtime();
        rt.setProgramFolder("/games/zaza");
        rt.setComponentFactory([this](const std::string& scene, const Control& c) {
            return std::make_unique<testing::Recorder>(log, scene + "." + c.name());
        });
        rt.start();
    }
    void click(const std::string& scene, const std::string& control) {
        const Scene& s = *host.runtime().find(scene);
        Rect r = s.clientRect(*s.find(control));
        host.runtime().mouseDown(scene, r.x + r.w / 2, r.y + r.h / 2);
        host.runtime().mouseUp(scene, r.x + r.w / 2, r.y + r.h / 2);
    }
    std::vector<std::string> log;
    HeadlessHost host;
};

TEST(FrontEnd, IntroMovieAndMenuMusicCallsInOrder) {
    Game g;
    EXPECT_EQ(g.log, (std::vector<std::string>{"Form1.mov1 Movie=\"/games/zaza/intro.swf\"", "Form1.mov1 Play()"}));
    g.log.clear();
    g.host.wait(19998);
    EXPECT_EQ(g.log, (std::vector<std::string>{
                         "Form2.MMControl1 Notify=false",
                         "Form2.MMControl1 Wait=true",
                         "Form2.MMControl1 Shareable=false",
                         "Form2.MMControl1 DeviceType=\"Sequencer\"",
                         "Form2.MMControl1 FileName=\"/games/zaza/01.mid\"",
                         "Form2.MMControl1 Command=\"Open\"",
                         "Form2.MMControl1 Command=\"Play\"",
                     }));
    // The credits and back leave the music alone.
    g.log.clear();
    g.click("Form2", "Image3");
    g.click("Form4", "Label8");
    EXPECT_TRUE(g.log.empty());
    // "EGZIT" closes the device; "Neé" opens it again from the start.
    g.log.clear();
    g.click("Form2", "Image4");
    EXPECT_EQ(g.log, std::vector<std::string>{"Form2.MMControl1 Command=\"Close\""});
    g.log.clear();
    g.click("Form3", "Label3");
    EXPECT_EQ(g.log.back(), "Form2.MMControl1 Command=\"Play\"");
    // "Ano": the game ends at once, the menu's Unload (Close) does not run.
    g.log.clear();
    g.click("Form2", "Image4");
    g.log.clear();
    g.click("Form3", "Label2");
    EXPECT_TRUE(g.host.runtime().ended());
    EXPECT_TRUE(g.log.empty()) << g.log.front();
}

TEST(FrontEnd, OptionsChooseTheTuneOrSilenceForOneLoad) {
    struct Case {
        std::vector<std::string> clicks;  // on the options scene
        std::string expected;             // the last music call, or none
    } cases[] = {
        {{}, "Form2.MMControl1 FileName=\"/games/zaza/01.mid\""},
        {{"Option2"}, "Form2.MMControl1 FileName=\"/games/zaza/02.mid\""},
        {{"Option3"}, "Form2.MMControl1 FileName=\"/games/zaza/03.mid\""},
        {{"Check1"}, ""},
        {{"Check1", "Check1", "Option3", "Option1"}, "Form2.MMControl1 FileName=\"/games/zaza/01.mid\""},
    };
    for (const auto& c : cases) {
        Game g;
        g.host.wait(19998);
        g.click("Form2", "Image5");
        for (const auto& name : c.clicks) g.click("Options", name);
        g.log.clear();
        g.click("Options", "Label4");
        std::string fileName;
        for (const auto& l : g.log)
            if (l.find("FileName") != std::string::npos) fileName = l;
        EXPECT_EQ(fileName, c.expected);
        // Silence means the device is never opened.
        EXPECT_EQ(std::count(g.log.begin(), g.log.end(), "Form2.MMControl1 Command=\"Open\""), c.expected.empty() ? 0 : 1);
        // After "EGZIT" and "Neé" the design values play tune 1 again.
        g.click("Form2", "Image4");
        g.click("Form3", "Label3");
        EXPECT_EQ(g.log[g.log.size() - 3], "Form2.MMControl1 FileName=\"/games/zaza/01.mid\"");
    }
}

TEST(FrontEnd, EveryHandlerBindingMatchesItsScene) {
    EXPECT_EQ(validate(gameScenes()), std::vector<std::string>{});
}

// The game's handlers are all written in steps, so that the check at
// start-up sees every name they use.
TEST(FrontEnd, EveryHandlerOfTheGameIsWrittenInSteps) {
    for (const auto& s : gameScenes())
        for (const auto& h : s.handlers) {
            EXPECT_FALSE(h.fn) << s.desc.window.name << "." << h.control << " " << eventName(h.event);
            EXPECT_FALSE(h.steps.empty()) << s.desc.window.name << "." << h.control << " " << eventName(h.event);
        }
}

// A misspelt name in one of the game's handlers stops the game at start-up,
// naming the handler's scene and the name.
TEST(FrontEnd, AMisspeltNameInAHandlerStopsTheGameAtStartUp) {
    const struct {
        const char* scene;
        const char* control;
        EventKind event;
        Step added;
        const char* message;
    } cases[] = {
        {"Form10", "Image2", EventKind::Click, show("Labl3"), "Form10.Image2 Click: show or hide Form10.Labl3"},
        {"Form6", "Timer11", EventKind::Timer, hide(onScene("Form7", "Label88")),
         "Form6.Timer11 Timer: show or hide Form7.Label88: no such control"},
        {"Form2", "", EventKind::Unload, set("MMControl1", "Comand", "Close"),
         "Form2.(scene) Unload: set Form2.MMControl1.Comand: a MidiControl has no such property"},
    };
    for (const auto& c : cases) {
        auto defs = gameScenes();
        bool found = false;
        for (auto& d : defs)
            for (auto& h : d.handlers)
                if (d.desc.window.name == c.scene && h.control == c.control && h.event == c.event) {
                    h.steps.push_back(c.added);
                    found = true;
                }
        ASSERT_TRUE(found) << c.scene << "." << c.control;
        HeadlessWindowSystem ws;
        ManualClock clock;
        try {
            Runtime rt(std::move(defs), ws, clock);
            ADD_FAILURE() << c.message << ": the game started";
        } catch (const std::logic_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace az
