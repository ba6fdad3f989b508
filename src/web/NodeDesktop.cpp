// What the inspector asks of the desktop, under node: there is no window to open, and fonts and
// textures need none here, so nothing stands in the way.

#include "driver/Desktop.h"

namespace tolva {

std::string displayProblem() { return {}; }

bool soundOutputAvailable() { return false; }

} // namespace tolva
