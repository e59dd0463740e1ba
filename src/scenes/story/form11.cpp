// Form11: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef form11() { return emptyScene("Form11"); }

}  // namespace az
