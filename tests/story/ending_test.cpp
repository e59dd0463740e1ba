// The ending: the green men, "a few minutes later", the lieutenant's
// congratulation and the end movie, each scene handing over to the next by
// its timers alone, then the quit dialog.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/story.h"
#include "support/recorder.h"

namespace az {
namespace {

// What the components were told; it outlives the game, whose components
// write down their closing as it goes.
struct ComponentLog {
    std::vector<std::string> log;
};

// The game as the factory exit leaves it: the menu loaded behind the story
// (or not, when menuFlag is empty) and Form12 just shown, at game time 0.
struct Ending : ComponentLog, testing::StoryGame {
    explicit Ending(const std::string& menuFlag = "0", const std::string& folder = "/games/zaza") {
        Runtime& rt = this->rt();
        rt.setProgramFolder(folder);
        rt.setComponentFactory([this](const std::string& scene, const Control& c) {
            return std::make_unique<testing::Recorder>(log, scene + "." + c.name(), true);
        });
        rt.dispatch([&] {
            if (!menuFlag.empty()) {
                rt.scene("Form2").control("Label1").setCaption(menuFlag);
                rt.scene("Form2").setVisible(false);
            }
            rt.scene("Form12").show();
        });
    }
    // What the end scene's movie player was told, in order.
    std::vector<std::string> movieCalls() const {
        std::vector<std::string> calls;
        for (const auto& l : log)
            if (l.starts_with("theend.")) calls.push_back(l);
        return calls;
    }
};

// Each line and each hand-over one millisecond early and on time; clicks
// anywhere in the four scenes change nothing.
const char* kSequence = R"(
expect Form12 shown
expect Form10 unloaded
expect Form12.Label1.Visible true
expect Form12.Label2.Visible true
expect Form12.Label3.Visible true
expect Form12.Timer2.Enabled false
click Form12.Label3
click Form12.Image3
click Form12 60 60
wait 2499
expect Form12.Label1.Visible true
expect Form12.Label2.Visible true
expect Form12.Label3.Visible true
wait 1
expect Form12.Label1.Visible false
expect Form12.Label2.Visible false
expect Form12.Label3.Visible false
expect Form12.Timer2.Enabled true
expect Form12.Timer1.Enabled true
expect Form12.Image3.Visible true
click Form12.Image3
wait 1999
expect Form12 shown
expect late unloaded
wait 1
expect late shown
expect Form12 unloaded
click late.Image1
click late 10 10
wait 2499
expect late shown
expect kancl2 unloaded
wait 1
expect kancl2 shown
expect late unloaded
expect kancl2.Shape1.Visible true
expect kancl2.Label1.Visible true
expect kancl2.Shape2.Visible false
expect kancl2.Label2.Visible false
click kancl2.Image3
click kancl2.Image2
click kancl2.Label1
click kancl2 10 500
wait 4999
expect kancl2.Shape1.Visible true
expect kancl2.Label1.Visible true
expect kancl2.Shape2.Visible false
expect kancl2.Label2.Visible false
wait 1
expect kancl2.Shape1.Visible false
expect kancl2.Label1.Visible false
expect kancl2.Shape2.Visible true
expect kancl2.Label2.Visible true
expect kancl2.Timer1.Enabled false
expect kancl2.Timer2.Enabled true
click kancl2.Label2
click kancl2.Image2
wait 4999
expect kancl2 shown
expect theend unloaded
wait 1
expect theend shown
expect kancl2 unloaded
click theend.mov1
click theend 5 5
wait 6999
expect theend shown
expect Form3 unloaded
wait 1
expect Form3 shown
expect theend unloaded
expect Form12 unloaded
expect late unloaded
expect kancl2 unloaded
wait 30000
expect Form3 shown
)";

TEST(Ending, RunsByTimersFromTheGreenMenToTheQuitDialog) {
    Ending g;
    EXPECT_EQ(g.play(kSequence), "");
    // The end movie starts as the scene loads and goes with it at 24000 ms.
    EXPECT_EQ(g.movieCalls(), (std::vector<std::string>{
                                  "theend.mov1 Movie=\"/games/zaza/outro.swf\"",
                                  "theend.mov1 Play()",
                                  "theend.mov1 closed",
                              }));
    EXPECT_FALSE(g.host.runtime().ended());
}

TEST(Ending, LinesAndBubblesLookAsDesigned) {
    // The green men speak red, the agent black; in the office each line lies
    // centred and see-through on its white bubble. Each row is checked while
    // its scene is on screen.
    const struct {
        int at;  // ms after the factory exit
        const char* control;
        const char* property;
        const char* value;
    } rows[] = {
        {0, "Form12.Label1", "ForeColor", "255"},     {0, "Form12.Label1", "BackStyle", "0"},
        {0, "Form12.Label2", "ForeColor", "255"},     {0, "Form12.Label2", "BackStyle", "0"},
        {0, "Form12.Label3", "ForeColor", "0"},       {0, "Form12.Label3", "BackStyle", "0"},
        {7000, "kancl2.Label1", "Alignment", "2"},    {7000, "kancl2.Label1", "BackStyle", "0"},
        {7000, "kancl2.Label2", "Alignment", "2"},    {7000, "kancl2.Label2", "BackStyle", "0"},
        {7000, "kancl2.Label2", "ForeColor", "2147483666"},
        {7000, "kancl2.Shape1", "BackStyle", "1"},    {7000, "kancl2.Shape1", "BackColor", "16777215"},
        {7000, "kancl2.Shape2", "BackStyle", "1"},    {7000, "kancl2.Shape2", "BackColor", "16777215"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.control) + "." + r.property);
        Ending g;
        EXPECT_EQ(g.play("wait " + std::to_string(r.at) + "\nexpect " + r.control + "." + r.property + " " + r.value +
                         "\n"),
                  "");
    }
}

