#pragma once

#include <string>

namespace tolva {

// Whether a sound file may be handed to SFML's loaders. SFML 2.5 makes room for as many samples
// as a WAV header declares before it reads any, and refuses the file if fewer are there: a header
// that claims gigabytes costs gigabytes of memory first. So a WAV file must hold every sample its
// data chunk declares; one that claims more is not used, as a file cut short is not. Files that
// are no WAV pass (SFML judges them itself).
bool soundFileHoldsWhatItDeclares(const std::string& path);

} // namespace tolva
