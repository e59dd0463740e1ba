// Form6, in front of the house: the agent, a hippie with his guitar on the
// lawn and the red car. Two talks with the hippie: the first one opens the
// way to the merchant, and once the hippie wears the cap, the second one
// tells of the light over the hemp fields and opens the way to the market.
// The car leaves for the town map once a talk is over.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"
#include "scenes/story/map.h"
#include "scenes/story/speech.h"

namespace az {

SceneDef form6() {
    using namespace story;
    using namespace asset;
    SceneDef s;
    s.desc = {windowOf("Form6"),
              {
                  // The second talk.
                  chainTimer("Timer11"),
                  chainTimer("Timer10"),
                  chainTimer("Timer9"),
                  chainTimer("Timer8"),
                  // Takes the "Fuck Off !" away again.
                  chainTimer("Timer7"),
                  inventoryFrame(120, 7320, 8415, 975).hidden(),
                  item("Image9", Item::Cohiba).at(3480, 120, 885, 840).hidden(),
                  // The cap: the merchant puts it here when the agent buys it.
                  item("Image7", Item::Nike).hidden(),
                  item("Image6", Item::Keys),
                  item("Image5", Item::Gun),
                  item("Image4", Item::Mamon),
                  closeLabel("Label5", 8415),
                  // The first talk.
                  chainTimer("Timer6"),
                  chainTimer("Timer5"),
                  chainTimer("Timer4"),
                  chainTimer("Timer3"),
                  chainTimer("Timer2"),
                  chainTimer("Timer1"),
                  speech("Label13", 6120, 3240, 2655, 495, "Většinu času tráví na svý tržnici !"),
                  speech("Label12", 3720, 3360, 1575, 255, "Kde ho najdu !?"),
                  speech("Label11", 6000, 3120, 3015, 855,
                       "No dobře šéfe , tuhle jsem večer zahlíd nějaký divný světlo v konopnejch polích . "
                       "Víc by vám mohl říct majitel !"),
                  speech("Label10", 3720, 3360, 2535, 375, "Tak mluv chlapče, jinak tě budu muset trochu podusit !!"),
                  speech("Fuck", 3720, 3360, 975, 255, "Fuck Off !").fore(palette::red),
                  // The cap on the hippie's head.
                  image("Image8").at(7920, 3600, 1065, 720).pic(CapPeakLeft).hidden(),
                  speech("Label9", 6360, 3360, 2415, 255, "Chci Naikovku vod čongů !"),
                  speech("Label8", 3720, 3360, 1815, 255, "Dobře ! Co chceš ?!"),
                  speech("Label7", 6360, 3360, 2535, 255, "Hele víš co ? Něco za něco !"),
                  speech("Label6", 3720, 3360, 2775, 255, "Potřeboval bych pár informací !"),
                  cornerLabel("Label4", "Menu").at(9000, 7560, 495, 255),
                  cornerLabel("Label3", "Inventář").at(9000, 7920, 735, 255),
                  speech("Label2", 6360, 3360, 1215, 255, "Zdar prďolo !"),
                  speech("Label1", 3840, 3360, 1575, 255, "Nazdar hypízáku !"),
                  // Invisible hot spots over the car and the hippie.
                  image("Image3").at(480, 3360, 2295, 1095).cursor(PinchCursor).disabled(),
                  image("Image2").at(7320, 3600, 2175, 3375).cursor(PinchCursor),
                  // The agent.
                  image("Image1").at(2160, 3000, 1845, 4065).pic(Agent).stretched(),
              }};

    // The house comes on screen whoever loads it; the car waits for a talk.
    s.onLoad({showScene(), disable("Image3")});

    // The hippie: without the cap he only trades, with it he talks.
    s.onClick("Image2", {when(isVisible("Image8"),
                              {show("Label10"), start("Timer8")},
                              {show("Label1"), show(nameOf(Place::Merchant)), unlock(Place::Merchant),
                               start("Timer1")})});

    // Only the cap will do; anything else gets him swearing.
    s.onDrop("Image2", {when(tagIs("Nike"), {show("Image8"), hideSource()}, {show("Fuck"), start("Timer7")})});

    // The car: off to the map, and there is nothing more to do at home.
    s.onClick("Image3", {showScene("Form7"), lock(Place::Home), unloadScene()});

    s.onClick("Label3", openPanel());
    s.onClick("Label5", closePanel());
    s.onClick("Label4", menuOverStory());

    // The first talk, a line every three seconds.
    s.onTimer("Timer1", {show("Label2"), hide("Label1"), stop("Timer1"), start("Timer2")});
    s.onTimer("Timer2", {hide("Label2"), show("Label6"), stop("Timer2"), start("Timer3")});
    s.onTimer("Timer3", {hide("Label6"), show("Label7"), stop("Timer3"), start("Timer4")});
    s.onTimer("Timer4", {hide("Label7"), show("Label8"), stop("Timer4"), start("Timer5")});
    s.onTimer("Timer5", {hide("Label8"), show("Label9"), stop("Timer5"), start("Timer6")});
    // The end of the first talk. It keeps ticking while the house is loaded.
    s.onTimer("Timer6", {hide("Label9"), enable("Image3")});

    // Ticks on after the first refusal.
    s.onTimer("Timer7", {hide("Fuck")});

    // The second talk.
    s.onTimer("Timer8", {hide("Label10"), show("Label11"), start("Timer9"), stop("Timer8")});
    s.onTimer("Timer9", {hide("Label11"), show("Label12"), start("Timer10"), stop("Timer9")});
    s.onTimer("Timer10", {hide("Label12"), show("Label13"), start("Timer11"), stop("Timer10")});
    // The clue is out: the market is open on the map, home is not.
    s.onTimer("Timer11",
              {hide("Label13"), stop("Timer11"), unlock(Place::Market), lock(Place::Home), enable("Image3")});
    return s;
}

}  // namespace az
