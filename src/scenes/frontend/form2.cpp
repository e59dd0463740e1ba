// Form2, the main menu: the music, the progress flag and the four word pictures.
#include "scenes/scenes.h"

namespace az {

SceneDef form2() {
    SceneDef s;
    s.desc = {windowOf("Form2"),
              {
                  midiControl("MMControl1").at(1200, 5760, 3540, 330),
                  // The flag: "1" at every load, "0" once a story scene called the menu.
                  label("Label1").at(120, 6000, 255, 255).text("1").transparent(),
                  image("Image5").at(1800, 4080, 2175, 360).pic(18).cursor(11),
                  image("Image2").at(1560, 2160, 2490, 405).pic(19).cursor(11),
                  image("Image3").at(1680, 3000, 2355, 495).pic(20).cursor(11),
                  image("Image7").at(4920, 5280, 720, 960).pic(5),
                  image("Image4").at(2400, 4920, 1155, 360).pic(21).cursor(11),
                  image("Image1").at(720, 360, 4215, 1320).pic(22),
              }};

    // The options decide the music; reading them loads the options hidden.
    s.onLoad([](Runtime& rt, const Event&) {
        auto options = rt.scene("Options");
        if (options.control("Check1").value() != 1) return;
        auto mm = rt.scene("Form2").control("MMControl1");
        mm.set("Notify", false);
        mm.set("Wait", true);
        mm.set("Shareable", false);
        mm.set("DeviceType", "Sequencer");
        if (options.control("Option1").value() == -1) mm.set("FileName", rt.programPath("01.mid"));
        if (options.control("Option2").value() == -1) mm.set("FileName", rt.programPath("02.mid"));
        if (options.control("Option3").value() == -1) mm.set("FileName", rt.programPath("03.mid"));
        mm.set("Command", "Open");
        mm.set("Command", "Play");
    });

    s.onUnload([](Runtime& rt, const Event&) { rt.scene("Form2").control("MMControl1").set("Command", "Close"); });

    // "HURÁ DO HRY": a new game with the flag "1", else back to the story.
    s.on("Image2", EventKind::Click, [](Runtime& rt, const Event&) {
        if (rt.scene("Form2").control("Label1").caption() == "1") rt.scene("Form5").show();
        rt.scene("Form2").setVisible(false);
    });

    // "STVOŘITELÉ"
    s.on("Image3", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form4").show();
        rt.scene("Form2").setVisible(false);
    });

    // "EGZIT"
    s.on("Image4", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Form3").show();
        rt.scene("Form2").unload();
    });

    // "NASTAVENÍ"
    s.on("Image5", EventKind::Click, [](Runtime& rt, const Event&) {
        rt.scene("Options").show();
        rt.scene("Form2").unload();
    });
    return s;
}

}  // namespace az