TEST(Ending, EndMovieIsTheFileBesideTheProgram) {
    // The separator always comes before the name, even after one already there.
    const struct {
        const char* folder;
        const char* movie;
    } cases[] = {
        {"/games/zaza", "theend.mov1 Movie=\"/games/zaza/outro.swf\""},
        {"/games/zaza/", "theend.mov1 Movie=\"/games/zaza//outro.swf\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        Ending g("0", c.folder);
        EXPECT_EQ(g.play("wait 16999\nexpect theend unloaded\n"), "");
        EXPECT_TRUE(g.movieCalls().empty());
        EXPECT_EQ(g.play("wait 1\nexpect theend shown\n"), "");
        EXPECT_EQ(g.movieCalls(), (std::vector<std::string>{c.movie, "theend.mov1 Play()"}));
    }
}

TEST(Ending, QuitDialogAfterTheStory) {
    // "Ano" ends the game; "Neé" brings the menu back as it stayed loaded
    // behind the story, or loads it afresh with its flag back at "1".
    const struct {
        const char* what;
        const char* menuFlag;  // empty: the menu is not loaded during the ending
        const char* script;
    } cases[] = {
        {"Ano", "0", "click Form3.Label2\nexpect ended\n"},
        {"Ano without the menu", "", "click Form3.Label2\nexpect ended\n"},
        {"Neé, menu kept", "0",
         "expect Form2 hidden\nclick Form3.Label3\nexpect Form2 shown\nexpect Form2.Label1.Caption \"0\"\n"
         "expect Form3 hidden\n"},
        {"Neé, menu reloaded", "",
         "expect Form2 unloaded\nclick Form3.Label3\nexpect Form2 shown\nexpect Form2.Label1.Caption \"1\"\n"
         "expect Form3 hidden\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Ending g(c.menuFlag);
        EXPECT_EQ(g.play("wait 24000\nexpect Form3 shown\n"), "");
        EXPECT_EQ(g.play(c.script), "");
    }
}

TEST(Ending, ClosingAWindowStopsTheSequence) {
    // The close box unloads the scene with its timers: nothing follows it.
    // With the menu on screen the game runs on; with only hidden scenes
    // left it ends.
    const struct {
        const char* scene;
        int at;  // ms after the factory exit
        bool menuOnScreen;
    } cases[] = {
        {"Form12", 1000, true}, {"Form12", 3000, true}, {"late", 5000, true},   {"kancl2", 8000, true},
        {"kancl2", 13000, true}, {"theend", 20000, true}, {"kancl2", 8000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.scene) + " at " + std::to_string(c.at) + (c.menuOnScreen ? ", menu shown" : ""));
        Ending g;
        Runtime& rt = g.host.runtime();
        if (c.menuOnScreen) rt.dispatch([&] { rt.scene("Form2").show(); });
        const std::string close = "wait " + std::to_string(c.at) + "\nexpect " + c.scene + " shown\nclose " + c.scene +
                                  "\nexpect " + c.scene + " unloaded\n";
        EXPECT_EQ(g.play(close), "");
        if (!c.menuOnScreen) {
            EXPECT_TRUE(rt.ended());
            continue;
        }
        EXPECT_EQ(g.play("wait 30000\nexpect Form2 shown\nexpect Form12 unloaded\nexpect late unloaded\n"
                         "expect kancl2 unloaded\nexpect theend unloaded\nexpect Form3 unloaded\n"),
                  "");
    }
}

}  // namespace
}  // namespace az
