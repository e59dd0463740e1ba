// Form11, the town centre: three street musicians. The cowboy has seen green
// men behind the factory, which opens the power plant on the map; only then
// does the left-hand edge lead back to the map.
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"

namespace az {

namespace {
constexpr VbColor kRed = 0x000000FF, kDarkBlue = 0x00C00000, kYellow = 0x0000FFFF;
}

SceneDef form11() {
    using namespace story;
    SceneDef s;
    s.desc = {windowOf("Form11"),
              {
                  // The panel is open from the start. Money and pistol share
                  // their arrays with the hot spots over two musicians.
                  inventoryFrame(720, 7320, 7455, 975),
                  item("Image9", Item::Cohiba).hidden(),
                  item("Image6", Item::Keys),
                  item("Image5", Item::Gun).element(1),
                  item("Image4", Item::Mamon).element(1),
                  closeLabel("Label5", 7455),
                  timer("Timer3", 3000).disabled(),
                  timer("Timer2", 3000).disabled(),
                  timer("Timer1", 3000).disabled(),
                  // The cowboy's answer, above his head.
                  label("Label7").at(1680, 3240, 2175, 975).hidden().sansBold().align(0).transparent()
                      .text("Tady né šéfe, ale u nás ve čtvrti za továrnou ráno postávala nějaká banda "
                            "zelenejch chlápků!"),
                  // The agent's question.
                  label("Label6").at(6480, 3240, 1695, 615).hidden().sansBold().align(0).transparent()
                      .text("Neviděl jsi tady ve městě něco podezřelého?!"),
                  cornerLabel("Label4", "Inventář").at(8640, 7920, 855, 255),
                  cornerLabel("Label3", "Menu").element(0).at(8640, 7440, 855, 255),
                  label("Label2").at(6600, 3240, 1335, 255).hidden().text("Marná snaha!").sansBold().fore(kRed)
                      .align(0).transparent(),
                  // Hot spots over the cowboy, the long-haired man and the blond rocker.
                  image("Image5").element(0).at(480, 3360, 2175, 3495).cursor(10),
                  image("Image4").element(0).at(2640, 3360, 2415, 3375).cursor(10),
                  image("Image1").at(5160, 3600, 2175, 3135).cursor(10),
                  // The way back to the map, along the left-hand edge.
                  image("Image3").at(0, 0, 375, 8535).disabled().cursor(9),
                  image("Image2").at(7680, 3000, 1980, 3720).pic(17).stretched(),
                  // The sign on the blue building, in the plain font.
                  label("Label1").at(6960, 1440, 495, 255).text("Policie").opaque().back(kDarkBlue).fore(kYellow),
              }};

    // The blond rocker and the long-haired man have nothing to say.
    s.on("Image1", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form11").control("Label2").setVisible(true);
        rt.scene("Form11").control("Timer1").setEnabled(true);
    });
    s.on("Image4", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form11").control("Label2").setVisible(true);
        rt.scene("Form11").control("Timer1").setEnabled(true);
    });

    // The cowboy is asked.
    s.on("Image5", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form11").control("Label6").setVisible(true);
        rt.scene("Form11").control("Timer2").setEnabled(true);
    });

    // Back to the map; home is out of the way now.
    s.on("Image3", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form7").control("Label8").setVisible(true);
        rt.scene("Form11").unload();
        rt.scene("Form7").show();
    });

    s.on("Label3", EventKind::Click, [](Runtime& rt, const Event&) { showMenuOverStory(rt); });
    s.on("Label4", EventKind::Click, [](Runtime& rt, const Event&) { openPanel(rt, "Form11"); });

    // "Marná snaha!" goes at the next tick; the timer keeps running.
    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form11").control("Label2").setVisible(false);
    });

    // The question gives way to the answer.
    s.on("Timer2", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form11").control("Label6").setVisible(false);
        rt.scene("Form11").control("Label7").setVisible(true);
        rt.scene("Form11").control("Timer3").setEnabled(true);
    });

    // The answer is over: the power plant is open on the map, and so is the way out.
    s.on("Timer3", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form11").control("Label7").setVisible(false);
        rt.scene("Form11").control("Label7").setEnabled(false);
        rt.scene("Form7").control("Label10").setVisible(false);
        rt.scene("Form11").control("Timer3").setEnabled(false);
        rt.scene("Form11").control("Timer2").setEnabled(false);
        rt.scene("Form11").control("Image3").setEnabled(true);
    });
    return s;
}

}  // namespace az
