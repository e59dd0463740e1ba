// late: "O NĚKOLIK MINUT POZDĚJI ..." on dark navy, then back to the office.
#include "scenes/scenes.h"

namespace az {

SceneDef late() {
    SceneDef s;
    s.desc = {windowOf("late"),
              {
                  timer("Timer1", 2500),
                  image("Image1").at(720, 2880, 8085, 1140).pic(39),
              }};

    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("kancl2").show();
        rt.scene("late").unload();
    });
    return s;
}

}  // namespace az
