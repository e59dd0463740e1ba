// Form6, in front of the house: the agent, a hippie with his guitar on the
// lawn and the red car. Two talks with the hippie: the first one opens the
// way to the merchant, and once the hippie wears the cap, the second one
// tells of the light over the hemp fields and opens the way to the market.
// The car leaves for the town map once a talk is over.
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"
#include "scenes/story/speech.h"

namespace az {

namespace {
constexpr VbColor kRed = 0x000000FF;
}  // namespace

SceneDef form6() {
    using namespace story;
    SceneDef s;
    s.desc = {windowOf("Form6"),
              {
                  // The second talk.
                  timer("Timer11", 3000).disabled(),
                  timer("Timer10", 3000).disabled(),
                  timer("Timer9", 3000).disabled(),
                  timer("Timer8", 3000).disabled(),
                  // Takes the "Fuck Off !" away again.
                  timer("Timer7", 3000).disabled(),
                  inventoryFrame(120, 7320, 8415, 975).hidden(),
                  item("Image9", Item::Cohiba).at(3480, 120, 885, 840).hidden(),
                  // The cap: the merchant puts it here when the agent buys it.
                  item("Image7", Item::Nike).hidden(),
                  item("Image6", Item::Keys),
                  item("Image5", Item::Gun),
                  item("Image4", Item::Mamon),
                  closeLabel("Label5", 8415),
                  // The first talk.
                  timer("Timer6", 3000).disabled(),
                  timer("Timer5", 3000).disabled(),
                  timer("Timer4", 3000).disabled(),
                  timer("Timer3", 3000).disabled(),
                  timer("Timer2", 3000).disabled(),
                  timer("Timer1", 3000).disabled(),
                  speech("Label13", 6120, 3240, 2655, 495, "Většinu času tráví na svý tržnici !"),
                  speech("Label12", 3720, 3360, 1575, 255, "Kde ho najdu !?"),
                  speech("Label11", 6000, 3120, 3015, 855,
                       "No dobře šéfe , tuhle jsem večer zahlíd nějaký divný světlo v konopnejch polích . "
                       "Víc by vám mohl říct majitel !"),
                  speech("Label10", 3720, 3360, 2535, 375, "Tak mluv chlapče, jinak tě budu muset trochu podusit !!"),
                  speech("Fuck", 3720, 3360, 975, 255, "Fuck Off !").fore(kRed),
                  // The cap on the hippie's head.
                  image("Image8").at(7920, 3600, 1065, 720).pic(32).hidden(),
                  speech("Label9", 6360, 3360, 2415, 255, "Chci Naikovku vod čongů !"),
                  speech("Label8", 3720, 3360, 1815, 255, "Dobře ! Co chceš ?!"),
                  speech("Label7", 6360, 3360, 2535, 255, "Hele víš co ? Něco za něco !"),
                  speech("Label6", 3720, 3360, 2775, 255, "Potřeboval bych pár informací !"),
                  cornerLabel("Label4", "Menu").at(9000, 7560, 495, 255),
                  cornerLabel("Label3", "Inventář").at(9000, 7920, 735, 255),
                  speech("Label2", 6360, 3360, 1215, 255, "Zdar prďolo !"),
                  speech("Label1", 3840, 3360, 1575, 255, "Nazdar hypízáku !"),
                  // Invisible hot spots over the car and the hippie.
                  image("Image3").at(480, 3360, 2295, 1095).cursor(13).disabled(),
                  image("Image2").at(7320, 3600, 2175, 3375).cursor(13),
                  // The agent.
                  image("Image1").at(2160, 3000, 1845, 4065).pic(24).stretched(),
              }};

    // The house comes on screen whoever loads it; the car waits for a talk.
    s.onLoad([](Runtime& rt, const Event&) {
        rt.scene("Form6").setVisible(true);
        rt.scene("Form6").control("Image3").setEnabled(false);
    });

    // The hippie: without the cap he only trades, with it he talks.
    s.on("Image2", EventKind::Click, [](Runtime& rt, const Event&) {
        if (!rt.scene("Form6").control("Image8").visible()) {
            rt.scene("Form6").control("Label1").setVisible(true);
            rt.scene("Form7").control("Label3").setVisible(true);
            rt.scene("Form7").control("Label6").setVisible(false);
            rt.scene("Form6").control("Timer1").setEnabled(true);
        } else {
            rt.scene("Form6").control("Label10").setVisible(true);
            rt.scene("Form6").control("Timer8").setEnabled(true);
        }
    });

    // Only the cap will do; anything else gets him swearing.
    s.on("Image2", EventKind::DragDrop, [](Runtime& rt, const Event& e) {
        if (e.source->tag() == "Nike") {
            rt.scene("Form6").control("Image8").setVisible(true);
            e.source->setVisible(false);
        } else {
            rt.scene("Form6").control("Fuck").setVisible(true);
            rt.scene("Form6").control("Timer7").setEnabled(true);
        }
    });

    // The car: off to the map, and there is nothing more to do at home.
    s.on("Image3", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form7").show();
        rt.scene("Form7").control("Label8").setVisible(true);
        rt.scene("Form6").unload();
    });

