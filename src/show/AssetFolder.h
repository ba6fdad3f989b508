#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

namespace tolva {

// Whether FOLDER holds the four asset folders the programs read (fonts, graphics, sounds, shaders).
bool holdsAssets(const std::filesystem::path& folder);

// The folder a program started in WORKING, as EXECUTABLE, reads its assets from: the working
// folder when it holds them (a build's run folder, the Debian package's launchers, the tests),
// else the executable's own folder when that does (an unpacked release started from anywhere),
// else nothing: the program stays where it is and reports the files it cannot open.
std::optional<std::filesystem::path> assetFolderFor(const std::filesystem::path& working,
                                                    const std::filesystem::path& executable);

// The programs open their assets by paths relative to the working folder. Started away from them
// (from another folder, or by a double-click, which starts in the home folder) while they lie beside
// the executable, a program changes into the executable's folder; the paths the caller gave
// (CALLER_PATHS, each relative to the folder it started in) are made absolute first, so they keep
// meaning what the caller meant. Returns the folder changed to, or nothing when it stayed.
std::optional<std::filesystem::path> runBesideAssets(std::initializer_list<std::string*> callerPaths = {});

} // namespace tolva
