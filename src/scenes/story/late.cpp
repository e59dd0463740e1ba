// late: "O NĚKOLIK MINUT POZDĚJI ..." on dark navy, then back to the office.
#include "assets/ids.h"
#include "scenes/scenes.h"

namespace az {

SceneDef late() {
    SceneDef s;
    s.desc = {windowOf("late"),
              {
                  timer("Timer1", 2500),
                  image("Image1").at(720, 2880, 8085, 1140).pic(asset::MinutesLater),
              }};

    s.onTimer("Timer1", {showScene("kancl2"), unloadScene()});
    return s;
}

}  // namespace az
