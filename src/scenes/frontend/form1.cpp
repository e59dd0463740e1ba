// Form1, the intro: the opening movie, then the main menu 19998 ms after load.
#include "scenes/scenes.h"

namespace az {

SceneDef form1() {
    SceneDef s;
    s.desc = {windowOf("Form1"),
              {
                  timer("Timer2", 9999).disabled(),
                  timer("Timer1", 9999),
                  moviePlayer("mov1").at(0, 0, 5655, 5895).movieBack("003366"),
              }};

    s.onLoad([](Runtime& rt, const Event&) {
        auto mov1 = rt.scene("Form1").control("mov1");
        mov1.set("Movie", rt.programPath("intro.swf"));
        mov1.call("Play");
    });

    // Timer1 keeps starting Timer2, which is already running after its
    // first tick: the menu comes two periods after the load all the same.
    s.on("Timer1", EventKind::Timer,
         [](Runtime& rt, const Event&) { rt.scene("Form1").control("Timer2").setEnabled(true); });

    s.on("Timer2", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form2").show();
        rt.scene("Form1").unload();
    });
    return s;
}

}  // namespace az
