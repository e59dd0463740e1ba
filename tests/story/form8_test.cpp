// The market: the monkey, the answer list, the man's clue and the car back
// to the map. Each test shows the market directly, as the map's "Konopný
// Trh" would, and plays it with scenario script lines on a manual clock
// that starts at the market's load.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/story.h"

namespace az {
namespace {

struct Market : testing::StoryGame {
    Market() { show("Form8"); }
    void play(const std::string& script) {
        EXPECT_EQ(StoryGame::play(script), "");
        EXPECT_EQ(rt().error(), "");
    }
};

// Open the panel and draw the pistol on the monkey.
const std::string kAim = R"(
click Form8.Label2
drag Form8.Image5 Form8.Image7
)";

// On screen while the agent aims: the monkey, the aiming agent, the list and the line above it.
const std::string kAiming = R"(
expect Form8.Image7.Visible true
expect Form8.Image1.Visible false
expect Form8.Image8.Visible true
expect Form8.List1.Visible true
expect Form8.Label4.Visible true
)";

// The monkey lies shot, the agent stands, the list and its line are gone, the man may be asked.
const std::string kShot = R"(
expect Form8.Image7.Visible false
expect Form8.Image10.Visible true
expect Form8.Image8.Visible false
expect Form8.Image1.Visible true
expect Form8.List1.Visible false
expect Form8.Label4.Visible false
expect Form8.Image3.Enabled true
expect Form7 hidden
expect Form7.Label8.Visible true
expect Form7.Label7.Visible false
)";

TEST(Market, LoadsWithTheMonkeyAliveAndTheOpeningLineForThreeSeconds) {
    Market m;
    m.play(R"(
expect Form8 shown
expect Form8.Image7.Visible true
expect Form8.Image10.Visible false
expect Form8.Image1.Visible true
expect Form8.Image8.Visible false
expect Form8.Frame1.Visible false
expect Form8.Image9.Visible false
expect Form8.List1.Visible false
expect Form8.List1.ListCount 3
expect Form8.List1.List(0) "Ano"
expect Form8.List1.List(1) "Ne"
expect Form8.List1.List(2) "Pokecat"
expect Form8.List1.ListIndex -1
expect Form8.Label4.Visible false
expect Form8.Label4.Caption "Opravdu chceš opičku zastřelit ?"
expect Form8.Image2.Enabled false
expect Form8.Image3.Enabled false
expect Form7 unloaded
expect Form8.Label3.Visible true
wait 2999
expect Form8.Label3.Visible true
wait 1
expect Form8.Label3.Visible false
)");
    // Cursors: the cross-hair over the live monkey, the hand over the man,
    // the car and the corner words.
    const Runtime& rt = m.host.runtime();
    EXPECT_EQ(rt.cursorAt("Form8", (6840 + 800) / 15, (3600 + 1000) / 15), 15);
    EXPECT_EQ(rt.cursorAt("Form8", 8900 / 15, 7750 / 15), 11);
}

// The whole visit as the story plays it: aim, shoot, find the cigars,
// question the man, and drive back to the map with only the town centre open.
TEST(Market, MainPathFromThePistolToTheMap) {
    Market m;
    m.play("wait 3000\n" + kAim + kAiming + R"(
expect Form8.Image5.Visible true
expect Form7 unloaded
select Form8.List1 0
)" + kShot + R"(
expect Form7.Label9.Visible true
expect Form7.Label6.Visible true
expect Form7.Label10.Visible true
expect Form8.Image2.Enabled false
# The counter of the shot monkey: the cigars, and the line for 3000 ms.
expect Form8.Image10.MouseIcon 14
click Form8.Image10
expect Form8.Image9.Visible true
expect Form8.Label6.Visible true
wait 2999
expect Form8.Label6.Visible true
wait 1
expect Form8.Label6.Visible false
# The man: the question, his answer 3000 ms later, the car 6000 ms later.
click Form8.Image3
expect Form8.Label9.Visible true
expect Form8.Label10.Visible false
click Form8.Image2
expect Form8 shown
wait 2999
expect Form8.Label9.Visible true
expect Form8.Label10.Visible false
wait 1
expect Form8.Label9.Visible false
expect Form8.Label10.Visible true
expect Form8.Image2.Enabled false
click Form8.Image2
expect Form8 shown
wait 2999
expect Form8.Label10.Visible true
expect Form8.Image2.Enabled false
wait 1
expect Form8.Label10.Visible false
expect Form8.Image2.Enabled true
click Form8.Image2
expect Form8 unloaded
expect Form7 shown
expect Form7.Label9.Visible false
expect Form7.Label7.Visible true
expect Form7.Label8.Visible true
expect Form7.Label6.Visible true
expect Form7.Label10.Visible true
)");
}

