// In front of the house with the cap: the cap comes only from the merchant,
// who writes it straight into this scene's panel. These tests make that
// write themselves, the way the merchant does, and play on from there.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/story.h"

namespace az {
namespace {

class Form6Cap : public ::testing::Test {
protected:
    testing::StoryGame game;
    Runtime& rt = game.rt();

    void SetUp() override { game.picturesForShots(); }
    void play(const std::string& script) { ASSERT_EQ(game.play(script), ""); }

    // The merchant's load looks at the hippie's head: that reference loads
    // the house if it is not loaded, and the house shows itself.
    void merchantLooksAtTheHippie() {
        rt.dispatch([&] { (void)rt.scene("Form6").control("Image8").visible(); });
    }
    // The cap is bought: the merchant puts it into the house's panel.
    void merchantSellsTheCap() {
        rt.dispatch([&] { rt.scene("Form6").control("Image7").setVisible(true); });
    }
};

TEST_F(Form6Cap, HandedOverThenTheSecondTalkOpensTheMarket) {
    merchantLooksAtTheHippie();
    play(R"(
expect Form6 shown
expect Form6.Image3.Enabled false
expect Form6.Image7.Visible false
)");
    merchantSellsTheCap();
    play(R"(
expect Form6.Image7.Visible true
click Form6.Label3
)" + testing::shot("Form6", "form6-cap-in-panel") + R"(
# Dropped anywhere but on the hippie, the cap stays in the panel.
drag Form6.Image7 Form6.Frame1
drag Form6.Image7 Form6.Image1
drag Form6.Image7 Form6.Image4
expect Form6.Image7.Visible true
expect Form6.Image8.Visible false
# On the hippie: on his head, out of the panel, no swearing.
drag Form6.Image7 Form6.Image2
expect Form6.Image8.Visible true
expect Form6.Image7.Visible false
expect Form6.Fuck.Visible false
expect Form6.Image9.Visible false
)" + testing::shot("Form6", "form6-cap-on-head") + R"(
# The cap covers the top of his hot spot: clicks there do nothing.
click Form6.Image8
expect Form6.Label10.Visible false
expect Form6.Label1.Visible false
# The rest of him starts the second talk; the map is not touched yet.
click Form6.Image2
expect Form6.Label10.Visible true
expect Form6.Label1.Visible false
expect Form7 unloaded
wait 2999
expect Form6.Label11.Visible false
wait 1
expect Form6.Label10.Visible false
expect Form6.Label11.Visible true
)" + testing::shot("Form6", "form6-clue") + R"(
wait 2999
expect Form6.Label12.Visible false
wait 1
expect Form6.Label11.Visible false
expect Form6.Label12.Visible true
wait 2999
expect Form6.Label13.Visible false
wait 1
expect Form6.Label12.Visible false
expect Form6.Label13.Visible true
wait 2999
expect Form6.Label13.Visible true
expect Form6.Image3.Enabled false
expect Form7 unloaded
# Timer11: the market opens and home locks on a map it loads hidden.
wait 1
expect Form6.Label13.Visible false
expect Form6.Timer11.Enabled false
expect Form6.Image3.Enabled true
expect Form7 hidden
expect Form7.Label7.Visible false
expect Form7.Label8.Visible true
expect Form7.Label6.Visible true
# The talk does not tick on.
wait 9000
expect Form6.Label10.Visible false
expect Form6.Label13.Visible false
# The car shows that map and the house goes, cap and all.
click Form6.Image3
expect Form7 shown
expect Form7.Label7.Visible false
expect Form7.Label8.Visible true
expect Form6 unloaded
)");
}

TEST_F(Form6Cap, HandedOverDuringTheFirstTalkRunsBothTalks) {
    merchantLooksAtTheHippie();
    play(R"(
click Form6.Image2
wait 4000
expect Form6.Label2.Visible true
)");
    merchantSellsTheCap();
    play(R"(
click Form6.Label3
drag Form6.Image7 Form6.Image2
expect Form6.Image8.Visible true
# At 4000 ms: the second talk starts beside the first one's answer.
click Form6.Image2
expect Form6.Label10.Visible true
expect Form6.Label2.Visible true
wait 2000
expect Form6.Label6.Visible true
expect Form6.Label10.Visible true
wait 1000
expect Form6.Label10.Visible false
expect Form6.Label11.Visible true
expect Form6.Label6.Visible true
)" + testing::shot("Form6", "form6-both-talks") + R"(
# 16000 ms: the second talk ends first and opens the car.
wait 8999
expect Form6.Image3.Enabled false
wait 1
expect Form6.Image3.Enabled true
expect Form7.Label7.Visible false
expect Form7.Label8.Visible true
# 18000 ms: the first talk's last line goes.
expect Form6.Label9.Visible true
wait 2000
expect Form6.Label9.Visible false
)");
}

TEST_F(Form6Cap, LeavingBeforeTheHandOverLosesTheCap) {
    merchantLooksAtTheHippie();
    merchantSellsTheCap();
    // The first talk again, which opens the car.
    play(R"(
click Form6.Image2
expect Form7.Label6.Visible false
wait 18000
click Form6.Image3
expect Form6 unloaded
expect Form7 shown
expect Form7.Label8.Visible true
)");
    // The next touch builds the house afresh: no cap in the panel.
    merchantLooksAtTheHippie();
    play(R"(
expect Form6 shown
expect Form6.Image7.Visible false
expect Form6.Image8.Visible false
expect Form6.Image3.Enabled false
)");
}

}  // namespace
}  // namespace az
