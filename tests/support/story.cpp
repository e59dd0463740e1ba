#include "support/story.h"

#include <cstdlib>

namespace az::testing {

std::string testOutput() {
    const char* dir = std::getenv("AZ_TEST_OUT");
    return dir ? dir : "";
}

std::string shot(const std::string& scene, const std::string& name) {
    const std::string dir = testOutput();
    return dir.empty() ? "" : "screenshot " + scene + " " + dir + "/" + name + ".png\n";
}

StoryGame::StoryGame(std::vector<SceneDef> defs) : host(std::move(defs)) {}

void StoryGame::show(const std::string& scene) {
    rt().dispatch([&] { rt().scene(scene).show(); });
}

ScriptResult StoryGame::run(const std::string& script) { return ScriptRunner(host).run(script); }

std::string StoryGame::play(const std::string& script) {
    ScriptResult r = run(script);
    if (r.exitCode == 0) return "";
    std::string why = r.message;
    if (!rt().error().empty()) why += "\nrun-time error: " + rt().error();
    return why + "\nin the script:\n" + script;
}

void StoryGame::withPictures() {
    if (pictures_) return;
    pictures_ = std::make_unique<Catalogue>(AZ_ASSET_DIR);
    rt().setPictures(pictures_.get());
}

}  // namespace az::testing
