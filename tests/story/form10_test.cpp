// In front of the power plant: the guard, the woman, the cigars for the
// permit and the way through the gate, played with scenario scripts on the
// scene shown straight away.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/story.h"

namespace az {
namespace {

// A label's colour as designed, when nobody has written one.
constexpr const char* kDefaultText = "2147483666";  // system colour 18

// Points of the scene in client pixels, where the hit test matters.
struct Point {
    int x, y;
};
constexpr Point kGateLabelOverGuard{480, 240};  // the guard under the gate talk's label
constexpr Point kWomanHead{280, 170};           // the woman above the deal's label
constexpr Point kWomanMiddle{296, 216};         // the woman under the deal's label
constexpr Point kExit{648, 284};
constexpr Point kCar{100, 250};
constexpr Point kGuard{512, 300};

std::string clickAt(Point p) { return "click Form10 " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n"; }

// The pictures of the scene that the tests leave in AZ_TEST_OUT.
std::string shot(const std::string& name) { return testing::shot("Form10", name); }

// A game in which the factory is the first scene on screen.
struct Factory : testing::StoryGame {
    Factory() {
        picturesForShots();
        show("Form10");
    }
    int cursor(Point p) { return StoryGame::cursor("Form10", p.x, p.y); }
};

// One line of a dialogue chain: what the label holds once its timer fired.
struct Line {
    const char* caption;
    const char* fore;
    int align;
};

// A chain on one label: each line exactly one Interval after the previous,
// the label hidden one Interval after the last. `extra` adds checks at a line.
std::string chain(const std::string& label, const std::vector<Line>& lines,
                  const std::vector<std::string>& extra) {
    const std::string l = "expect Form10." + label;
    std::string s;
    for (size_t i = 0; i < lines.size(); ++i) {
        s += "wait 2999\n" + l + ".Visible true\n";
        if (i > 0) s += l + ".Caption \"" + lines[i - 1].caption + "\"\n";
        s += "wait 1\n";
        s += l + ".Visible true\n" + l + ".Caption \"" + lines[i].caption + "\"\n";
        s += l + ".ForeColor " + lines[i].fore + "\n" + l + ".Alignment " + std::to_string(lines[i].align) + "\n";
        if (i < extra.size()) s += extra[i];
    }
    s += "wait 2999\n" + l + ".Visible true\nwait 1\n" + l + ".Visible false\n";
    return s;
}

std::string noTimerRuns() {
    std::string s;
    for (int i = 1; i <= 11; ++i) s += "expect Form10.Timer" + std::to_string(i) + ".Enabled false\n";
    return s;
}

const std::vector<Line> kGateTalk = {
    {"Kdo si sakra myslíte, že jste!", "255", 1},
    {"Jsem tajný agent Roz VuDoruvu!", "0", 0},
    {"Máte povolení ke vstupu?", "255", 1},
    {"No to nemám!", "0", 0},
    {"Tak se kliďte!", "255", 1},
};

const std::vector<Line> kDeal = {
    {"Náhodou tam právě jdu, co za to?", kDefaultText, 0},
    {"Mám jen tuhle krabičku Havana doutníků.", kDefaultText, 1},
    {"Ok ujednáno tady je povolení!", kDefaultText, 0},
};

// The cigars and the permit as they are in the panel.
std::string cigarsHeld(bool cigars) {
    return std::string("expect Form10.Image10.Visible ") + (cigars ? "true" : "false") +
           "\nexpect Form10.Image12.Visible " + (cigars ? "false" : "true") + "\n";
}

TEST(Form10, GateTalkRunsLineByLineThenGoes) {
    Factory f;
    std::string s = "click Form10.Image2\n"
                    "expect Form10.Label3.Visible true\n"
                    "expect Form10.Label3.Caption \"Pusťte mě dál!\"\n"
                    "expect Form10.Label3.ForeColor " + std::string(kDefaultText) + "\n"
                    "expect Form10.Label3.Alignment 0\n"
                    "expect Form10.Timer1.Enabled true\n" +
                    shot("gate-first") + chain("Label3", kGateTalk, {"", "", "", "", shot("gate-last")}) +
                    noTimerRuns() +
                    // Nothing else moved: the deal, the gate and the panel.
                    "expect Form10.Label4.Visible false\n"
                    "expect Form10.Image6.Enabled false\n" + cigarsHeld(true);
    EXPECT_EQ(f.play(s), "");
}

TEST(Form10, DealSwapsTheCigarsForThePermit) {
    Factory f;
    std::string s = "click Form10.Label2\n"
                    "click Form10.Image5\n"
                    "expect Form10.Label4.Visible true\n"
                    "expect Form10.Label4.Caption "
                    "\"Dobrý den, nemáte jen tak náhodou povolení ke vstupu do elektrárny ?\"\n"
                    "expect Form10.Label4.Alignment 1\n"
                    "expect Form10.Timer6.Enabled true\n" +
                    shot("deal-first") + cigarsHeld(true) +
                    chain("Label4", kDeal, {cigarsHeld(true), cigarsHeld(true), cigarsHeld(false) + shot("deal-last")}) +
                    noTimerRuns() + cigarsHeld(false) +
                    // The deal alone does not open the gate.
                    "expect Form10.Image6.Enabled false\n"
                    "expect Form10.Image4.Enabled false\n";
    EXPECT_EQ(f.play(s), "");
}

TEST(Form10, PermitShownToTheGuardOpensTheWayToTheGreenMen) {
    Factory f;
    // As the player arrives: blocked, the cigars in a closed panel.
    EXPECT_EQ(f.play("expect Form10.Frame1.Visible false\n"
                     "expect Form10.Image7.Visible true\nexpect Form10.Image8.Visible true\n"
                     "expect Form10.Image9.Visible true\n" + cigarsHeld(true) +
                     "expect Form10.Image6.Enabled false\nexpect Form10.Image4.Enabled false\n"
                     "expect Form10.Label6.Visible false\nexpect Form10.fuck.Visible false\n" +
                     noTimerRuns() + shot("arrival") +
                     // The blocked exit and the car take no clicks.
                     "click Form10.Image6\nclick Form10.Image4\nexpect Form10 shown\nexpect Form12 unloaded\n"
                     "click Form10.Label2\nexpect Form10.Frame1.Visible true\n" + shot("panel")),
              "");
    EXPECT_EQ(f.cursor(kExit), 0);
    EXPECT_EQ(f.cursor(kCar), 0);
    EXPECT_EQ(f.cursor(kGuard), 11);

    // Both talks at once, then the permit to the guard while he still talks.
    EXPECT_EQ(f.play("click Form10.Image2\nclick Form10.Image5\nwait 9000\n" + cigarsHeld(false) +
                     "expect Form10.Label3.Caption \"Máte povolení ke vstupu?\"\n"
                     "wait 3000\nexpect Form10.Label4.Visible false\n"
                     "expect Form10.Label3.Caption \"No to nemám!\"\n"
                     "drag Form10.Image12 Form10.Image2\n"
                     "expect Form10.Label6.Visible true\n"
                     "expect Form10.Image12.Visible false\nexpect Form10.Image10.Visible false\n"
                     "expect Form10.Image4.Enabled true\nexpect Form10.Image6.Enabled true\n"
                     "expect Form10.Label4.Visible true\n"
                     "expect Form10.Label4.Caption \"Ok ujednáno tady je povolení!\"\n"
                     "expect Form10.Label4.Alignment 0\n"
                     "expect Form10.Timer10.Enabled true\n"
                     "expect Form10.fuck.Visible false\n" +
                     shot("admitted") +
                     "wait 2999\nexpect Form10.Label4.Visible true\nwait 1\nexpect Form10.Label4.Visible false\n"
                     "expect Form10.Timer10.Enabled false\nexpect Form10.Label6.Visible true\n"
                     // The car area now shows its hand and still does nothing.
                     "click Form10.Image4\nexpect Form10 shown\n"),
              "");
    EXPECT_EQ(f.cursor(kExit), 9);
    EXPECT_EQ(f.cursor(kCar), 11);

    // Out through the gate while the guard's talk still runs: it is cut off
    // and nothing of the factory comes back.
    EXPECT_EQ(f.play("expect Form10.Timer11.Enabled true\n"
                     "click Form10.Image6\nexpect Form10 unloaded\nexpect Form12 shown\n"
                     "wait 4000\nexpect Form10 unloaded\n"),
              "");
}

TEST(Form10, TheGuardsAnswersLookAsDesigned) {
    // Both answers wait hidden from the start; the chains never write them,
    // so their colour and side are the design's alone.
    struct Answer {
        const char* label;
        const char* caption;
        const char* fore;
        int align;
    };
    const Answer answers[] = {
        {"Label6", "Dobrá můžete jít!", "255", 1},
        {"fuck", "Seš blázen!?!", "0", 0},
    };
    for (const auto& a : answers) {
        SCOPED_TRACE(a.label);
        Factory f;
        const std::string l = std::string("expect Form10.") + a.label;
        EXPECT_EQ(f.play(l + ".Visible false\n" + l + ".Caption \"" + a.caption + "\"\n" + l + ".ForeColor " +
                         a.fore + "\n" + l + ".Alignment " + std::to_string(a.align) + "\n" + l +
                         ".BackStyle 0\n"),
                  "");
    }
}

TEST(Form10, OnlyThePermitSatisfiesTheGuard) {
    // Everything else the agent carries, dropped on the guard.
    for (const char* wrong : {"Image7", "Image8", "Image9", "Image10"}) {
        SCOPED_TRACE(wrong);
        Factory f;
        const std::string item = std::string("Form10.") + wrong;
        EXPECT_EQ(f.play("click Form10.Label2\ndrag " + item + " Form10.Image2\n"
                         "expect Form10.fuck.Visible true\n"
                         "expect " + item + ".Visible true\n"
                         "expect Form10.Label6.Visible false\n"
                         "expect Form10.Image6.Enabled false\nexpect Form10.Image4.Enabled false\n"
                         "expect Form10.Label4.Visible false\n" +
                         noTimerRuns() + "click Form10.Image6\nexpect Form10 shown\n"),
                  "");
    }
    // The rude answer stays when the permit comes later; both lines show.
    Factory f;
    EXPECT_EQ(f.play("click Form10.Label2\ndrag Form10.Image8 Form10.Image2\n"
                     "click Form10.Image5\nwait 12000\n"
                     "drag Form10.Image12 Form10.Image2\n"
                     "expect Form10.fuck.Visible true\nexpect Form10.Label6.Visible true\n"
                     "expect Form10.Image6.Enabled true\n" +
                     shot("both-answers") + "wait 60000\nexpect Form10.fuck.Visible true\n"
                     "expect Form10.Label6.Visible true\n"),
              "");
}

TEST(Form10, ItemsDroppedAnywhereButOnTheGuardDoNothing) {
    Factory f;
    ASSERT_EQ(f.play("click Form10.Label2\nclick Form10.Image5\nwait 12000\n" + cigarsHeld(false)), "");
    const char* targets[] = {"Image5", "Image11", "Image3", "Image4", "Image6", "Image1(0)", "Image1(1)",
                             "Frame1", "Label5", "Image9", "Image12", "Label1", "Label2"};
    for (const char* target : targets) {
        for (const char* item : {"Image12", "Image7"}) {
            SCOPED_TRACE(std::string(item) + " on " + target);
            EXPECT_EQ(f.play(std::string("drag Form10.") + item + " Form10." + target + "\n"
                             "expect Form10 shown\nexpect Form2 unloaded\n"
                             "expect Form10.Image12.Visible true\nexpect Form10.Image7.Visible true\n"
                             "expect Form10.Frame1.Visible true\n"
                             "expect Form10.fuck.Visible false\nexpect Form10.Label6.Visible false\n"
                             "expect Form10.Label4.Visible false\n" + noTimerRuns()),
                      "");
        }
    }
    // Pressing an item and letting go on the spot is no click either.
    EXPECT_EQ(f.play("click Form10.Image12\nexpect Form10.Image12.Visible true\n" + noTimerRuns()), "");
    // The permit is still good.
    EXPECT_EQ(f.play("drag Form10.Image12 Form10.Image2\nexpect Form10.Label6.Visible true\n"), "");
}

TEST(Form10, GuardClickedAgain) {
    {
        SCOPED_TRACE("after the talk has ended: his last line, then the talk once more");
        Factory f;
        EXPECT_EQ(f.play("click Form10.Image2\nwait 18000\nexpect Form10.Label3.Visible false\n"
                         "click Form10.Image2\nexpect Form10.Label3.Visible true\n"
                         "expect Form10.Label3.Caption \"Tak se kliďte!\"\n"
                         "expect Form10.Label3.ForeColor 255\nexpect Form10.Label3.Alignment 1\n" +
                         chain("Label3", kGateTalk, {}) + noTimerRuns()),
                      "");
    }
    {
        SCOPED_TRACE("while his first line is pending: the first line keeps its time");
        Factory f;
        EXPECT_EQ(f.play("click Form10.Image2\nwait 2000\nclick Form10.Image2\n"
                         "wait 999\nexpect Form10.Label3.Caption \"Pusťte mě dál!\"\n"
                         "wait 1\nexpect Form10.Label3.Caption \"Kdo si sakra myslíte, že jste!\"\n"
                         "wait 2999\nexpect Form10.Label3.Caption \"Kdo si sakra myslíte, že jste!\"\n"
                         "wait 1\nexpect Form10.Label3.Caption \"Jsem tajný agent Roz VuDoruvu!\"\n"
                         "wait 12000\nexpect Form10.Label3.Visible false\n" + noTimerRuns()),
                      "");
    }
    {
        SCOPED_TRACE("while a later line is pending: a second pass runs alongside");
        Factory f;
        EXPECT_EQ(f.play("click Form10.Image2\nwait 4000\n"
                         // Where the label covers him, the click goes to the label.
                         + clickAt(kGateLabelOverGuard) + "expect Form10.Timer1.Enabled false\n"
                         "click Form10.Image2\nexpect Form10.Timer1.Enabled true\n"
                         "wait 3000\nexpect Form10.Label3.Caption \"Kdo si sakra myslíte, že jste!\"\n"
                         "wait 3000\nexpect Form10.Label3.Caption \"Jsem tajný agent Roz VuDoruvu!\"\n"
                         // 18000: the first pass hides the label; the second goes on unseen.
                         "wait 8000\nexpect Form10.Label3.Visible false\n"
                         "wait 1000\nexpect Form10.Label3.Caption \"Tak se kliďte!\"\n"
                         "expect Form10.Label3.Visible false\nexpect Form10.Timer11.Enabled true\n"
                         "wait 3000\nexpect Form10.Label3.Visible false\n" + noTimerRuns()),
                      "");
    }
}

TEST(Form10, WomanClickedAgain) {
    {
        SCOPED_TRACE("after the permit went to the guard: a second permit, no cigars back");
        Factory f;
        EXPECT_EQ(f.play("click Form10.Label2\nclick Form10.Image5\nwait 12000\n"
                         "drag Form10.Image12 Form10.Image2\nwait 3000\n"
                         "expect Form10.Label4.Visible false\nexpect Form10.Image12.Visible false\n"
                         "click Form10.Image5\nexpect Form10.Label4.Visible true\n"
                         "expect Form10.Label4.Caption \"Ok ujednáno tady je povolení!\"\n"
                         "expect Form10.Label4.Alignment 0\n" +
                         chain("Label4", kDeal, {"", "", cigarsHeld(false)}) + cigarsHeld(false) +
                         // The second permit: the same again, her line for another 3000 ms.
                         "drag Form10.Image12 Form10.Image2\nexpect Form10.Image12.Visible false\n"
                         "expect Form10.Label4.Visible true\nexpect Form10.Label6.Visible true\n"
                         "wait 2999\nexpect Form10.Label4.Visible true\n"
                         "wait 1\nexpect Form10.Label4.Visible false\n" + noTimerRuns()),
                      "");
    }
    {
        SCOPED_TRACE("while the deal runs: a second pass hands over a second permit");
        Factory f;
        EXPECT_EQ(f.play("click Form10.Label2\nclick Form10.Image5\nwait 4000\n"
                         // Where her line covers her, the click goes to the line.
                         + clickAt(kWomanMiddle) + "expect Form10.Timer6.Enabled false\n" +
                         clickAt(kWomanHead) + "expect Form10.Timer6.Enabled true\n"
                         // 9000: the first pass's permit.
                         "wait 5000\n" + cigarsHeld(false) +
                         // 10000: shown to the guard while her line still shows.
                         "wait 1000\ndrag Form10.Image12 Form10.Image2\n"
                         "expect Form10.Image12.Visible false\nexpect Form10.Label4.Visible true\n"
                         // 12000: the first pass's last timer hides the line.
                         "wait 2000\nexpect Form10.Label4.Visible false\n"
                         // 13000: the second pass's Timer8 brings a new permit.
                         "wait 1000\nexpect Form10.Image12.Visible true\nexpect Form10.Label4.Visible false\n"
                         "expect Form10.Timer10.Enabled false\n"
                         "wait 3000\nexpect Form10.Label4.Visible false\n" + noTimerRuns()),
                      "");
    }
}

TEST(Form10, MenuComesUpOverTheRunningScene) {
    Factory f;
    EXPECT_EQ(f.play("click Form10.Image2\nclick Form10.Label2\n"
                     // Opening it again changes nothing; "Zavřít" has nothing to do here.
                     "click Form10.Label2\nclick Form10.Label5\nexpect Form10.Frame1.Visible true\n"
                     "click Form10.Label1\n"
                     "expect Form2 shown\nexpect Form2.Label1.Caption \"0\"\nexpect Form10 shown\n"
                     "wait 3000\nexpect Form10.Label3.Caption \"Kdo si sakra myslíte, že jste!\"\n"
                     // Back to the game from the menu: the talk has gone on.
                     "click Form2.Image2\nexpect Form2 hidden\nexpect Form5 unloaded\nexpect Form10 shown\n"
                     "wait 3000\nexpect Form10.Label3.Caption \"Jsem tajný agent Roz VuDoruvu!\"\n"),
              "");
}

}  // namespace
}  // namespace az
