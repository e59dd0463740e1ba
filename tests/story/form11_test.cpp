// The town centre: the three musicians, the question to the cowboy that opens
// the power plant on the map, the way back along the left-hand edge, the
// panel whose money and pistol share their arrays with two hot spots, and
// "Menu". Played with scenario scripts on the scene shown straight away.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/story.h"

namespace az {
namespace {

// Points of the scene in client pixels where two controls overlap.
struct Point {
    int x, y;
};
constexpr Point kCowboyUnderAnswer{150, 250};     // the cowboy's hat, under the answer
constexpr Point kLongHairUnderAnswer{220, 250};   // the long-haired man's head, under the answer
constexpr Point kRockerUnderQuestion{460, 248};   // the rocker's head, under the question
constexpr Point kCowboy{100, 400};
constexpr Point kLongHair{260, 400};
constexpr Point kRocker{420, 400};
constexpr Point kExit{12, 280};
constexpr Point kMoney{70, 525};

std::string clickAt(Point p) { return "click Form11 " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n"; }

// The pictures of the scene that the tests leave in AZ_TEST_OUT.
std::string shot(const std::string& name) { return testing::shot("Form11", "form11-" + name); }

// A game in which the town centre is the first scene on screen, as the map's
// "Město" leaves it: the map unloaded, the menu not loaded.
struct Town : testing::StoryGame {
    Town() {
        picturesForShots();
        show("Form11");
    }
    int cursor(Point p) { return StoryGame::cursor("Form11", p.x, p.y); }
};

// Nothing of the conversations is going on.
const std::string kQuiet =
    "expect Form11.Label2.Visible false\nexpect Form11.Label6.Visible false\n"
    "expect Form11.Label7.Visible false\nexpect Form11.Timer1.Enabled false\n"
    "expect Form11.Timer2.Enabled false\nexpect Form11.Timer3.Enabled false\n";

// The state once the exchange with the cowboy is over.
const std::string kAnswered =
    "expect Form11.Label7.Visible false\nexpect Form11.Label7.Enabled false\n"
    "expect Form11.Timer2.Enabled false\nexpect Form11.Timer3.Enabled false\n"
    "expect Form11.Image3.Enabled true\nexpect Form7 hidden\nexpect Form7.Label10.Visible false\n";

TEST(Form11, ArrivesWithThePanelOpenAndTheExitClosed) {
    Town t;
    EXPECT_EQ(t.play(shot("arrival") + kQuiet +
                     "expect Form11.Frame1.Visible true\n"
                     "expect Form11.Image9.Visible false\nexpect Form11.Image6.Visible true\n"
                     "expect Form11.Image5(1).Visible true\nexpect Form11.Image5(1).Tag \"Gun\"\n"
                     "expect Form11.Image4(1).Visible true\nexpect Form11.Image4(1).Tag \"Mamon\"\n"
                     "expect Form11.Image4(1).ToolTipText \"Chechtáky\"\n"
                     "expect Form11.Image3.Enabled false\nexpect Form11.Label3(0).Caption \"Menu\"\n"
                     "expect Form11.Label1.Caption \"Policie\"\nexpect Form11.Label1.ForeColor 65535\n"
                     "expect Form11.Label1.BackColor 12582912\nexpect Form11.Label1.BackStyle 1\n"
                     "expect Form7 unloaded\n"),
              "");
    EXPECT_EQ(t.host.runtime().toolTipAt("Form11", kMoney.x, kMoney.y), "Chechtáky");
    // Open hands over the musicians; the disabled exit shows the plain arrow.
    for (Point p : {kCowboy, kLongHair, kRocker}) EXPECT_EQ(t.cursor(p), 10) << p.x;
    EXPECT_EQ(t.cursor(kExit), 0);
}

TEST(Form11, TheCowboyTellsOfTheGreenMenAndThePowerPlantOpens) {
    Town t;
    // The question, the answer a full period later, then the end of the
    // exchange: only then is the map loaded, with the power plant open.
    EXPECT_EQ(t.play("click Form11.Image5(0)\n" + shot("question") +
                     "expect Form11.Label6.Visible true\nexpect Form11.Timer2.Enabled true\n"
                     "wait 2999\nexpect Form11.Label6.Visible true\nexpect Form11.Label7.Visible false\n"
                     "wait 1\n" + shot("answer") +
                     "expect Form11.Label6.Visible false\nexpect Form11.Label7.Visible true\n"
                     "expect Form11.Timer3.Enabled true\nexpect Form7 unloaded\n"
                     "wait 2999\nexpect Form11.Label7.Visible true\nexpect Form11.Image3.Enabled false\n"
                     "wait 1\n" + kAnswered +
                     "expect Form11.Label6.Visible false\nexpect Form7.Label8.Visible false\n"
                     "expect Form7.Label9.Visible true\nexpect Form11 shown\n"
                     // Nothing more happens after that.
                     "wait 9000\n" + kQuiet + "expect Form11.Image3.Enabled true\n"),
              "");
    EXPECT_EQ(t.cursor(kExit), 9);
}

TEST(Form11, TheExitLeadsToTheMapOnlyAfterTheAnswer) {
    Town t;
    // Before the answer the strip is disabled: the click does nothing.
    EXPECT_EQ(t.play(clickAt(kExit) + "expect Form11 shown\nexpect Form7 unloaded\n" + kQuiet), "");
    // After it, the map that the answer loaded is shown with home greyed out.
    EXPECT_EQ(t.play("click Form11.Image5(0)\nwait 6000\n" + clickAt(kExit) +
                     "expect Form11 unloaded\nexpect Form7 shown\n"
                     "expect Form7.Label8.Visible true\nexpect Form7.Label10.Visible false\n"
                     "expect Form7.Label9.Visible true\n"),
              "");
}

TEST(Form11, TheOtherTwoMusiciansHaveNothingToSay) {
    for (const char* spot : {"Image4(0)", "Image1"}) {
        Town t;
        const std::string click = std::string("click Form11.") + spot + "\n";
        // The first click starts Timer1: the line stays a full period. The
        // timer keeps running, so a later line goes at its next tick.
        EXPECT_EQ(t.play(click + "expect Form11.Label2.Visible true\nexpect Form11.Label2.Caption \"Marná snaha!\"\n" +
                         shot(std::string("nothing-") + spot) +
                         "expect Form11.Label6.Visible false\nexpect Form11.Timer2.Enabled false\n"
                         "wait 2999\nexpect Form11.Label2.Visible true\n"
                         "wait 1\nexpect Form11.Label2.Visible false\nexpect Form11.Timer1.Enabled true\n"
                         "wait 1000\n" + click + "expect Form11.Label2.Visible true\n"
                         "wait 1999\nexpect Form11.Label2.Visible true\n"
                         "wait 1\nexpect Form11.Label2.Visible false\nexpect Form11.Timer1.Enabled true\n"
                         "expect Form11.Image3.Enabled false\nexpect Form7 unloaded\n"),
                  "")
            << spot;
    }
}

TEST(Form11, MoneyAndPistolAreItemsNotMusicians) {
    // Pressed where they lie or dropped anywhere, the array elements 1 raise
    // no Click of their arrays and no drop does anything.
    struct Case {
        const char* press;
        const char* target;  // nullptr: released on the item itself
    } cases[] = {
        {"Image4(1)", nullptr},       {"Image5(1)", nullptr},       {"Image4(1)", "Image4(0)"},
        {"Image5(1)", "Image5(0)"},   {"Image4(1)", "Image5(0)"},   {"Image5(1)", "Image1"},
        {"Image6", "Image5(0)"},      {"Image4(1)", "Image2"},      {"Image5(1)", "Image4(1)"},
        {"Image4(1)", "Label5"},
    };
    for (const auto& c : cases) {
        Town t;
        std::string move = c.target ? std::string("drag Form11.") + c.press + " Form11." + c.target + "\n"
                                    : std::string("click Form11.") + c.press + "\n";
        EXPECT_EQ(t.play(move + kQuiet + "wait 6000\n" + kQuiet +
                         "expect Form11.Image4(1).Visible true\nexpect Form11.Image5(1).Visible true\n"
                         "expect Form11.Image6.Visible true\nexpect Form11.Image3.Enabled false\n"
                         "expect Form7 unloaded\n"),
                  "")
            << move;
    }
}

TEST(Form11, MenuComesUpOverTheTalkThatGoesOn) {
    Town t;
    EXPECT_EQ(t.play("click Form11.Image5(0)\nwait 1000\nclick Form11.Label3(0)\n"
                     "expect Form2 shown\nexpect Form2.Label1.Caption \"0\"\nexpect Form11 shown\n"
                     "wait 2000\nexpect Form11.Label7.Visible true\nwait 3000\n" + kAnswered +
                     // "HURÁ DO HRY" with the flag "0" only hides the menu.
                     "click Form2.Image2\nexpect Form2 hidden\nexpect Form5 unloaded\nexpect Form11 shown\n"),
              "");
}

TEST(Form11, AskingTheCowboyAgain) {
    // While the question is still up: nothing new, the first schedule holds.
    {
        Town t;
        EXPECT_EQ(t.play("click Form11.Image5(0)\nwait 1500\nclick Form11.Image5(0)\n"
                         "wait 1499\nexpect Form11.Label7.Visible false\nwait 1\nexpect Form11.Label7.Visible true\n"
                         "wait 2999\nexpect Form11.Image3.Enabled false\nwait 1\n" + kAnswered +
                         "expect Form11.Label6.Visible false\n"),
                  "");
    }
    // While the answer is up: the question comes back beside it. Which of the
    // two timers due at 6000 ms goes first is not fixed, but either way the
    // exchange ends, and one more question is gone a period later.
    {
        Town t;
        EXPECT_EQ(t.play("click Form11.Image5(0)\nwait 4500\nclick Form11.Image5(0)\n" + shot("question-and-answer") +
                         "expect Form11.Label6.Visible true\nexpect Form11.Label7.Visible true\n"
                         "wait 1500\n" + kAnswered + "click Form11.Image5(0)\nwait 3000\n"
                         "expect Form11.Label6.Visible false\n"),
                  "");
    }
    // After the exchange: the answer comes again, drawn disabled, and goes;
    // the map keeps the power plant open and the exit stays open.
    {
        Town t;
        EXPECT_EQ(t.play("click Form11.Image5(0)\nwait 7000\nclick Form11.Image5(0)\n"
                         "expect Form11.Label6.Visible true\nwait 2999\nexpect Form11.Label7.Visible false\n"
                         "wait 1\nexpect Form11.Label6.Visible false\nexpect Form11.Label7.Visible true\n"
                         "expect Form11.Label7.Enabled false\n" + shot("answer-again") +
                         "wait 3000\n" + kAnswered + "expect Form11.Label6.Visible false\n"),
                  "");
    }
}

TEST(Form11, LinesOnScreenCoverTheHeadsBeneathThem) {
    // Without the lines, those points belong to the musicians.
    {
        Town t;
        EXPECT_EQ(t.play(clickAt(kLongHairUnderAnswer) + "expect Form11.Label2.Visible true\n"), "");
    }
    {
        Town t;
        EXPECT_EQ(t.play(clickAt(kRockerUnderQuestion) + "expect Form11.Label2.Visible true\n"), "");
    }
    {
        Town t;
        EXPECT_EQ(t.play(clickAt(kCowboyUnderAnswer) + "expect Form11.Label6.Visible true\n"), "");
    }
    // With the question up, the rocker's head is the question's.
    Town t;
    EXPECT_EQ(t.play("click Form11.Image5(0)\n" + clickAt(kRockerUnderQuestion) +
                     "expect Form11.Label2.Visible false\nexpect Form11.Timer1.Enabled false\n"
                     // With the answer up, the cowboy's and the long-haired man's heads are the answer's.
                     "wait 3000\n" + clickAt(kLongHairUnderAnswer) + clickAt(kCowboyUnderAnswer) +
                     "expect Form11.Label2.Visible false\nexpect Form11.Label6.Visible false\n"
                     "expect Form11.Timer1.Enabled false\n"),
              "");
}

TEST(Form11, SignAgentAndPanelWordsChangeNothing) {
    Town t;
    EXPECT_EQ(t.play("click Form11.Label1\nclick Form11.Image2\nclick Form11.Label4\nclick Form11.Label5\n"
                     "click Form11.Frame1\n" + kQuiet +
                     "expect Form11.Frame1.Visible true\nexpect Form11.Image3.Enabled false\n"
                     "expect Form11 shown\nexpect Form2 unloaded\nexpect Form7 unloaded\n"),
              "");
}

}  // namespace
}  // namespace az
