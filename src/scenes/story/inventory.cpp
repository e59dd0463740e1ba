#include "scenes/story/inventory.h"

#include "assets/ids.h"
#include "scenes/palette.h"

namespace az::story {

using namespace palette;

ControlDesc inventoryFrame(int left, int top, int width, int height) {
    return frame("Frame1").at(left, top, width, height).text("Inventář").back(lightGrey).fore(black).sansBold()
        .iconOnly(asset::PinchUprightCursor);
}

ControlDesc closeLabel(std::string name, int frameWidth) {
    return label(std::move(name)).in("Frame1").at(frameWidth - 855, 0, 615, 255).text("Zavřít").opaque()
        .back(lightGrey).fore(black).sansBold().cursor(asset::HandCursor);
}

ControlDesc cornerLabel(std::string name, std::string caption) {
    return label(std::move(name)).text(std::move(caption)).transparent().sansBold().cursor(asset::HandCursor);
}

ControlDesc item(std::string name, Item which) {
    using namespace asset;
    ControlDesc d = image(std::move(name)).in("Frame1").draggable();
    switch (which) {
    case Item::Mamon: return d.at(120, 120, 900, 780).pic(Banknotes).withTag("Mamon").cursor(Smiley).tip("Chechtáky");
    case Item::Gun: return d.at(1200, 240, 885, 645).pic(Pistol).withTag("Gun").cursor(HandCursor);
    case Item::Keys: return d.at(2400, 240, 900, 690).pic(Keys).withTag("Keys").cursor(HandCursor);
    case Item::Nike: return d.at(3480, 240, 1065, 720).pic(CapPeakRight).withTag("Nike").cursor(HandCursor);
    case Item::Cohiba: return d.at(3360, 120, 885, 840).pic(Cigars).stretched().withTag("Cohiba").cursor(HandCursor);
    case Item::Doc: return d.at(3480, 120, 870, 780).pic(Permit).stretched().withTag("Doc");
    }
    return d;
}

Steps openPanel() { return {show("Frame1")}; }

Steps closePanel() { return {hide("Frame1")}; }

Steps menuOverStory() { return {showScene("Form2"), say(onScene("Form2", "Label1"), "0")}; }

}  // namespace az::story
