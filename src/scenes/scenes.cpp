#include "scenes/scenes.h"

namespace az {

SceneDef emptyScene(const char* formName) {
    SceneDef d;
    d.desc.window = windowOf(formName);
    return d;
}

std::vector<SceneDef> gameScenes() {
    std::vector<SceneDef> all;
    for (const auto& w : windowTable()) all.push_back(emptyScene(w.name.c_str()));
    return all;
}

}  // namespace az
