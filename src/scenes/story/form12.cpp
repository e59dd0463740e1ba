// Form12, the green men: the agent finds them beside their saucer, their
// lines vanish after 2500 ms and 2000 ms later the story moves on.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"

namespace az {

SceneDef form12() {
    using namespace palette;
    SceneDef s;
    s.desc = {windowOf("Form12"),
              {
                  timer("Timer2", 2000).disabled(),
                  timer("Timer1", 2500),
                  // The agent, beside himself.
                  label("Label3").at(4440, 4200, 1575, 975).text("Tak tady jsou! Hned uvědomím poručíka!")
                      .fore(black).align(align::left).transparent().sansBold(),
                  // The green man on the walking machine.
                  label("Label2").at(6240, 3240, 1215, 615).text("Hgrgr, r@*#~í!").fore(red).transparent().sansBold(),
                  // The green man in the helmet.
                  label("Label1").at(120, 3360, 855, 375).text("Hardrr, @##*~!").fore(red).transparent().sansBold(),
                  image("Image3").at(2640, 2760, 2085, 4665).pic(asset::Agent).stretched(),
              }};

    // Timer1 keeps running, but Timer2 unloads the scene before its second tick.
    s.onTimer("Timer1", {hide("Label1"), hide("Label2"), hide("Label3"), start("Timer2")});

    s.onTimer("Timer2", {showScene("late"), unloadScene()});
    return s;
}

}  // namespace az
