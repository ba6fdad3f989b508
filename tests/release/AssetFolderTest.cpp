// Where the programs read their assets from: the folder they start in, or the one they lie in.

#include "show/AssetFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>

namespace tolva {
namespace {

namespace fs = std::filesystem;

// The working folder wins when it holds the assets (the programs started in a build's run folder,
// or by the installed launchers, stay there); started elsewhere (the home folder a double-click
// starts in, one with only some of the folders, a removed one) the program's own folder is used;
// with no assets anywhere, none.
TEST(AssetFolder, TheWorkingFolderIfItHoldsTheAssetsElseTheProgramsOwn)
{
    std::string pattern = (fs::temp_directory_path() / "tolva-asset-folder.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path top = pattern;
    const auto folderWith = [&top](const std::string& name, std::initializer_list<const char*> folders) {
        for (const char* sub : folders) {
            fs::create_directories(top / name / sub);
        }
        fs::create_directories(top / name);
        return top / name;
    };
    const fs::path working = folderWith("run", {"fonts", "graphics", "sounds", "shaders"});
    const fs::path release = folderWith("release with space", {"fonts", "graphics", "sounds", "shaders"});
    const fs::path home = folderWith("home", {"fonts"});
    const fs::path bare = folderWith("bare", {"graphics", "sounds", "shaders"});
    std::ofstream(bare / "fonts") << "a file, not a folder";
    EXPECT_FALSE(holdsAssets(bare));
    const std::optional<fs::path> none;
    for (const auto& [start, program, assets] :
         {std::tuple(working, release / "tolva", std::optional(working)),
          std::tuple(release, release / "tolva", std::optional(release)),
          std::tuple(home, release / "tolva", std::optional(release)),
          std::tuple(folderWith("half", {"fonts", "graphics", "sounds"}), release / "tolva", std::optional(release)),
          std::tuple(top / "gone", release / "tolva-capture", std::optional(release)),
          std::tuple(fs::path(), release / "tolva", std::optional(release)), std::tuple(home, bare / "tolva", none),
          std::tuple(home, fs::path("tolva"), none)}) {
        EXPECT_EQ(assetFolderFor(start, program), assets) << start << " " << program;
    }
    fs::remove_all(top);
}

} // namespace
} // namespace tolva
