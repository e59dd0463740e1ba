// theend: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef theend() { return emptyScene("theend"); }

}  // namespace az
