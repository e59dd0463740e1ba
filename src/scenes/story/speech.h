// A line of dialogue as the story scenes write them: bold, transparent,
// hidden until a handler shows it.
#pragma once

#include "runtime/description.h"

namespace az::story {

inline ControlDesc speech(std::string name, int left, int top, int width, int height, std::string text) {
    return label(std::move(name)).at(left, top, width, height).text(std::move(text)).transparent().sansBold()
        .hidden();
}

}  // namespace az::story
