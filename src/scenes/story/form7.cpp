// Form7: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef form7() { return emptyScene("Form7"); }

}  // namespace az
