// Form9, the merchant: the vendor by his stall sells the branded cap for the
// banknotes. The cap goes into this panel and into the house's panel, and the
// car leads back to the map, where "Domov" is then open.
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"
#include "scenes/story/speech.h"

namespace az {

using story::speech;

namespace {
constexpr VbColor kRed = 0x000000FF;

// This scene's items keep the system arrow; only the money has a tag.
ControlDesc plainItem(std::string name, int left, int top, int width, int height, int asset) {
    return image(std::move(name)).in("Frame1").at(left, top, width, height).pic(asset).draggable();
}
}  // namespace

SceneDef form9() {
    SceneDef s;
    s.desc = {windowOf("Form9"),
              {
                  timer("Timer5", 3000).disabled(),
                  story::inventoryFrame(120, 7440, 8415, 975),
                  story::closeLabel("Label7", 8415),
                  plainItem("Image4", 120, 120, 900, 780, 31).withTag("Mamon"),
                  plainItem("Image5", 1200, 240, 885, 645, 30),
                  plainItem("Image6", 2400, 240, 900, 690, 29),
                  plainItem("Image7", 3480, 240, 1065, 720, 28).hidden(),
                  timer("Timer4", 3000).disabled(),
                  timer("Timer3", 3000).disabled(),
                  timer("Timer2", 3000).disabled(),
                  timer("Timer1", 3000).disabled(),
                  speech("Fuck", 2760, 3600, 1935, 255, "Vo co ti de ?").fore(kRed),
                  speech("Label6", 3600, 2640, 1935, 255, "Čau drsnej chlapíku !"),
                  speech("Label5", 2760, 3480, 1815, 255, "Čau rákosáku"),
                  speech("Label4", 3840, 2640, 1575, 255, "Jo ža dešet babek"),
                  speech("Label3", 2760, 3480, 1815, 375, "Potřeboval bych Nikovku !"),
                  story::cornerLabel("Label2", "Menu").at(8880, 7560, 615, 255),
                  story::cornerLabel("Label1", "Inventář").at(8880, 8040, 735, 255),
                  image("Image3").at(5520, 2640, 1215, 2655).cursor(13),
                  image("Image2").at(360, 2400, 3135, 975).disabled().cursor(11),
                  image("Image1").at(1320, 3480, 1725, 3585).pic(24).stretched(),
              }};

    // Looking whether the hippie wears the cap brings the house up behind us.
    s.onLoad([](Runtime& rt, const Event&) {
        if (rt.scene("Form6").control("Image8").visible()) rt.scene("Form9").control("Image7").setVisible(false);
    });

    // The vendor: the conversation starts.
    s.on("Image3", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form9").control("Label5").setVisible(true);
        rt.scene("Form9").control("Timer1").setEnabled(true);
    });

    // Ten bucks for the cap; anything else he does not want.
    s.on("Image3", EventKind::DragDrop, [](Runtime& rt, const Event& e) {
        const bool hippieHasCap = rt.scene("Form6").control("Image8").visible();
        if (!hippieHasCap && e.source->tag() == "Mamon") {
            rt.scene("Form9").control("Image7").setVisible(true);
            rt.scene("Form6").control("Image7").setVisible(true);
            rt.scene("Form9").control("Image2").setEnabled(true);
            rt.scene("Form7").control("Label8").setVisible(false);
        } else {
            rt.scene("Form9").control("Fuck").setVisible(true);
            rt.scene("Form9").control("Timer5").setEnabled(true);
        }
    });

    // The car, once the cap is bought: back to the map, home is open.
    s.on("Image2", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form7").show();
        rt.scene("Form7").control("Label8").setVisible(false);
        rt.scene("Form9").unload();
    });

    // "Menu": the house behind us goes off screen too.
    s.on("Label2", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form6").setVisible(false);
        story::showMenuOverStory(rt);
    });

    // "Inventář" and "Zavřít" work as on the other scenes.
    s.on("Label1", EventKind::Click, [](Runtime& rt, const Event&) { story::openPanel(rt, "Form9"); });
    s.on("Label7", EventKind::Click, [](Runtime& rt, const Event&) { story::closePanel(rt, "Form9"); });

    // The conversation, a line every 3000 ms. The price and its end stop
    // the first step's timer, not their own: from then on the price flashes
    // up at every tick and is hidden again a moment later.
    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form9").control("Label5").setVisible(false);
        rt.scene("Form9").control("Label6").setVisible(true);
        rt.scene("Form9").control("Timer2").setEnabled(true);
        rt.scene("Form9").control("Timer1").setEnabled(false);
    });
    s.on("Timer2", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form9").control("Label6").setVisible(false);
        rt.scene("Form9").control("Label3").setVisible(true);
        rt.scene("Form9").control("Timer3").setEnabled(true);
        rt.scene("Form9").control("Timer2").setEnabled(false);
    });
    s.on("Timer3", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form9").control("Label3").setVisible(false);
        rt.scene("Form9").control("Label4").setVisible(true);
        rt.scene("Form9").control("Timer4").setEnabled(true);
        rt.scene("Form9").control("Timer1").setEnabled(false);
    });
    s.on("Timer4", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form9").control("Label4").setVisible(false);
        rt.scene("Form9").control("Timer1").setEnabled(false);
    });

    // The refusal: hidden at every tick from the first refusal on.
    s.on("Timer5", EventKind::Timer,
         [](Runtime& rt, const Event&) { rt.scene("Form9").control("Fuck").setVisible(false); });
    return s;
}

}  // namespace az
