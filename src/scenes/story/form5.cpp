// Form5, the opening briefing: the lieutenant gives the agent his task, and
// 6000 ms later the agent stands in front of his house.
#include "assets/ids.h"
#include "scenes/scenes.h"

namespace az {

SceneDef form5() {
    using namespace asset;
    SceneDef s;
    s.desc = {windowOf("Form5"),
              {
                  timer("Timer1", 6000),
                  image("Image5").at(6000, 960, 4215, 8520).pic(Lieutenant).stretched(),
                  image("Image4").at(240, 840, 3285, 7545).pic(Agent).stretched(),
                  image("Image3").at(2280, 840, 2565, 2025).pic(AgentBubble),
                  image("Image2").at(4920, 240, 3105, 2085).pic(LieutenantBubble),
                  image("Image1").at(0, -360, 10290, 9195).pic(Office).stretched(),
              }};

    s.onTimer("Timer1", {showScene("Form6"), unloadScene()});
    return s;
}

}  // namespace az
