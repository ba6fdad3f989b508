// Where the programs read their assets from: the folder they start in, or the one they lie in.

#include "show/AssetFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace tolva {
namespace {

namespace fs = std::filesystem;

class AssetFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tolva-asset-folder.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        top_ = pattern;
    }
    void TearDown() override { fs::remove_all(top_); }

    // A folder named NAME with the asset folders listed in FOLDERS.
    fs::path folderWith(const std::string& name, std::initializer_list<const char*> folders)
    {
        const fs::path folder = top_ / name;
        fs::create_directories(folder);
        for (const char* sub : folders) {
            fs::create_directories(folder / sub);
        }
        return folder;
    }

    fs::path top_;
};

TEST_F(AssetFolderTest, TheWorkingFolderWinsWhenItHoldsTheAssets)
{
    const fs::path working = folderWith("run", {"fonts", "graphics", "sounds", "shaders"});
    const fs::path release = folderWith("release with space", {"fonts", "graphics", "sounds", "shaders"});
    EXPECT_EQ(assetFolderFor(working, release / "tolva"), working);
    // The programs started in a build's run folder, or by the installed launchers, stay there.
    EXPECT_EQ(assetFolderFor(release, release / "tolva"), release);
}

TEST_F(AssetFolderTest, StartedElsewhereTheProgramsFolderIsUsed)
{
    const fs::path release = folderWith("party release", {"fonts", "graphics", "sounds", "shaders"});
    // The home folder a double-click starts in; one with only some of the folders; a removed one.
    EXPECT_EQ(assetFolderFor(folderWith("home", {}), release / "tolva"), release);
    EXPECT_EQ(assetFolderFor(folderWith("half", {"fonts", "graphics", "sounds"}), release / "tolva"), release);
    EXPECT_EQ(assetFolderFor(top_ / "gone", release / "tolva-capture"), release);
    EXPECT_EQ(assetFolderFor(fs::path(), release / "tolva"), release);
}

TEST_F(AssetFolderTest, NoAssetsAnywhereLeavesTheProgramWhereItIs)
{
    const fs::path home = folderWith("home", {"fonts"});
    const fs::path bare = folderWith("bare", {"graphics", "sounds", "shaders"});
    std::ofstream(bare / "fonts") << "a file, not a folder";
    EXPECT_FALSE(holdsAssets(bare));
    EXPECT_EQ(assetFolderFor(home, bare / "tolva"), std::nullopt);
    EXPECT_EQ(assetFolderFor(home, fs::path("tolva")), std::nullopt);
}

} // namespace
} // namespace tolva
