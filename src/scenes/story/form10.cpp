// Form10, in front of the power plant: the guard turns the agent away, the
// woman on her way to work trades a permit for his cigars, and the permit
// shown to the guard opens the way to the green men.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"
#include "scenes/story/speech.h"

namespace az {

SceneDef form10() {
    using namespace story;
    using namespace asset;
    using namespace palette;
    SceneDef s;
    s.desc = {windowOf("Form10"),
              {
                  chainTimer("Timer11"),
                  chainTimer("Timer10"),
                  chainTimer("Timer9"),
                  chainTimer("Timer8"),
                  chainTimer("Timer7"),
                  chainTimer("Timer6"),
                  chainTimer("Timer5"),
                  chainTimer("Timer4"),
                  chainTimer("Timer3"),
                  chainTimer("Timer2"),
                  chainTimer("Timer1"),
                  inventoryFrame(120, 7080, 7935, 975).hidden(),
                  item("Image12", Item::Doc).hidden(),
                  item("Image10", Item::Cohiba),
                  item("Image9", Item::Keys),
                  item("Image8", Item::Gun),
                  item("Image7", Item::Mamon),
                  closeLabel("Label5", 7935),
                  // The guard lets him in.
                  label("Label6").at(6000, 3600, 1575, 255).hidden().text("Dobrá můžete jít!").fore(red).align(align::right)
                      .transparent().sansBold(),
                  // The guard, offered anything but the permit.
                  label("fuck").at(5880, 3720, 1215, 255).hidden().text("Seš blázen!?!").fore(black).align(align::left)
                      .transparent().sansBold(),
                  // The deal with the woman.
                  label("Label4").at(3480, 3120, 1455, 1215).hidden()
                      .text("Dobrý den, nemáte jen tak náhodou povolení ke vstupu do elektrárny ?").align(align::right)
                      .transparent().sansBold(),
                  // The talk at the gate.
                  label("Label3").at(6120, 3120, 1335, 975).hidden().text("Pusťte mě dál!").align(align::left).transparent()
                      .sansBold(),
                  // The agent, between the woman and the barrier.
                  image("Image11").at(4920, 3000, 1485, 3225).pic(Agent).stretched(),
                  cornerLabel("Label2", "Inventář").at(8400, 7800, 975, 255),
                  cornerLabel("Label1", "Menu").at(8400, 7200, 975, 255),
                  // The way on, along the right-hand edge; open once the guard has seen the permit.
                  image("Image6").at(9480, 0, 495, 8535).disabled().cursor(ArrowCursor),
                  // The woman.
                  image("Image5").at(3720, 2040, 1455, 2415).cursor(HandCursor),
                  // The red car.
                  image("Image4").at(120, 3240, 3135, 975).disabled().cursor(HandCursor),
                  // STOP on the barrier.
                  image("Image3").at(5880, 4440, 480, 480).pic(StopSign),
                  // The guard.
                  image("Image2").at(6960, 3000, 1455, 3015).cursor(HandCursor),
                  // Radiation signs on the plant.
                  image("Image1").element(1).at(1080, 1440, 240, 240).pic(RadiationSign).stretched(),
                  image("Image1").element(0).at(2160, 1440, 240, 240).pic(RadiationSign).stretched(),
              }};

    // The guard: the talk at the gate starts.
    s.onClick("Image2", {show("Label3"), start("Timer1")});

    // The woman: the deal starts.
    s.onClick("Image5", {show("Label4"), start("Timer6")});

    // Something shown to the guard: only the permit will do.
    s.onDrop("Image2", {when(tagIs("Doc"),
                             {show("Label6"), hide("Image12"), enable("Image4"), enable("Image6"), show("Label4"),
                              start("Timer10")},
                             {show("fuck")})});

    // Through the gate to the green men.
    s.onClick("Image6", {unloadScene(), showScene("Form12")});

    s.onClick("Label1", menuOverStory());
    s.onClick("Label2", openPanel());

    // The talk at the gate: the guard in red on the right, the agent in black on the left.
    s.onTimer("Timer1", {say("Label3", red, align::right, "Kdo si sakra myslíte, že jste!"), stop("Timer1"), start("Timer2")});
    s.onTimer("Timer2", {say("Label3", black, align::left, "Jsem tajný agent Roz VuDoruvu!"), stop("Timer2"), start("Timer3")});
    s.onTimer("Timer3", {say("Label3", red, align::right, "Máte povolení ke vstupu?"), stop("Timer3"), start("Timer4")});
    s.onTimer("Timer4", {say("Label3", black, align::left, "No to nemám!"), stop("Timer4"), start("Timer5")});
    s.onTimer("Timer5", {say("Label3", red, align::right, "Tak se kliďte!"), stop("Timer5"), start("Timer11")});
    s.onTimer("Timer11", {hide("Label3"), stop("Timer11")});

    // The deal: the woman on the left, the agent on the right.
    s.onTimer("Timer6", {say("Label4", align::left, "Náhodou tam právě jdu, co za to?"), stop("Timer6"), start("Timer7")});
    s.onTimer("Timer7", {say("Label4", align::right, "Mám jen tuhle krabičku Havana doutníků."), stop("Timer7"),
                         start("Timer8")});
    // She takes the cigars and hands over the permit.
    s.onTimer("Timer8", {say("Label4", align::left, "Ok ujednáno tady je povolení!"), stop("Timer8"), start("Timer9"),
                         hide("Image10"), show("Image12")});
    s.onTimer("Timer9", {hide("Label4"), stop("Timer9")});

    // The woman's last line goes a while after the guard has seen the permit.
    s.onTimer("Timer10", {hide("Label4"), stop("Timer10")});
    return s;
}

}  // namespace az
