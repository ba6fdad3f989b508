#pragma once

#include <string>

namespace tolva {

// What makes this program's frames what they are, for a farm that joins frames rendered on many
// machines: the program's version and the OpenGL renderer it draws with (software GL names
// llvmpipe with its LLVM and vector width, and the Mesa version; a GPU names itself). Needs an X
// display for the renderer; without one the renderer is null. One JSON object on one line:
// {"program":"tolva-capture","version":...,"renderer":...,"opengl":...}.
std::string versionReport();

} // namespace tolva