    s.on("Label3", EventKind::Click, [](Runtime& rt, const Event&) { openPanel(rt, "Form6"); });
    s.on("Label5", EventKind::Click, [](Runtime& rt, const Event&) { closePanel(rt, "Form6"); });
    s.on("Label4", EventKind::Click, [](Runtime& rt, const Event&) { showMenuOverStory(rt); });

    // The first talk, a line every three seconds.
    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label2").setVisible(true);
        rt.scene("Form6").control("Label1").setVisible(false);
        rt.scene("Form6").control("Timer1").setEnabled(false);
        rt.scene("Form6").control("Timer2").setEnabled(true);
    });
    s.on("Timer2", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label2").setVisible(false);
        rt.scene("Form6").control("Label6").setVisible(true);
        rt.scene("Form6").control("Timer2").setEnabled(false);
        rt.scene("Form6").control("Timer3").setEnabled(true);
    });
    s.on("Timer3", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label6").setVisible(false);
        rt.scene("Form6").control("Label7").setVisible(true);
        rt.scene("Form6").control("Timer3").setEnabled(false);
        rt.scene("Form6").control("Timer4").setEnabled(true);
    });
    s.on("Timer4", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label7").setVisible(false);
        rt.scene("Form6").control("Label8").setVisible(true);
        rt.scene("Form6").control("Timer4").setEnabled(false);
        rt.scene("Form6").control("Timer5").setEnabled(true);
    });
    s.on("Timer5", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label8").setVisible(false);
        rt.scene("Form6").control("Label9").setVisible(true);
        rt.scene("Form6").control("Timer5").setEnabled(false);
        rt.scene("Form6").control("Timer6").setEnabled(true);
    });
    // The end of the first talk. It keeps ticking while the house is loaded.
    s.on("Timer6", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label9").setVisible(false);
        rt.scene("Form6").control("Image3").setEnabled(true);
    });

    // Ticks on after the first refusal.
    s.on("Timer7", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Fuck").setVisible(false);
    });

    // The second talk.
    s.on("Timer8", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label10").setVisible(false);
        rt.scene("Form6").control("Label11").setVisible(true);
        rt.scene("Form6").control("Timer9").setEnabled(true);
        rt.scene("Form6").control("Timer8").setEnabled(false);
    });
    s.on("Timer9", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label11").setVisible(false);
        rt.scene("Form6").control("Label12").setVisible(true);
        rt.scene("Form6").control("Timer10").setEnabled(true);
        rt.scene("Form6").control("Timer9").setEnabled(false);
    });
    s.on("Timer10", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label12").setVisible(false);
        rt.scene("Form6").control("Label13").setVisible(true);
        rt.scene("Form6").control("Timer11").setEnabled(true);
        rt.scene("Form6").control("Timer10").setEnabled(false);
    });
    // The clue is out: the market is open on the map, home is not.
    s.on("Timer11", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").control("Label13").setVisible(false);
        rt.scene("Form6").control("Timer11").setEnabled(false);
        rt.scene("Form7").control("Label7").setVisible(false);
        rt.scene("Form7").control("Label8").setVisible(true);
        rt.scene("Form6").control("Image3").setEnabled(true);
    });
    return s;
}

}  // namespace az
