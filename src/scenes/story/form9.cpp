// Form9, the merchant: the vendor by his stall sells the branded cap for the
// banknotes. The cap goes into this panel and into the house's panel, and the
// car leads back to the map, where "Domov" is then open.
#include "assets/ids.h"
#include "scenes/palette.h"
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"
#include "scenes/story/map.h"
#include "scenes/story/speech.h"

namespace az {

namespace {

// This scene's items keep the system arrow; only the money has a tag.
ControlDesc plainItem(std::string name, int left, int top, int width, int height, int asset) {
    return image(std::move(name)).in("Frame1").at(left, top, width, height).pic(asset).draggable();
}
}  // namespace

SceneDef form9() {
    using namespace story;
    using namespace asset;
    SceneDef s;
    s.desc = {windowOf("Form9"),
              {
                  chainTimer("Timer5"),
                  inventoryFrame(120, 7440, 8415, 975),
                  closeLabel("Label7", 8415),
                  plainItem("Image4", 120, 120, 900, 780, asset::Banknotes).withTag("Mamon"),
                  plainItem("Image5", 1200, 240, 885, 645, asset::Pistol),
                  plainItem("Image6", 2400, 240, 900, 690, asset::Keys),
                  plainItem("Image7", 3480, 240, 1065, 720, asset::CapPeakRight).hidden(),
                  chainTimer("Timer4"),
                  chainTimer("Timer3"),
                  chainTimer("Timer2"),
                  chainTimer("Timer1"),
                  speech("Fuck", 2760, 3600, 1935, 255, "Vo co ti de ?").fore(palette::red),
                  speech("Label6", 3600, 2640, 1935, 255, "Čau drsnej chlapíku !"),
                  speech("Label5", 2760, 3480, 1815, 255, "Čau rákosáku"),
                  speech("Label4", 3840, 2640, 1575, 255, "Jo ža dešet babek"),
                  speech("Label3", 2760, 3480, 1815, 375, "Potřeboval bych Nikovku !"),
                  cornerLabel("Label2", "Menu").at(8880, 7560, 615, 255),
                  cornerLabel("Label1", "Inventář").at(8880, 8040, 735, 255),
                  image("Image3").at(5520, 2640, 1215, 2655).cursor(PinchCursor),
                  image("Image2").at(360, 2400, 3135, 975).disabled().cursor(HandCursor),
                  image("Image1").at(1320, 3480, 1725, 3585).pic(Agent).stretched(),
              }};

    // Looking whether the hippie wears the cap brings the house up behind us.
    const Target hippiesCap = onScene("Form6", "Image8");
    s.onLoad({when(isVisible(hippiesCap), {hide("Image7")})});

    // The vendor: the conversation starts.
    s.onClick("Image3", {show("Label5"), start("Timer1")});

    // Ten bucks for the cap, while the hippie has none; anything else he does not want.
    const Steps refuse = {show("Fuck"), start("Timer5")};
    const Steps sell = {show("Image7"), show(onScene("Form6", "Image7")), enable("Image2"), unlock(Place::Home)};
    s.onDrop("Image3", {when(isVisible(hippiesCap), refuse, {when(tagIs("Mamon"), sell, refuse)})});

    // The car, once the cap is bought: back to the map, home is open.
    s.onClick("Image2", {showScene("Form7"), unlock(Place::Home), unloadScene()});

    // "Menu": the house behind us goes off screen too.
    s.onClick("Label2", Steps{hideScene("Form6")} + menuOverStory());

    // "Inventář" and "Zavřít" work as on the other scenes.
    s.onClick("Label1", openPanel());
    s.onClick("Label7", closePanel());

    // The conversation, a line every 3000 ms. The price and its end stop
    // the first step's timer, not their own: from then on the price flashes
    // up at every tick and is hidden again a moment later.
    s.onTimer("Timer1", {hide("Label5"), show("Label6"), start("Timer2"), stop("Timer1")});
    s.onTimer("Timer2", {hide("Label6"), show("Label3"), start("Timer3"), stop("Timer2")});
    s.onTimer("Timer3", {hide("Label3"), show("Label4"), start("Timer4"), stop("Timer1")});
    s.onTimer("Timer4", {hide("Label4"), stop("Timer1")});

    // The refusal: hidden at every tick from the first refusal on.
    s.onTimer("Timer5", {hide("Fuck")});
    return s;
}

}  // namespace az
