// theend: the end movie for 7000 ms, then the quit dialog.
#include "scenes/scenes.h"

namespace az {

SceneDef theend() {
    SceneDef s;
    s.desc = {windowOf("theend"),
              {
                  timer("Timer1", 7000),
                  // No background colour of its own: the movie's shows.
                  moviePlayer("mov1").at(3120, 2760, 3735, 1695).movieBack(""),
              }};

    s.onLoad([](Runtime& rt, const Event&) {
        auto mov1 = rt.scene("theend").control("mov1");
        mov1.set("Movie", rt.programPath("outro.swf"));
        mov1.call("Play");
    });

    // Unloading the scene stops the movie with it.
    s.on("Timer1", EventKind::Timer, [](Runtime& rt, const Event&) {
        rt.scene("Form3").show();
        rt.scene("theend").unload();
    });
    return s;
}

}  // namespace az
