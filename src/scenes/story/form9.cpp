// Form9: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef form9() { return emptyScene("Form9"); }

}  // namespace az
