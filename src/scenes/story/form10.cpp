// Form10: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef form10() { return emptyScene("Form10"); }

}  // namespace az
