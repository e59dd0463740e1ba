// kancl2, back in the office: the lieutenant congratulates the agent, the
// agent answers 5000 ms later, and 5000 ms after that the end movie comes.
#include "scenes/scenes.h"

namespace az {

SceneDef kancl2() {
    const VbColor white = 0x00FFFFFF;
    SceneDef s;
    s.desc = {windowOf("kancl2"),
              {
                  timer("Timer2", 5000).disabled(),
                  timer("Timer1", 5000),
                  // The agent's reply in his bubble, above both of them.
                  label("Label2").at(2760, 960, 1575, 975).hidden()
                      .text("To snad ani nestojí za řeč poručíku! Díky a zatim nashle!").align(2).transparent().sansBold(),
                  shapeCtl("Shape2").at(2400, 720, 2295, 1335).hidden().figure(2).filled().back(white),
                  // The lieutenant's line in his bubble, behind the two of them.
                  label("Label1").at(3480, 360, 1815, 975)
                      .text("Skvělá práce agente Zaza. Dovolte mi abych vám pogratuloval, máte mé uznání!")
                      .align(2).back(white).transparent().sansBold(),
                  image("Image3").at(4440, 240, 3615, 7440).pic(23).stretched(),
                  image("Image2").at(120, 240, 3165, 6825).pic(24).stretched(),
                  shapeCtl("Shape1").at(3120, 120, 2535, 1455).figure(2).filled().back(white),
                  // The office, a little larger than the window on every side.
                  image("Image1").at(-120, -120, 10410, 8205).pic(44).stretched(),
              }};

    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("kancl2").control("Shape1").setVisible(false);
        rt.scene("kancl2").control("Shape2").setVisible(true);
        rt.scene("kancl2").control("Label1").setVisible(false);
        rt.scene("kancl2").control("Label2").setVisible(true);
        rt.scene("kancl2").control("Timer1").setEnabled(false);
        rt.scene("kancl2").control("Timer2").setEnabled(true);
    });

    s.on("Timer2", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("theend").show();
        rt.scene("kancl2").unload();
    });
    return s;
}

}  // namespace az
