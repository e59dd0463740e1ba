// Form5, the opening briefing: the lieutenant gives the agent his task, and
// 6000 ms later the agent stands in front of his house.
#include "scenes/scenes.h"

namespace az {

SceneDef form5() {
    SceneDef s;
    s.desc = {windowOf("Form5"),
              {
                  timer("Timer1", 6000),
                  image("Image5").at(6000, 960, 4215, 8520).pic(23).stretched(),
                  image("Image4").at(240, 840, 3285, 7545).pic(24).stretched(),
                  image("Image3").at(2280, 840, 2565, 2025).pic(25),
                  image("Image2").at(4920, 240, 3105, 2085).pic(26),
                  image("Image1").at(0, -360, 10290, 9195).pic(44).stretched(),
              }};

    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form6").show();
        rt.scene("Form5").unload();
    });
    return s;
}

}  // namespace az
