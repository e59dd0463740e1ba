// Form10, in front of the power plant: the guard turns the agent away, the
// woman on her way to work trades a permit for his cigars, and the permit
// shown to the guard opens the way to the green men.
#include "scenes/scenes.h"
#include "scenes/story/inventory.h"

namespace az {

namespace {
constexpr VbColor kRed = 0x000000FF, kBlack = 0x00000000;
}

SceneDef form10() {
    using namespace story;
    SceneDef s;
    s.desc = {windowOf("Form10"),
              {
                  timer("Timer11", 3000).disabled(),
                  timer("Timer10", 3000).disabled(),
                  timer("Timer9", 3000).disabled(),
                  timer("Timer8", 3000).disabled(),
                  timer("Timer7", 3000).disabled(),
                  timer("Timer6", 3000).disabled(),
                  timer("Timer5", 3000).disabled(),
                  timer("Timer4", 3000).disabled(),
                  timer("Timer3", 3000).disabled(),
                  timer("Timer2", 3000).disabled(),
                  timer("Timer1", 3000).disabled(),
                  inventoryFrame(120, 7080, 7935, 975).hidden(),
                  item("Image12", Item::Doc).hidden(),
                  item("Image10", Item::Cohiba),
                  item("Image9", Item::Keys),
                  item("Image8", Item::Gun),
                  item("Image7", Item::Mamon),
                  closeLabel("Label5", 7935),
                  // The guard lets him in.
                  label("Label6").at(6000, 3600, 1575, 255).hidden().text("Dobrá můžete jít!").fore(kRed).align(1)
                      .transparent().sansBold(),
                  // The guard, offered anything but the permit.
                  label("fuck").at(5880, 3720, 1215, 255).hidden().text("Seš blázen!?!").fore(kBlack).align(0)
                      .transparent().sansBold(),
                  // The deal with the woman.
                  label("Label4").at(3480, 3120, 1455, 1215).hidden()
                      .text("Dobrý den, nemáte jen tak náhodou povolení ke vstupu do elektrárny ?").align(1)
                      .transparent().sansBold(),
                  // The talk at the gate.
                  label("Label3").at(6120, 3120, 1335, 975).hidden().text("Pusťte mě dál!").align(0).transparent()
                      .sansBold(),
                  // The agent, between the woman and the barrier.
                  image("Image11").at(4920, 3000, 1485, 3225).pic(24).stretched(),
                  cornerLabel("Label2", "Inventář").at(8400, 7800, 975, 255),
                  cornerLabel("Label1", "Menu").at(8400, 7200, 975, 255),
                  // The way on, along the right-hand edge; open once the guard has seen the permit.
                  image("Image6").at(9480, 0, 495, 8535).disabled().cursor(9),
                  // The woman.
                  image("Image5").at(3720, 2040, 1455, 2415).cursor(11),
                  // The red car.
                  image("Image4").at(120, 3240, 3135, 975).disabled().cursor(11),
                  // STOP on the barrier.
                  image("Image3").at(5880, 4440, 480, 480).pic(40),
                  // The guard.
                  image("Image2").at(6960, 3000, 1455, 3015).cursor(11),
                  // Radiation signs on the plant.
                  image("Image1").element(1).at(1080, 1440, 240, 240).pic(41).stretched(),
                  image("Image1").element(0).at(2160, 1440, 240, 240).pic(41).stretched(),
              }};

    // The guard: the talk at the gate starts.
    s.on("Image2", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label3").setVisible(true);
        rt.scene("Form10").control("Timer1").setEnabled(true);
    });

