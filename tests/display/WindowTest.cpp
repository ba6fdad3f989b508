// The real program in a real window, each test under an X server of its own.

#include "Processes.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tolva {
namespace {

using namespace std::chrono_literals;


// Without a display, or on a 16-bit one (where SFML's window would die of an X error), the show
// says what is wrong in one line and exits with status 1.
void expectOneLineFailure(const std::string& display, const std::string& words)
{
    const std::string errPath = testing::scratchFile("fail-" + words + ".err");
    testing::Child show(TOLVA_SHOW, {{"DISPLAY", display}}, TOLVA_RUN_DIR, errPath);
    const auto exit = show.waitFor(20s);
    ASSERT_TRUE(exit.has_value());
    EXPECT_EQ(exit->status, 1);
    const std::string message = testing::capture("cat '" + errPath + "'");
    EXPECT_NE(message.find(words), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
}

TEST(ShowWindow, WithoutAUsableDisplayExitsWithOneClearLine)
{
    expectOneLineFailure("", "no display");
    testing::Xvfb x(TOLVA_TEST_DISPLAY + 7, "1920x1080x16");
    ASSERT_TRUE(x.started());
    expectOneLineFailure(x.display(), "16-bit");
}

// No sound device and no sound server (ALSA with an empty configuration, the only driver OpenAL
// Soft may use): one line says so, and the sound side says nothing more while the show runs in its
// full-screen window titled Tolva. (Escape ends it in every scene: EscapeTest.)
TEST(ShowWindow, OpensFullScreenWithoutSoundOutput)
{
    testing::Xvfb x(TOLVA_TEST_DISPLAY + 8, "1920x1080x24");
    ASSERT_TRUE(x.started());
    std::ofstream(testing::scratchFile("nosound-alsa.conf")) << "";
    std::ofstream(testing::scratchFile("nosound-openal.conf")) << "[general]\ndrivers = alsa\n";
    const std::string errPath = testing::scratchFile("nosound-test.err");
    testing::Child show(TOLVA_SHOW,
               {{"DISPLAY", x.display()}, {"ALSOFT_DRIVERS", ""}, {"ALSOFT_CONF", testing::scratchFile("nosound-openal.conf")},
                {"ALSA_CONFIG_PATH", testing::scratchFile("nosound-alsa.conf")}},
               TOLVA_RUN_DIR, errPath);
    const std::string window = testing::waitForShowWindow(x.display(), 20s);
    EXPECT_EQ(testing::field(window, "Width:"), 1920);
    EXPECT_EQ(testing::field(window, "Height:"), 1080);
    EXPECT_NE(window.find("\"Tolva\""), std::string::npos);
    std::this_thread::sleep_for(10s);  // start-up loads the sounds, scene 1 starts its voices
    const std::string message = testing::capture("cat '" + errPath + "'");
    EXPECT_NE(message.find("without sound"), std::string::npos) << message;
    EXPECT_LE(std::count(message.begin(), message.end(), '\n'), 2) << message;
}

} // namespace
} // namespace tolva