// Each answer chosen while the agent aims.
TEST(Market, EachAnswerOfTheList) {
    struct Case {
        int entry;
        std::string after;
    } cases[] = {
        {0, kShot},
        {1, R"(
expect Form8.Image7.Visible true
expect Form8.Image8.Visible false
expect Form8.Image1.Visible true
expect Form8.List1.Visible true
expect Form8.Label4.Visible true
expect Form8.Label4.Caption "Opravdu chceš opičku zastřelit ?"
expect Form8.Label7.Visible true
expect Form8.Image3.Enabled false
expect Form7 unloaded
wait 2999
expect Form8.Label7.Visible true
wait 1
expect Form8.Label7.Visible false
expect Form8.List1.Visible true
)"},
        {2, R"(
expect Form8.Image7.Visible true
expect Form8.Image8.Visible false
expect Form8.Image1.Visible true
expect Form8.List1.Visible false
expect Form8.Label4.Visible true
expect Form8.Label4.Caption "Uuaauaauaa !?"
expect Form8.Label7.Visible false
expect Form8.Image3.Enabled false
expect Form7 unloaded
wait 9000
expect Form8.Label4.Visible true
expect Form8.Label4.Caption "Uuaauaauaa !?"
)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("entry " + std::to_string(c.entry));
        Market m;
        m.play(kAim + kAiming + "select Form8.List1 " + std::to_string(c.entry) + "\n" + c.after);
    }
}

// Only the pistol on the live monkey makes the agent aim. Other items, other
// targets, and a drag while the panel is closed change nothing.
TEST(Market, DropsThatDoNothing) {
    const std::string unchanged = R"(
expect Form8.Image1.Visible true
expect Form8.Image8.Visible false
expect Form8.List1.Visible false
expect Form8.Label4.Visible false
expect Form8.Label8.Visible false
expect Form8.Image7.Visible true
expect Form8.Image4.Visible true
expect Form8.Image5.Visible true
expect Form8.Image6.Visible true
)";
    const char* drops[] = {
        // the panel is closed at load: nothing to drag yet
        "drag Form8.Image5 Form8.Image7",
        "click Form8.Label2\ndrag Form8.Image4 Form8.Image7",
        "click Form8.Label2\ndrag Form8.Image6 Form8.Image7",
        "click Form8.Label2\ndrag Form8.Image5 Form8.Image3",
        "click Form8.Label2\ndrag Form8.Image5 Form8.Image6",
        "click Form8.Label2\ndrag Form8.Image5 Form8.Frame1",
        "click Form8.Label2\ndrag Form8.Image5 Form8.Image1",
        // closed again: the items go with the panel
        "click Form8.Label2\nclick Form8.Label5\nexpect Form8.Frame1.Visible false\ndrag Form8.Image5 Form8.Image7",
    };
    for (const char* d : drops) {
        SCOPED_TRACE(d);
        Market m;
        m.play(std::string(d) + "\n" + unchanged);
    }
    // The monkey takes no click, and the man cannot be asked while it lives.
    Market m;
    m.play(R"(
click Form8.Image7
click Form8.Image3
wait 6000
expect Form8.Label9.Visible false
expect Form8.Label10.Visible false
expect Form8.Image8.Visible false
expect Form8.List1.Visible false
)");
}

