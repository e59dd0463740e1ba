// Form8, the hemp market. A grinning monkey guards the stall, and the man in
// green will not talk while it lives: the agent draws his pistol on it (the
// pistol dropped from the panel) and answers "Ano". Then the man gives the
// clue about the metalheads, and the car takes the agent back to the map,
// where only the town centre is open. The shot monkey's counter hides a box
// of Havana cigars.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"
#include "scenes/story/map.h"
#include "scenes/story/speech.h"

namespace az {

SceneDef form8() {
    using namespace story;
    using namespace asset;
    SceneDef s;
    s.desc = {windowOf("Form8"),
              {
                  chainTimer("Timer5"),
                  chainTimer("Timer4"),
                  chainTimer("Timer3"),
                  chainTimer("Timer2"),
                  // The answers to "Opravdu chceš opičku zastřelit ?", filled at load.
                  listBox("List1").at(7560, 6480, 1935, 615).hidden().back(palette::green).sansBold().cursor(HandCursor),
                  inventoryFrame(240, 7440, 8415, 975).hidden(),
                  closeLabel("Label5", 8415),
                  item("Image4", Item::Mamon),
                  item("Image5", Item::Gun),
                  item("Image6", Item::Keys),
                  item("Image9", Item::Cohiba).hidden(),
                  chainTimer("Timer1"),
                  // The man's answer, up between the agent and the man.
                  speech("Label10", 3600, 2400, 2295, 1095,
                       "Jen bandu nějakej metaláků, něco tu kupovali a pak šli směrem do města!"),
                  // The agent's lines, to his right.
                  speech("Label9", 2520, 3600, 2175, 615, "Neviděl jsi tady v poslední době něco podezřelího?!"),
                  speech("Label8", 2520, 3600, 1455, 255, "Vo co ti de ?!").fore(palette::red),
                  speech("Label7", 2520, 3600, 2055, 615, "Tak co teď ??"),
                  speech("Label6", 2520, 3600, 2055, 615, "A hellmese krabička kvalitních Havana !"),
                  // The counter with the shot monkey beside it.
                  image("Image10").at(6840, 3840, 2940, 2175).hidden().pic(MonkeyShot).cursor(NoEntryCursor),
                  // The monkey alive behind its counter; it only takes drops.
                  image("Image7").at(6840, 3600, 1635, 2175).pic(Monkey).cursor(CrossHairCursor),
                  // The question over the list.
                  speech("Label4", 7560, 6000, 1935, 495, "Opravdu chceš opičku zastřelit ?"),
                  // The agent aiming to the right.
                  image("Image8").at(720, 2640, 2925, 3855).hidden().pic(AgentAiming).stretched(),
                  // Hot spots over the man in green and over the red car.
                  image("Image3").at(5400, 1800, 1455, 3495).disabled().cursor(HandCursor),
                  image("Image2").at(360, 2280, 3135, 1095).cursor(HandCursor),
                  // The agent standing, hands behind his back.
                  image("Image1").at(840, 2640, 1845, 3945).pic(Agent).stretched(),
                  label("Label3")
                      .at(2520, 3600, 2295, 615)
                      .text("Tak tolik konopnejch produktů sem nikde jinde neviděl !")
                      .sansBold()
                      .transparent(),
                  cornerLabel("Label2", "Inventář").at(8880, 8040, 855, 255),
                  cornerLabel("Label1", "Menu").at(8880, 7680, 615, 255),
              }};

    s.onLoad({start("Timer1"), addItem("List1", "Ano"), addItem("List1", "Ne"), addItem("List1", "Pokecat"),
              disable("Image2")});

    // Only the pistol makes the agent aim; any other item leaves the monkey be.
    s.onDrop("Image7", {when(tagIs("Gun"), {hide("Image1"), show("Image8"), show("List1"), show("Label4")})});

    s.onClick("List1", {choose("List1", {
        // "Ano": the shot; the man may be asked now, and the map changes
        {hide("Image7"), show("Image10"), hide("List1"), hide("Label4"), hide("Image8"), show("Image1"),
         enable("Image3"), lock(Place::Home), unlock(Place::Market)},
        // "Ne": the pistol goes down, the question stays
        {hide("Image8"), show("Label7"), start("Timer5"), show("Image1")},
        // "Pokecat": the monkey chatters back
        {say("Label4", "Uuaauaauaa !?"), show("Image7"), hide("List1"), show("Label4"), hide("Image8"), show("Image1")},
    })});

    // The shot monkey's counter: the cigars.
    s.onClick("Image10", {show("Image9"), show("Label6"), start("Timer2")});

    // The man in green.
    s.onClick("Image3", {show("Label9"), start("Timer4")});

    // The car: back to the map, where only the town centre is open now.
    s.onClick("Image2", {showScene("Form7"), unlock(Place::Town), lock(Place::Market), unloadScene()});

    s.onClick("Label2", openPanel());
    s.onClick("Label5", closePanel());
    s.onClick("Label1", menuOverStory());

    s.onTimer("Timer1", {hide("Label3")});
    s.onTimer("Timer2", {hide("Label6")});
    s.onTimer("Timer3", {hide("Label10"), enable("Image2")});
    s.onTimer("Timer4", {show("Label10"), hide("Label9"), start("Timer3")});
    s.onTimer("Timer5", {hide("Label7")});
    return s;
}

}  // namespace az
