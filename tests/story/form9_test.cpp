// The merchant: the conversation with the vendor, buying the cap with the
// money, refusals, the car back to the map and "Menu".
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "support/story.h"

namespace az {
namespace {

// A game with the merchant shown, as the map's "Obchodník" leaves it.
struct Merchant : testing::StoryGame {
    explicit Merchant(bool hippieHasCap = false) {
        if (hippieHasCap)
            rt().dispatch([&] { rt().scene("Form6").control("Image8").setVisible(true); });
        show("Form9");
    }
};

TEST(Merchant, LoadsWithTheHouseBehindAndNothingBought) {
    Merchant m;
    auto r = m.run(R"(
expect Form9 shown
expect Form6 shown
expect Form6.Image8.Visible false
expect Form6.Image7.Visible false
expect Form7 unloaded
expect Form9.Frame1.Visible true
expect Form9.Image4.Visible true
expect Form9.Image5.Visible true
expect Form9.Image6.Visible true
expect Form9.Image7.Visible false
expect Form9.Image2.Enabled false
expect Form9.Image4.Tag "Mamon"
expect Form9.Image5.Tag ""
expect Form9.Image6.Tag ""
expect Form9.Image7.Tag ""
# The car does nothing before the purchase.
click Form9.Image2
expect Form9 shown
expect Form7 unloaded
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
    // The house came up behind the merchant, not over him.
    EXPECT_EQ(m.host.windows().topScene(), "Form9");
    // Pointers: the pinching hand on the vendor, the pointing hand on the
    // words, the plain arrow on the items, which have no hover text here.
    struct Spot {
        const char* what;
        int x, y, cursor;
    } spots[] = {
        {"vendor", 408, 264, 13}, {"money", 46, 530, 0},  {"pistol", 105, 525, 0}, {"keys", 184, 527, 0},
        {"Menu", 612, 512, 11},   {"Inventář", 616, 544, 11}, {"Zavřít", 530, 504, 11}, {"agent", 145, 350, 0},
        {"car, disabled", 128, 192, 0},
    };
    for (const auto& p : spots) {
        EXPECT_EQ(m.host.runtime().cursorAt("Form9", p.x, p.y), p.cursor) << p.what;
        EXPECT_EQ(m.host.runtime().toolTipAt("Form9", p.x, p.y), "") << p.what;
    }
    ASSERT_EQ(m.run("drag Form9.Image4 Form9.Image3\n").exitCode, 0);
    EXPECT_EQ(m.host.runtime().cursorAt("Form9", 128, 192), 11) << "car, enabled";
}

// Each line one full period after the one before. The price and its end
// stop the first step's timer, not their own: from then on the price
// flashes up at every tick and is hidden again at once, and a later click
// leaves the greeting on screen for good.
TEST(Merchant, ConversationLinesFollowEvery3000Ms) {
    Merchant m;
    auto r = m.run(R"(
click Form9.Image3
expect Form9.Label5.Visible true
expect Form9.Timer1.Enabled true
# a second click while the first line shows changes nothing
wait 1000
click Form9.Image3
wait 1999
expect Form9.Label5.Visible true
expect Form9.Label6.Visible false
wait 1
expect Form9.Label5.Visible false
expect Form9.Label6.Visible true
expect Form9.Timer1.Enabled false
wait 2999
expect Form9.Label6.Visible true
wait 1
expect Form9.Label6.Visible false
expect Form9.Label3.Visible true
wait 2999
expect Form9.Label3.Visible true
wait 1
expect Form9.Label3.Visible false
expect Form9.Label4.Visible true
expect Form9.Timer3.Enabled true
wait 2999
expect Form9.Label4.Visible true
wait 1
# the price shown again by the third step and hidden by the fourth, a
# moment later: both keep ticking
expect Form9.Label4.Visible false
expect Form9.Timer3.Enabled true
expect Form9.Timer4.Enabled true
wait 9000
expect Form9.Label5.Visible false
expect Form9.Label6.Visible false
expect Form9.Label3.Visible false
expect Form9.Label4.Visible false
# a later click: the greeting comes, and the next tick of the third step
# stops the first step's timer before it can fire
click Form9.Image3
expect Form9.Label5.Visible true
wait 3000
expect Form9.Timer1.Enabled false
expect Form9.Label5.Visible true
expect Form9.Label6.Visible false
wait 9000
expect Form9.Label5.Visible true
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
}

// The money buys the cap for this panel and the house's, opens the car and
// "Domov" on a map that the purchase loads hidden.
TEST(Merchant, MoneyBuysTheCapAndTheCarLeadsToTheMap) {
    Merchant m;
    auto r = m.run(R"(
click Form9.Image3
wait 4000
drag Form9.Image4 Form9.Image3
expect Form9.Image7.Visible true
expect Form6.Image7.Visible true
expect Form9.Image2.Enabled true
expect Form7 hidden
expect Form7.Label8.Visible false
expect Form9.Fuck.Visible false
expect Form9.Image4.Visible true
# the purchase leaves the conversation running
expect Form9.Label6.Visible true
wait 2000
expect Form9.Label3.Visible true
# a second time: the same again, no refusal
drag Form9.Image4 Form9.Image3
expect Form9.Fuck.Visible false
expect Form9.Image7.Visible true
expect Form6.Image7.Visible true
expect Form9.Image2.Enabled true
click Form9.Image2
expect Form7 shown
expect Form7.Label8.Visible false
expect Form9 unloaded
expect Form6 shown
expect Form6.Image7.Visible true
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;

    // Coming back starts from the design values; the house keeps its cap.
    m.host.runtime().dispatch([&] { m.host.runtime().scene("Form9").show(); });
    r = m.run(R"(
expect Form9 shown
expect Form9.Image7.Visible false
expect Form9.Image2.Enabled false
expect Form9.Fuck.Visible false
expect Form6.Image7.Visible true
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
}

// Anything the vendor does not take draws the red refusal for one period;
// the item stays where it was and nothing is bought.
TEST(Merchant, RefusalsAndDropsElsewhere) {
    struct Case {
        const char* what;
        bool hippieHasCap;
        const char* before;  // script run first
        const char* drag;    // the drag itself
        bool refused;
        const char* after;   // what else holds after the drop
    } cases[] = {
        {"pistol", false, "", "drag Form9.Image5 Form9.Image3", true,
         "expect Form9.Image5.Visible true\nexpect Form9.Image7.Visible false\nexpect Form7 unloaded\n"},
        {"keys", false, "", "drag Form9.Image6 Form9.Image3", true,
         "expect Form9.Image6.Visible true\nexpect Form9.Image2.Enabled false\nexpect Form7 unloaded\n"},
        {"the bought cap", false, "drag Form9.Image4 Form9.Image3\n", "drag Form9.Image7 Form9.Image3", true,
         "expect Form9.Image7.Visible true\nexpect Form6.Image7.Visible true\n"},
        {"money when the hippie already has the cap", true, "", "drag Form9.Image4 Form9.Image3", true,
         "expect Form9.Image4.Visible true\nexpect Form9.Image7.Visible false\n"
         "expect Form6.Image7.Visible false\nexpect Form9.Image2.Enabled false\nexpect Form7 unloaded\n"},
        {"money on the agent", false, "", "drag Form9.Image4 Form9.Image1", false,
         "expect Form9.Image7.Visible false\nexpect Form7 unloaded\n"},
        {"money on the car", false, "", "drag Form9.Image4 Form9.Image2", false,
         "expect Form9.Image7.Visible false\nexpect Form9.Image2.Enabled false\nexpect Form7 unloaded\n"},
        {"money on the panel", false, "", "drag Form9.Image4 Form9.Frame1", false,
         "expect Form9.Image7.Visible false\nexpect Form7 unloaded\n"},
        {"money on the pistol", false, "", "drag Form9.Image4 Form9.Image5", false,
         "expect Form9.Image5.Visible true\nexpect Form9.Image7.Visible false\nexpect Form7 unloaded\n"},
        {"pistol on the menu word", false, "", "drag Form9.Image5 Form9.Label2", false,
         "expect Form2 unloaded\nexpect Form6 shown\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Merchant m(c.hippieHasCap);
        std::string v = c.refused ? "true" : "false";
        std::string script = std::string(c.before) + c.drag + "\n" + "expect Form9.Fuck.Visible " + v + "\n" +
                             "expect Form9.Timer5.Enabled " + v + "\n" + c.after +
                             "wait 2999\nexpect Form9.Fuck.Visible " + v + "\n" +
                             "wait 1\nexpect Form9.Fuck.Visible false\n";
        auto r = m.run(script);
        EXPECT_EQ(r.exitCode, 0) << r.message;
    }
}

// The refusal timer ticks on from the first refusal: a later refusal
// shows until its next tick.
TEST(Merchant, RefusalRepeats) {
    Merchant m;
    auto r = m.run(R"(
drag Form9.Image5 Form9.Image3
wait 2000
drag Form9.Image6 Form9.Image3
expect Form9.Fuck.Visible true
wait 1000
expect Form9.Fuck.Visible false
expect Form9.Timer5.Enabled true
wait 5000
drag Form9.Image6 Form9.Image3
expect Form9.Fuck.Visible true
wait 999
expect Form9.Fuck.Visible true
wait 1
expect Form9.Fuck.Visible false
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
}

// The hippie got the cap after the merchant loaded: every drop reads again.
TEST(Merchant, EveryDropLooksAtTheHippieAgain) {
    Merchant m;
    Runtime& rt = m.host.runtime();
    rt.dispatch([&] { rt.scene("Form6").control("Image8").setVisible(true); });
    auto r = m.run(R"(
drag Form9.Image4 Form9.Image3
expect Form9.Fuck.Visible true
expect Form9.Image7.Visible false
expect Form6.Image7.Visible false
expect Form7 unloaded
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
    rt.dispatch([&] { rt.scene("Form6").control("Image8").setVisible(false); });
    r = m.run(R"(
drag Form9.Image4 Form9.Image3
expect Form9.Image7.Visible true
expect Form6.Image7.Visible true
expect Form7.Label8.Visible false
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
}

// "Menu" takes the house off screen, brings the menu with its flag "0", and
// the conversation goes on behind it; "HURÁ DO HRY" returns to the merchant.
TEST(Merchant, MenuHidesTheHouseAndReturnsHere) {
    Merchant m;
    auto r = m.run(R"(
click Form9.Image3
click Form9.Label2
expect Form6 hidden
expect Form2 shown
expect Form2.Label1.Caption "0"
expect Form9 shown
wait 3000
expect Form9.Label6.Visible true
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
    EXPECT_EQ(m.host.windows().topScene(), "Form2");
    r = m.run(R"(
click Form2.Image2
expect Form2 hidden
expect Form9 shown
expect Form6 hidden
expect Form5 unloaded
wait 3000
expect Form9.Label3.Visible true
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
    EXPECT_EQ(m.host.windows().topScene(), "Form9");

    // A house window closed by its close box is loaded again, and hidden.
    Merchant closed;
    r = closed.run("close Form6\nexpect Form6 unloaded\nclick Form9.Label2\nexpect Form6 hidden\n"
                   "expect Form2 shown\n");
    EXPECT_EQ(r.exitCode, 0) << r.message;
}

// "Zavřít" closes the panel with its items, "Inventář" opens it again.
TEST(Merchant, PanelClosesAndOpens) {
    Merchant m;
    auto r = m.run(R"(
click Form9.Label1
expect Form9.Frame1.Visible true
click Form9.Label7
expect Form9.Frame1.Visible false
expect Form9.Image4.Visible true
click Form9.Label1
expect Form9.Frame1.Visible true
drag Form9.Image4 Form9.Image3
expect Form9.Image7.Visible true
)");
    EXPECT_EQ(r.exitCode, 0) << r.message;
}

// The scene at its moments, painted with the game's own art: each moment
// changes what is on screen. The pictures stay in AZ_TEST_OUT when it is set.
TEST(Merchant, EachMomentChangesThePicture) {
    const std::string out = testing::testOutput().empty()
                                ? (std::filesystem::temp_directory_path() / ("az-form9-" + std::to_string(::getpid()))).string()
                                : testing::testOutput();
    std::filesystem::create_directories(out);
    Merchant m;
    m.withPictures();
    const char* moments[][2] = {
        {"load", ""},
        {"1", "click Form9.Image3\n"},
        {"2", "wait 3000\n"},
        {"3", "wait 3000\n"},
        {"4", "wait 3000\n"},
        {"refusal", "drag Form9.Image5 Form9.Image3\n"},
        {"bought", "drag Form9.Image4 Form9.Image3\n"},
    };
    std::string before;
    for (const auto& [name, step] : moments) {
        const std::string file = out + "/form9-" + name + ".png";
        ASSERT_EQ(m.play(std::string(step) + "screenshot Form9 " + file + "\n"), "");
        std::ifstream in(file, std::ios::binary);
        const std::string picture((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_FALSE(picture.empty()) << name;
        EXPECT_NE(picture, before) << name << " looks like the moment before";
        before = picture;
    }
    if (testing::testOutput().empty()) std::filesystem::remove_all(out);
}

}  // namespace
}  // namespace az
