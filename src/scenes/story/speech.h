// A line of dialogue as the story scenes write them, and the timers that
// pace their chains.
#pragma once

#include "runtime/description.h"

namespace az::story {

// A line: bold, transparent, hidden until a handler shows it.
inline ControlDesc speech(std::string name, int left, int top, int width, int height, std::string text) {
    return label(std::move(name)).at(left, top, width, height).text(std::move(text)).transparent().sansBold()
        .hidden();
}

// A timer of a dialogue chain: a step every 3000 ms, stopped until a
// handler starts it.
inline ControlDesc chainTimer(std::string name) { return timer(std::move(name), 3000).disabled(); }

}  // namespace az::story
