// What the story scenes write on the town map (Form7): every place has a
// white name that leads there and a grey twin lying over it; while the
// twin is shown the place is locked. A write loads the map hidden when it
// is not loaded.
#pragma once

#include "runtime/steps.h"

namespace az::story {

enum class Place { Home, PowerPlant, Merchant, Market, Town };

// The grey twin of a place on the map.
Target lockOf(Place p);
// The white name of a place on the map.
Target nameOf(Place p);

// The place becomes reachable: its grey twin goes.
inline Step unlock(Place p) { return hide(lockOf(p)); }
// The place becomes unreachable: its grey twin comes back over it.
inline Step lock(Place p) { return show(lockOf(p)); }

}  // namespace az::story
