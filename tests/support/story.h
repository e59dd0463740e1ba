// The game as the story tests play it: every scene, headless on a manual
// clock, driven by scenario script lines.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "assets/catalogue.h"
#include "runtime/script.h"
#include "scenes/scenes.h"

namespace az::testing {

// The folder named by AZ_TEST_OUT, where the tests leave their pictures and
// scratch files to be looked at; empty when it is not set.
std::string testOutput();

// A script line that takes a picture of a scene into AZ_TEST_OUT as
// NAME.png, or nothing when it is not set.
std::string shot(const std::string& scene, const std::string& name);

class StoryGame {
    // Made before the host and gone after it: the runtime may paint with it.
    std::unique_ptr<Catalogue> pictures_;

public:
    explicit StoryGame(std::vector<SceneDef> defs = gameScenes());

    Runtime& rt() { return host.runtime(); }
    // A scene comes on screen as the story would bring it there.
    void show(const std::string& scene);
    // Runs script lines on the game as it stands.
    ScriptResult run(const std::string& script);
    // The same: empty when every expectation held, else what failed, the
    // run-time error if there was one, and the script.
    std::string play(const std::string& script);
    // Paints with the game's own pictures.
    void withPictures();
    // The same, when AZ_TEST_OUT asks for the pictures of shot().
    void picturesForShots() {
        if (!testOutput().empty()) withPictures();
    }
    int cursor(const std::string& scene, int x, int y) { return rt().cursorAt(scene, x, y); }

    HeadlessHost host;
};

}  // namespace az::testing
