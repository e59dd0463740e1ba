// kancl2: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef kancl2() { return emptyScene("kancl2"); }

}  // namespace az
