// Form12, the green men: the agent finds them beside their saucer, their
// lines vanish after 2500 ms and 2000 ms later the story moves on.
#include "scenes/scenes.h"

namespace az {

SceneDef form12() {
    const VbColor black = 0x00000000, red = 0x000000FF;
    SceneDef s;
    s.desc = {windowOf("Form12"),
              {
                  timer("Timer2", 2000).disabled(),
                  timer("Timer1", 2500),
                  // The agent, beside himself.
                  label("Label3").at(4440, 4200, 1575, 975).text("Tak tady jsou! Hned uvědomím poručíka!")
                      .fore(black).align(0).transparent().sansBold(),
                  // The green man on the walking machine.
                  label("Label2").at(6240, 3240, 1215, 615).text("Hgrgr, r@*#~í!").fore(red).transparent().sansBold(),
                  // The green man in the helmet.
                  label("Label1").at(120, 3360, 855, 375).text("Hardrr, @##*~!").fore(red).transparent().sansBold(),
                  image("Image3").at(2640, 2760, 2085, 4665).pic(24).stretched(),
              }};

    // Timer1 keeps running, but Timer2 unloads the scene before its second tick.
    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form12").control("Label1").setVisible(false);
        rt.scene("Form12").control("Label2").setVisible(false);
        rt.scene("Form12").control("Label3").setVisible(false);
        rt.scene("Form12").control("Timer2").setEnabled(true);
    });

    s.on("Timer2", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("late").show();
        rt.scene("Form12").unload();
    });
    return s;
}

}  // namespace az
