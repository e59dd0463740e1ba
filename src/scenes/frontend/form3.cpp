// Form3, the quit dialog: "Ano" ends the game, "Neé" brings the menu back.
#include "scenes/scenes.h"

namespace az {

SceneDef form3() {
    const VbColor white = 0x00FFFFFF, amber = 0x0000CCFF;
    SceneDef s;
    s.desc = {windowOf("Form3"),
              {
                  // A frame around the contents; clicks pass through it.
                  shapeCtl("Shape1").at(120, 120, 3495, 1575).figure(4).border(amber, 2),
                  label("Label3").at(2400, 1080, 495, 255).text("Neé").fore(sysColor(14)).transparent().verdana().cursor(11),
                  label("Label2").at(960, 1080, 375, 255).text("Ano").fore(white).transparent().verdana().cursor(11),
                  label("Label1").at(600, 480, 2535, 255).text("Chcete opustit hru ?").fore(white).transparent()
                      .verdana(true).align(2),
              }};

    s.on("Label2", EventKind::Click, [](Runtime& rt, const Event&) { rt.end(); });

    s.on("Label3", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form2").setVisible(true);
        rt.scene("Form3").setVisible(false);
    });
    return s;
}

}  // namespace az
