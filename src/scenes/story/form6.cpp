// Form6: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef form6() { return emptyScene("Form6"); }

}  // namespace az
