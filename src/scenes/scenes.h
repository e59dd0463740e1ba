// The game's sixteen scenes.
#pragma once

#include <vector>

#include "runtime/runtime.h"

namespace az {

// Every scene of the game, descriptions and handlers, in the registry's order.
std::vector<SceneDef> gameScenes();

// The front end.
SceneDef form1();
SceneDef form2();
SceneDef form3();
SceneDef form4();
SceneDef options();

// The story.
SceneDef form5();
SceneDef form6();
SceneDef form7();
SceneDef form8();
SceneDef form9();
SceneDef form10();
SceneDef form11();
SceneDef form12();
SceneDef late();
SceneDef kancl2();
SceneDef theend();

// A scene with its window and nothing in it, for trying the window system.
SceneDef emptyScene(const char* formName);

}  // namespace az
