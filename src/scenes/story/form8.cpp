// Form8: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef form8() { return emptyScene("Form8"); }

}  // namespace az
