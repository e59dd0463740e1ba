// Form11, the town centre: three street musicians. The cowboy has seen green
// men behind the factory, which opens the power plant on the map; only then
// does the left-hand edge lead back to the map.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"
#include "scenes/story/speech.h"
#include "scenes/story/map.h"

namespace az {

SceneDef form11() {
    using namespace story;
    using namespace asset;
    using namespace palette;
    SceneDef s;
    s.desc = {windowOf("Form11"),
              {
                  // The panel is open from the start. Money and pistol share
                  // their arrays with the hot spots over two musicians.
                  inventoryFrame(720, 7320, 7455, 975),
                  item("Image9", Item::Cohiba).hidden(),
                  item("Image6", Item::Keys),
                  item("Image5", Item::Gun).element(1),
                  item("Image4", Item::Mamon).element(1),
                  closeLabel("Label5", 7455),
                  chainTimer("Timer3"),
                  chainTimer("Timer2"),
                  chainTimer("Timer1"),
                  // The cowboy's answer, above his head.
                  label("Label7").at(1680, 3240, 2175, 975).hidden().sansBold().align(align::left).transparent()
                      .text("Tady né šéfe, ale u nás ve čtvrti za továrnou ráno postávala nějaká banda "
                            "zelenejch chlápků!"),
                  // The agent's question.
                  label("Label6").at(6480, 3240, 1695, 615).hidden().sansBold().align(align::left).transparent()
                      .text("Neviděl jsi tady ve městě něco podezřelého?!"),
                  cornerLabel("Label4", "Inventář").at(8640, 7920, 855, 255),
                  cornerLabel("Label3", "Menu").element(0).at(8640, 7440, 855, 255),
                  label("Label2").at(6600, 3240, 1335, 255).hidden().text("Marná snaha!").sansBold().fore(red)
                      .align(align::left).transparent(),
                  // Hot spots over the cowboy, the long-haired man and the blond rocker.
                  image("Image5").element(0).at(480, 3360, 2175, 3495).cursor(PinchSideCursor),
                  image("Image4").element(0).at(2640, 3360, 2415, 3375).cursor(PinchSideCursor),
                  image("Image1").at(5160, 3600, 2175, 3135).cursor(PinchSideCursor),
                  // The way back to the map, along the left-hand edge.
                  image("Image3").at(0, 0, 375, 8535).disabled().cursor(ArrowCursor),
                  image("Image2").at(7680, 3000, 1980, 3720).pic(AgentTalking).stretched(),
                  // The sign on the blue building, in the plain font.
                  label("Label1").at(6960, 1440, 495, 255).text("Policie").opaque().back(darkBlue).fore(yellow),
              }};

    // The blond rocker and the long-haired man have nothing to say.
    s.onClick("Image1", {show("Label2"), start("Timer1")});
    s.onClick("Image4", {show("Label2"), start("Timer1")});

    // The cowboy is asked.
    s.onClick("Image5", {show("Label6"), start("Timer2")});

    // Back to the map; home is out of the way now.
    s.onClick("Image3", {lock(Place::Home), unloadScene(), showScene("Form7")});

    s.onClick("Label3", menuOverStory());
    s.onClick("Label4", openPanel());

    // "Marná snaha!" goes at the next tick; the timer keeps running.
    s.onTimer("Timer1", {hide("Label2")});

    // The question gives way to the answer.
    s.onTimer("Timer2", {hide("Label6"), show("Label7"), start("Timer3")});

    // The answer is over: the power plant is open on the map, and so is the way out.
    s.onTimer("Timer3", {hide("Label7"), disable("Label7"), unlock(Place::PowerPlant), stop("Timer3"), stop("Timer2"),
                         enable("Image3")});
    return s;
}

}  // namespace az
