// kancl2, back in the office: the lieutenant congratulates the agent, the
// agent answers 5000 ms later, and 5000 ms after that the end movie comes.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"

namespace az {

SceneDef kancl2() {
    using namespace asset;
    using palette::white;
    SceneDef s;
    s.desc = {windowOf("kancl2"),
              {
                  timer("Timer2", 5000).disabled(),
                  timer("Timer1", 5000),
                  // The agent's reply in his bubble, above both of them.
                  label("Label2").at(2760, 960, 1575, 975).hidden()
                      .text("To snad ani nestojí za řeč poručíku! Díky a zatim nashle!").align(align::centre).transparent().sansBold(),
                  shapeCtl("Shape2").at(2400, 720, 2295, 1335).hidden().figure(2).filled().back(white),
                  // The lieutenant's line in his bubble, behind the two of them.
                  label("Label1").at(3480, 360, 1815, 975)
                      .text("Skvělá práce agente Zaza. Dovolte mi abych vám pogratuloval, máte mé uznání!")
                      .align(align::centre).back(white).transparent().sansBold(),
                  image("Image3").at(4440, 240, 3615, 7440).pic(Lieutenant).stretched(),
                  image("Image2").at(120, 240, 3165, 6825).pic(Agent).stretched(),
                  shapeCtl("Shape1").at(3120, 120, 2535, 1455).figure(2).filled().back(white),
                  // The office, a little larger than the window on every side.
                  image("Image1").at(-120, -120, 10410, 8205).pic(Office).stretched(),
              }};

    s.onTimer("Timer1", {hide("Shape1"), show("Shape2"), hide("Label1"), show("Label2"), stop("Timer1"), start("Timer2")});

    s.onTimer("Timer2", {showScene("theend"), unloadScene()});
    return s;
}

}  // namespace az
