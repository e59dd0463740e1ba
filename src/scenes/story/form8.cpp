// Form8, the hemp market. A grinning monkey guards the stall, and the man in
// green will not talk while it lives: the agent draws his pistol on it (the
// pistol dropped from the panel) and answers "Ano". Then the man gives the
// clue about the metalheads, and the car takes the agent back to the map,
// where only the town centre is open. The shot monkey's counter hides a box
// of Havana cigars.
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"
#include "scenes/story/speech.h"

namespace az {

using story::speech;

namespace {
constexpr VbColor kGreen = 0x0000C000;
constexpr VbColor kRed = 0x000000FF;
}  // namespace

SceneDef form8() {
    SceneDef s;
    s.desc = {windowOf("Form8"),
              {
                  timer("Timer5", 3000).disabled(),
                  timer("Timer4", 3000).disabled(),
                  timer("Timer3", 3000).disabled(),
                  timer("Timer2", 3000).disabled(),
                  // The answers to "Opravdu chceš opičku zastřelit ?", filled at load.
                  listBox("List1").at(7560, 6480, 1935, 615).hidden().back(kGreen).sansBold().cursor(11),
                  story::inventoryFrame(240, 7440, 8415, 975).hidden(),
                  story::closeLabel("Label5", 8415),
                  story::item("Image4", story::Item::Mamon),
                  story::item("Image5", story::Item::Gun),
                  story::item("Image6", story::Item::Keys),
                  story::item("Image9", story::Item::Cohiba).hidden(),
                  timer("Timer1", 3000).disabled(),
                  // The man's answer, up between the agent and the man.
                  speech("Label10", 3600, 2400, 2295, 1095,
                       "Jen bandu nějakej metaláků, něco tu kupovali a pak šli směrem do města!"),
                  // The agent's lines, to his right.
                  speech("Label9", 2520, 3600, 2175, 615, "Neviděl jsi tady v poslední době něco podezřelího?!"),
                  speech("Label8", 2520, 3600, 1455, 255, "Vo co ti de ?!").fore(kRed),
                  speech("Label7", 2520, 3600, 2055, 615, "Tak co teď ??"),
                  speech("Label6", 2520, 3600, 2055, 615, "A hellmese krabička kvalitních Havana !"),
                  // The counter with the shot monkey beside it.
                  image("Image10").at(6840, 3840, 2940, 2175).hidden().pic(35).cursor(14),
                  // The monkey alive behind its counter; it only takes drops.
                  image("Image7").at(6840, 3600, 1635, 2175).pic(36).cursor(15),
                  // The question over the list.
                  speech("Label4", 7560, 6000, 1935, 495, "Opravdu chceš opičku zastřelit ?"),
                  // The agent aiming to the right.
                  image("Image8").at(720, 2640, 2925, 3855).hidden().pic(37).stretched(),
                  // Hot spots over the man in green and over the red car.
                  image("Image3").at(5400, 1800, 1455, 3495).disabled().cursor(11),
                  image("Image2").at(360, 2280, 3135, 1095).cursor(11),
                  // The agent standing, hands behind his back.
                  image("Image1").at(840, 2640, 1845, 3945).pic(24).stretched(),
                  label("Label3")
                      .at(2520, 3600, 2295, 615)
                      .text("Tak tolik konopnejch produktů sem nikde jinde neviděl !")
                      .sansBold()
                      .transparent(),
                  story::cornerLabel("Label2", "Inventář").at(8880, 8040, 855, 255),
                  story::cornerLabel("Label1", "Menu").at(8880, 7680, 615, 255),
              }};

    s.onLoad([](Runtime& rt, const Event&) {
        rt.scene("Form8").control("Timer1").setEnabled(true);
        rt.scene("Form8").control("List1").addItem("Ano");
        rt.scene("Form8").control("List1").addItem("Ne");
        rt.scene("Form8").control("List1").addItem("Pokecat");
        rt.scene("Form8").control("Image2").setEnabled(false);
    });

    // Only the pistol makes the agent aim; any other item leaves the monkey be.
    s.on("Image7", EventKind::DragDrop, [](Runtime& rt, const Event& e) {
        if (e.source->tag() != "Gun") return;
        rt.scene("Form8").control("Image1").setVisible(false);
        rt.scene("Form8").control("Image8").setVisible(true);
        rt.scene("Form8").control("List1").setVisible(true);
        rt.scene("Form8").control("Label4").setVisible(true);
    });

    s.on("List1", EventKind::Click, [](Runtime& rt, const Event&) {
        switch (rt.scene("Form8").control("List1").listIndex()) {
        case 0:  // "Ano": the shot; the man may be asked now, and the map changes
            rt.scene("Form8").control("Image7").setVisible(false);
            rt.scene("Form8").control("Image10").setVisible(true);
            rt.scene("Form8").control("List1").setVisible(false);
            rt.scene("Form8").control("Label4").setVisible(false);
            rt.scene("Form8").control("Image8").setVisible(false);
            rt.scene("Form8").control("Image1").setVisible(true);
            rt.scene("Form8").control("Image3").setEnabled(true);
            rt.scene("Form7").control("Label8").setVisible(true);
            rt.scene("Form7").control("Label7").setVisible(false);
            break;
        case 1:  // "Ne": the pistol goes down, the question stays
            rt.scene("Form8").control("Image8").setVisible(false);
            rt.scene("Form8").control("Label7").setVisible(true);
            rt.scene("Form8").control("Timer5").setEnabled(true);
            rt.scene("Form8").control("Image1").setVisible(true);
            break;
        case 2:  // "Pokecat": the monkey chatters back
            rt.scene("Form8").control("Label4").setCaption("Uuaauaauaa !?");
            rt.scene("Form8").control("Image7").setVisible(true);
            rt.scene("Form8").control("List1").setVisible(false);
            rt.scene("Form8").control("Label4").setVisible(true);
            rt.scene("Form8").control("Image8").setVisible(false);
            rt.scene("Form8").control("Image1").setVisible(true);
            break;
        default: break;
        }
    });

    // The shot monkey's counter: the cigars.
    s.on("Image10", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form8").control("Image9").setVisible(true);
        rt.scene("Form8").control("Label6").setVisible(true);
        rt.scene("Form8").control("Timer2").setEnabled(true);
    });

