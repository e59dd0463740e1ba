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

    s.onLoad({setFile("mov1", "Movie", "outro.swf"), call("mov1", "Play")});

    // Unloading the scene stops the movie with it.
    s.onTimer("Timer1", {showScene("Form3"), unloadScene()});
    return s;
}

}  // namespace az