    // The woman: the deal starts.
    s.on("Image5", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label4").setVisible(true);
        rt.scene("Form10").control("Timer6").setEnabled(true);
    });

    // Something shown to the guard: only the permit will do.
    s.on("Image2", EventKind::DragDrop, [](Runtime& rt, const Event& e) {
        if (e.source->tag() == "Doc") {
            rt.scene("Form10").control("Label6").setVisible(true);
            rt.scene("Form10").control("Image12").setVisible(false);
            rt.scene("Form10").control("Image4").setEnabled(true);
            rt.scene("Form10").control("Image6").setEnabled(true);
            rt.scene("Form10").control("Label4").setVisible(true);
            rt.scene("Form10").control("Timer10").setEnabled(true);
        } else {
            rt.scene("Form10").control("fuck").setVisible(true);
        }
    });

    // Through the gate to the green men.
    s.on("Image6", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form10").unload();
        rt.scene("Form12").show();
    });

    // "Menu"
    s.on("Label1", EventKind::Click, [](Runtime& rt, const Event&) { showMenuOverStory(rt); });

    // "Inventář"
    s.on("Label2", EventKind::Click, [](Runtime& rt, const Event&) { openPanel(rt, "Form10"); });

    // The talk at the gate: the guard in red on the right, the agent in black on the left.
    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label3").setForeColor(kRed);
        rt.scene("Form10").control("Label3").setAlignment(1);
        rt.scene("Form10").control("Label3").setCaption("Kdo si sakra myslíte, že jste!");
        rt.scene("Form10").control("Timer1").setEnabled(false);
        rt.scene("Form10").control("Timer2").setEnabled(true);
    });
    s.on("Timer2", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label3").setForeColor(kBlack);
        rt.scene("Form10").control("Label3").setAlignment(0);
        rt.scene("Form10").control("Label3").setCaption("Jsem tajný agent Roz VuDoruvu!");
        rt.scene("Form10").control("Timer2").setEnabled(false);
        rt.scene("Form10").control("Timer3").setEnabled(true);
    });
    s.on("Timer3", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label3").setForeColor(kRed);
        rt.scene("Form10").control("Label3").setAlignment(1);
        rt.scene("Form10").control("Label3").setCaption("Máte povolení ke vstupu?");
        rt.scene("Form10").control("Timer3").setEnabled(false);
        rt.scene("Form10").control("Timer4").setEnabled(true);
    });
    s.on("Timer4", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label3").setForeColor(kBlack);
        rt.scene("Form10").control("Label3").setAlignment(0);
        rt.scene("Form10").control("Label3").setCaption("No to nemám!");
        rt.scene("Form10").control("Timer4").setEnabled(false);
        rt.scene("Form10").control("Timer5").setEnabled(true);
    });
    s.on("Timer5", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label3").setForeColor(kRed);
        rt.scene("Form10").control("Label3").setAlignment(1);
        rt.scene("Form10").control("Label3").setCaption("Tak se kliďte!");
        rt.scene("Form10").control("Timer5").setEnabled(false);
        rt.scene("Form10").control("Timer11").setEnabled(true);
    });
    s.on("Timer11", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label3").setVisible(false);
        rt.scene("Form10").control("Timer11").setEnabled(false);
    });

    // The deal: the woman on the left, the agent on the right.
    s.on("Timer6", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label4").setAlignment(0);
        rt.scene("Form10").control("Label4").setCaption("Náhodou tam právě jdu, co za to?");
        rt.scene("Form10").control("Timer6").setEnabled(false);
        rt.scene("Form10").control("Timer7").setEnabled(true);
    });
    s.on("Timer7", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label4").setAlignment(1);
        rt.scene("Form10").control("Label4").setCaption("Mám jen tuhle krabičku Havana doutníků.");
        rt.scene("Form10").control("Timer7").setEnabled(false);
        rt.scene("Form10").control("Timer8").setEnabled(true);
    });
    // She takes the cigars and hands over the permit.
    s.on("Timer8", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label4").setAlignment(0);
        rt.scene("Form10").control("Label4").setCaption("Ok ujednáno tady je povolení!");
        rt.scene("Form10").control("Timer8").setEnabled(false);
        rt.scene("Form10").control("Timer9").setEnabled(true);
        rt.scene("Form10").control("Image10").setVisible(false);
        rt.scene("Form10").control("Image12").setVisible(true);
    });
    s.on("Timer9", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label4").setVisible(false);
        rt.scene("Form10").control("Timer9").setEnabled(false);
    });

    // The woman's last line goes a while after the guard has seen the permit.
    s.on("Timer10", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form10").control("Label4").setVisible(false);
        rt.scene("Form10").control("Timer10").setEnabled(false);
    });
    return s;
}

}  // namespace az
