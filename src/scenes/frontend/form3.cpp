// Form3, the quit dialog: "Ano" ends the game, "Neé" brings the menu back.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"

namespace az {

SceneDef form3() {
    using namespace palette;
    SceneDef s;
    s.desc = {windowOf("Form3"),
              {
                  // A frame around the contents; clicks pass through it.
                  shapeCtl("Shape1").at(120, 120, 3495, 1575).figure(4).border(amber, 2),
                  label("Label3").at(2400, 1080, 495, 255).text("Neé").fore(sysColor(14)).transparent().verdana()
                      .cursor(asset::HandCursor),
                  label("Label2").at(960, 1080, 375, 255).text("Ano").fore(white).transparent().verdana()
                      .cursor(asset::HandCursor),
                  label("Label1").at(600, 480, 2535, 255).text("Chcete opustit hru ?").fore(white).transparent()
                      .verdana(true).align(align::centre),
              }};

    s.onClick("Label2", {endProgram()});

    s.onClick("Label3", {showScene("Form2"), hideScene()});
    return s;
}

}  // namespace az
