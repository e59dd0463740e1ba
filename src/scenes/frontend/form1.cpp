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

    s.onLoad({setFile("mov1", "Movie", "intro.swf"), call("mov1", "Play")});

    // Timer1 keeps starting Timer2, which is already running after its
    // first tick: the menu comes two periods after the load all the same.
    s.onTimer("Timer1", {start("Timer2")});

    s.onTimer("Timer2", {showScene("Form2"), unloadScene()});
    return s;
}

}  // namespace az
