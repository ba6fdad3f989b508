// The real program in a real window, each test under an X server of its own.

#include "Processes.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tolva {
namespace {

using namespace std::chrono_literals;
using testing::Child;
using testing::Xvfb;


// Without a display, or on a 16-bit one (where SFML's window would die of an X error), the show
// says what is wrong in one line and exits with status 1.
void expectOneLineFailure(const std::string& display, const std::string& words)
{
    const std::string errPath = "/tmp/tolva-fail-" + words + ".err";
    Child show(TOLVA_SHOW, {{"DISPLAY", display}}, TOLVA_RUN_DIR, errPath);
    const auto exit = show.waitFor(20s);
    ASSERT_TRUE(exit.has_value());
    EXPECT_EQ(exit->status, 1);
    const std::string message = testing::readFile(errPath);
    EXPECT_NE(message.find(words), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
}

TEST(ShowWindow, WithoutAUsableDisplayExitsWithOneClearLine)
{
    expectOneLineFailure("", "no display");
    Xvfb x(TOLVA_TEST_DISPLAY + 7, "1920x1080x16");
    ASSERT_TRUE(x.started());
    expectOneLineFailure(x.display(), "16-bit");
}

// No sound device and no sound server (ALSA with an empty configuration, the only driver OpenAL
// Soft may use): one line says so, and the sound side says nothing more while the show runs in its
// full-screen window titled Tolva, until Escape (read from the first frame on) ends it.
TEST(ShowWindow, OpensFullScreenWithoutSoundOutputAndEndsOnEscape)
{
    Xvfb x(TOLVA_TEST_DISPLAY + 8, "1920x1080x24");
    ASSERT_TRUE(x.started());
    std::ofstream("/tmp/tolva-nosound-alsa.conf") << "";
    std::ofstream("/tmp/tolva-nosound-openal.conf") << "[general]\ndrivers = alsa\n";
    // Start-up loads the sounds, scene 1 starts its voices.
    const testing::Run run = testing::runUntilEscape(
        x.display(), {{"ALSOFT_CONF", "/tmp/tolva-nosound-openal.conf"}, {"ALSA_CONFIG_PATH", "/tmp/tolva-nosound-alsa.conf"}},
        "/tmp/tolva-nosound-test.err", 10s);
    EXPECT_EQ(testing::field(run.window, "Width:"), 1920);
    EXPECT_EQ(testing::field(run.window, "Height:"), 1080);
    EXPECT_NE(run.window.find("\"Tolva\""), std::string::npos);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.errors.find("without sound"), std::string::npos) << run.errors;
    EXPECT_LE(std::count(run.errors.begin(), run.errors.end(), '\n'), 2) << run.errors;
}

} // namespace
} // namespace tolva
