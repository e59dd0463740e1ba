#include "scenes/scenes.h"

#include <map>
#include <stdexcept>
#include <string>

namespace az {

SceneDef emptyScene(const char* formName) {
    SceneDef d;
    d.desc.window = windowOf(formName);
    return d;
}

std::vector<SceneDef> gameScenes() {
    const std::map<std::string, SceneDef (*)()> built = {
        {"Form1", form1},   {"Form2", form2},   {"Form3", form3},   {"Form4", form4},
        {"Options", options}, {"Form5", form5}, {"Form6", form6},   {"Form7", form7},
        {"Form8", form8},   {"Form9", form9},   {"Form10", form10}, {"Form11", form11},
        {"Form12", form12}, {"late", late},     {"kancl2", kancl2}, {"theend", theend},
    };
    std::vector<SceneDef> all;
    for (const auto& w : windowTable()) {
        auto it = built.find(w.name);
        if (it == built.end()) throw std::logic_error("no scene is built for the form " + w.name);
        all.push_back(it->second());
    }
    return all;
}

}  // namespace az
