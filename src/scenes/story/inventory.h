// The inventory panel that five story scenes carry, each its own copy: the
// frame with its items, its "Zavřít" label, and the "Inventář" and "Menu"
// words at the bottom right of the scene.
#pragma once

#include "runtime/runtime.h"

namespace az::story {

// The panel: "Inventář" in bold black on light grey. Its stored cursor (the
// pinching hand) has no effect.
ControlDesc inventoryFrame(int left, int top, int width, int height);

// "Zavřít" on the frame's top edge at its right end.
ControlDesc closeLabel(std::string name, int frameWidth);

// "Inventář" and "Menu" at the bottom right of a scene: bold, transparent,
// with the pointing hand.
ControlDesc cornerLabel(std::string name, std::string caption);

enum class Item { Mamon, Gun, Keys, Nike, Cohiba, Doc };

// An item picture in Frame1 with its usual box, picture, tag, cursor and
// tooltip; a scene changes what differs with the fluent setters.
ControlDesc item(std::string name, Item which);

// "Inventář": the panel opens. "Zavřít": it closes.
Steps openPanel();
Steps closePanel();

// "Menu": the main menu comes up over the scene and its flag says that a
// game is running.
Steps menuOverStory();

}  // namespace az::story
