#include "show/AssetFolder.h"

#include <system_error>

namespace tolva {

namespace fs = std::filesystem;

bool holdsAssets(const fs::path& folder)
{
    std::error_code error;
    for (const char* name : {"fonts", "graphics", "sounds", "shaders"}) {
        if (!fs::is_directory(folder / name, error)) {
            return false;
        }
    }
    return true;
}

std::optional<fs::path> assetFolderFor(const fs::path& working, const fs::path& executable)
{
    if (!working.empty() && holdsAssets(working)) {
        return working;
    }
    const fs::path beside = executable.parent_path();
    if (!beside.empty() && holdsAssets(beside)) {
        return beside;
    }
    return std::nullopt;
}

std::optional<fs::path> runBesideAssets(std::initializer_list<std::string*> callerPaths)
{
    std::error_code error;
    // A working folder that was removed, or cannot be read, holds no assets.
    const fs::path working = fs::current_path(error);
    // The real file, whatever link or relative path it was started through.
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::nullopt;
    }
    const std::optional<fs::path> folder = assetFolderFor(working, executable);
    if (!folder || *folder == working) {
        return std::nullopt;
    }
    for (std::string* path : callerPaths) {
        if (!path->empty() && fs::path(*path).is_relative()) {
            *path = (working / *path).string();
        }
    }
    fs::current_path(*folder, error);
    if (error) {
        return std::nullopt;
    }
    return folder;
}

} // namespace tolva