    // The man in green.
    s.on("Image3", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form8").control("Label9").setVisible(true);
        rt.scene("Form8").control("Timer4").setEnabled(true);
    });

    // The car: back to the map, where only the town centre is open now.
    s.on("Image2", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form7").show();
        rt.scene("Form7").control("Label9").setVisible(false);
        rt.scene("Form7").control("Label7").setVisible(true);
        rt.scene("Form8").unload();
    });

    s.on("Label2", EventKind::Click, [](Runtime& rt, const Event&) { story::openPanel(rt, "Form8"); });
    s.on("Label5", EventKind::Click, [](Runtime& rt, const Event&) { story::closePanel(rt, "Form8"); });
    s.on("Label1", EventKind::Click, [](Runtime& rt, const Event&) { story::showMenuOverStory(rt); });

    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form8").control("Label3").setVisible(false);
    });
    s.on("Timer2", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form8").control("Label6").setVisible(false);
    });
    s.on("Timer3", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form8").control("Label10").setVisible(false);
        rt.scene("Form8").control("Image2").setEnabled(true);
    });
    s.on("Timer4", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form8").control("Label10").setVisible(true);
        rt.scene("Form8").control("Label9").setVisible(false);
        rt.scene("Form8").control("Timer3").setEnabled(true);
    });
    s.on("Timer5", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form8").control("Label7").setVisible(false);
    });
    return s;
}

}  // namespace az