// "Ne" leaves the list up: the pistol drawn again aims again, "Ne" again
// shows its line only until the running timer's next tick, and "Ano" still
// shoots. The pistol drawn while aiming changes nothing.
TEST(Market, AfterNeTheListStays) {
    Market m;
    m.play(kAim + R"(
drag Form8.Image5 Form8.Image7
)" + kAiming + R"(
select Form8.List1 1
expect Form8.Label7.Visible true
wait 1000
drag Form8.Image5 Form8.Image7
)" + kAiming + R"(
select Form8.List1 1
expect Form8.Image8.Visible false
expect Form8.Image1.Visible true
wait 1999
expect Form8.Label7.Visible true
wait 1
expect Form8.Label7.Visible false
# the still selected "Ne" clicked again: the line until the next tick, 1000 ms
wait 2000
select Form8.List1 1
expect Form8.List1.ListIndex 1
expect Form8.Label7.Visible true
wait 999
expect Form8.Label7.Visible true
wait 1
expect Form8.Label7.Visible false
select Form8.List1 0
)" + kShot);
}

// After "Pokecat" the question never comes back: the pistol brings the list
// under the monkey's chatter, and "Ano" still shoots.
TEST(Market, AfterPokecatThePistolBringsTheListUnderTheChatter) {
    Market m;
    m.play(kAim + R"(
select Form8.List1 2
select Form8.List1 0
expect Form8.Image7.Visible true
drag Form8.Image5 Form8.Image7
)" + kAiming + R"(
expect Form8.Label4.Caption "Uuaauaauaa !?"
select Form8.List1 0
)" + kShot + R"(
expect Form8.Label4.Caption "Uuaauaauaa !?"
)");
}

// Once shot, the monkey is gone for the visit: no list again, no drop on the
// counter, and the cigars found again only bring the line back briefly.
TEST(Market, AfterTheShot) {
    Market m;
    m.play(kAim + R"(
select Form8.List1 0
drag Form8.Image5 Form8.Image7
drag Form8.Image5 Form8.Image10
drag Form8.Image4 Form8.Image10
select Form8.List1 1
)" + kShot + R"(
expect Form8.Label7.Visible false
click Form8.Image10
wait 2000
click Form8.Image10
expect Form8.Label6.Visible true
wait 999
expect Form8.Label6.Visible true
wait 1
expect Form8.Label6.Visible false
expect Form8.Image9.Visible true
)");
}

// The man's timers never stop: every 3000 ms his answer shows only for the
// moment between the two ticks, and the car stays usable. Asked again
// between 3000 and 6000 ms, question and answer stand together until 6000 ms.
TEST(Market, TheMansChainRunsOn) {
    Market m;
    m.play(kAim + R"(
select Form8.List1 0
click Form8.Image3
wait 4000
expect Form8.Label10.Visible true
click Form8.Image3
expect Form8.Label9.Visible true
expect Form8.Label10.Visible true
wait 1999
expect Form8.Label9.Visible true
expect Form8.Label10.Visible true
wait 1
expect Form8.Label9.Visible false
expect Form8.Label10.Visible false
expect Form8.Image2.Enabled true
# asked again later: the question until Timer4's next tick
wait 1500
click Form8.Image3
expect Form8.Label9.Visible true
wait 1499
expect Form8.Label9.Visible true
wait 1
expect Form8.Label9.Visible false
expect Form8.Label10.Visible false
wait 30000
expect Form8.Label9.Visible false
expect Form8.Label10.Visible false
expect Form8.Image2.Enabled true
)");
}

