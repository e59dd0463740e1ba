// Form12: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef form12() { return emptyScene("Form12"); }

}  // namespace az
