#include "scenes/story/inventory.h"

namespace az::story {

namespace {
constexpr VbColor kLightGrey = 0x00C0C0C0, kBlack = 0x00000000;
}

ControlDesc inventoryFrame(int left, int top, int width, int height) {
    return frame("Frame1").at(left, top, width, height).text("Inventář").back(kLightGrey).fore(kBlack).sansBold()
        .iconOnly(12);
}

ControlDesc closeLabel(std::string name, int frameWidth) {
    return label(std::move(name)).in("Frame1").at(frameWidth - 855, 0, 615, 255).text("Zavřít").opaque()
        .back(kLightGrey).fore(kBlack).sansBold().cursor(11);
}

ControlDesc cornerLabel(std::string name, std::string caption) {
    return label(std::move(name)).text(std::move(caption)).transparent().sansBold().cursor(11);
}

ControlDesc item(std::string name, Item which) {
    ControlDesc d = image(std::move(name)).in("Frame1").draggable();
    switch (which) {
    case Item::Mamon: return d.at(120, 120, 900, 780).pic(31).withTag("Mamon").cursor(43).tip("Chechtáky");
    case Item::Gun: return d.at(1200, 240, 885, 645).pic(30).withTag("Gun").cursor(11);
    case Item::Keys: return d.at(2400, 240, 900, 690).pic(29).withTag("Keys").cursor(11);
    case Item::Nike: return d.at(3480, 240, 1065, 720).pic(28).withTag("Nike").cursor(11);
    case Item::Cohiba: return d.at(3360, 120, 885, 840).pic(27).stretched().withTag("Cohiba").cursor(11);
    case Item::Doc: return d.at(3480, 120, 870, 780).pic(16).stretched().withTag("Doc");
    }
    return d;
}

void openPanel(Runtime& rt, const std::string& scene) { rt.scene(scene).control("Frame1").setVisible(true); }

void closePanel(Runtime& rt, const std::string& scene) { rt.scene(scene).control("Frame1").setVisible(false); }

void showMenuOverStory(Runtime& rt) {
    rt.scene("Form2").setVisible(true);
    rt.scene("Form2").control("Label1").setCaption("0");
}

}  // namespace az::story