// "Menu" brings the menu up over the market with its flag at "0"; the market
// stays loaded and its timers run on behind it.
TEST(Market, MenuLeavesTheMarketRunning) {
    Market m;
    m.play(kAim + R"(
select Form8.List1 0
click Form8.Image3
click Form8.Label1
expect Form2 shown
expect Form2.Label1.Caption "0"
expect Form8 shown
wait 6000
expect Form8.Label3.Visible false
expect Form8.Label9.Visible false
expect Form8.Image2.Enabled true
click Form2.Image2
expect Form2 hidden
expect Form8 shown
click Form8.Image2
expect Form7 shown
expect Form8 unloaded
)");
}

// A later visit starts afresh: the monkey alive, the question back, no cigars,
// three entries in the list, the man and the car locked.
TEST(Market, AnotherVisitStartsAfresh) {
    Market m;
    m.play(kAim + R"(
select Form8.List1 2
drag Form8.Image5 Form8.Image7
select Form8.List1 0
click Form8.Image10
click Form8.Image3
wait 6000
click Form8.Image2
expect Form8 unloaded
)");
    m.host.runtime().dispatch([&] { m.host.runtime().scene("Form8").show(); });
    m.play(R"(
expect Form8 shown
expect Form8.Image7.Visible true
expect Form8.Image10.Visible false
expect Form8.Image9.Visible false
expect Form8.Frame1.Visible false
expect Form8.Label3.Visible true
expect Form8.Label4.Caption "Opravdu chceš opičku zastřelit ?"
expect Form8.List1.ListCount 3
expect Form8.List1.ListIndex -1
expect Form8.Image2.Enabled false
expect Form8.Image3.Enabled false
click Form8.Image3
wait 3000
expect Form8.Label10.Visible false
expect Form8.Label3.Visible false
)");
}

// The answer list is 41 pixels high: two rows and most of the third in
// view, and a scroll bar at x 615..630 with its arrows at y 434..449 and
// 455..470 and a track of five pixels between them.
TEST(Market, TheListsScrollBarScrollsWithoutAnswering) {
    Market m;
    const std::string untouched = kAiming + "expect Form8.List1.ListIndex -1\nexpect Form8.Image10.Visible false\n";
    m.play(kAim + R"(
click Form8 622 463           # the down arrow
expect Form8.List1.TopIndex 1
)" + untouched + R"(
click Form8 622 442           # the up arrow
expect Form8.List1.TopIndex 0
click Form8 622 454           # the track below its middle: a page down
expect Form8.List1.TopIndex 1
click Form8 622 451           # above it: a page up
expect Form8.List1.TopIndex 0
wheel Form8.List1 1
expect Form8.List1.TopIndex 1
wheel Form8.List1 -1
expect Form8.List1.TopIndex 0
)" + untouched + R"(
click Form8 560 466           # "Pokecat", its row partly in view
expect Form8.List1.ListIndex 2
expect Form8.List1.TopIndex 1
expect Form8.Label4.Caption "Uuaauaauaa !?"
expect Form8.List1.Visible false
expect Form8.Image7.Visible true
)");
}

// Down in the list moves the selection and answers as a click would:
// from no selection the first Down lands on "Ne", the next on "Pokecat".
TEST(Market, TheKeyboardAnswersInTheList) {
    Market m;
    m.play(kAim + R"(
key Form8 tab                 # the list takes the focus
expect Form8.List1.ListIndex -1
key Form8 down
expect Form8.List1.ListIndex 1
expect Form8.Label7.Visible true
expect Form8.Image8.Visible false
expect Form8.Image1.Visible true
expect Form8.List1.Visible true
key Form8 down
expect Form8.List1.ListIndex 2
expect Form8.List1.TopIndex 1
expect Form8.Label4.Caption "Uuaauaauaa !?"
expect Form8.List1.Visible false
expect Form8.Image7.Visible true
key Form8 up                  # the hidden list has lost the focus
expect Form8.List1.ListIndex 2
expect Form8.Image10.Visible false
)");
}

}  // namespace
}  // namespace az
