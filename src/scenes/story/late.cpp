// late: not built yet, an empty window.
#include "scenes/scenes.h"

namespace az {

SceneDef late() { return emptyScene("late"); }

}  // namespace az
