// The real program in a real window, each test under an X server of its own.

#include "Processes.h"
#include "render/BatchCanvas.h"
#include "render/Letterbox.h"
#include "sound/Voices.h"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

namespace tolva {
namespace {

using namespace std::chrono_literals;
using testing::Child;
using testing::Xvfb;

// The window tests' displays, +1 to +4 (tests/CMakeLists.txt lists them all).
int displayNumber(int k) { return TOLVA_TEST_DISPLAY + 1 + k; }

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ShowWindow, OpensFullScreenTitledTolvaAndEndsOnEscape)
{
    Xvfb x(displayNumber(0), "1920x1080x24");
    ASSERT_TRUE(x.started());
    Child show(TOLVA_SHOW, {{"DISPLAY", x.display()}, {"ALSOFT_DRIVERS", "null"}}, TOLVA_RUN_DIR,
               "/tmp/tolva-window-test.err");
    const std::string info = testing::waitForShowWindow(x.display(), 20s);
    ASSERT_FALSE(info.empty()) << "no window named Tolva";
    EXPECT_EQ(testing::field(info, "Width:"), 1920);
    EXPECT_EQ(testing::field(info, "Height:"), 1080);
    EXPECT_NE(info.find("\"Tolva\""), std::string::npos);
    // The window opens before the start-up sequence loads the pictures and the music; Escape is
    // read from the first frame on.
    std::this_thread::sleep_for(6s);

    // The iteration under way and the one that sees Escape both finish: two of scene 1's
    // frames, over a second each at 1920x1080 under software GL on a busy machine.
    testing::holdEscape(x.display());
    const auto exit = show.waitFor(5s);
    ASSERT_TRUE(exit.has_value()) << "still running after Escape";
    EXPECT_EQ(exit->status, 0);
}

// Without a display, or on a 16-bit one (where SFML's window would die of an X error), the show
// says what is wrong in one line and exits with status 1.
void expectOneLineFailure(const std::string& display, const std::string& words)
{
    const std::string errPath = "/tmp/tolva-fail-" + words + ".err";
    Child show(TOLVA_SHOW, {{"DISPLAY", display}}, TOLVA_RUN_DIR, errPath);
    const auto exit = show.waitFor(20s);
    ASSERT_TRUE(exit.has_value());
    EXPECT_EQ(exit->status, 1);
    const std::string message = readFile(errPath);
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

// Draws a picture in a full-screen window on the given X server and reads the window back. It
// runs in a child process: SFML keeps its display connection for the life of the process, and the
// test's X server goes away before that.
sf::Image drawInWindow(const std::string& display, sf::Vector2u expectedSize,
                       const std::function<void(Canvas&)>& draw)
{
    const std::string path = "/tmp/tolva-letterbox-" + display.substr(1) + ".png";
    std::remove(path.c_str());
    const pid_t child = fork();
    if (child == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        sf::RenderWindow window(sf::VideoMode(1920, 1080, 32), "Tolva", sf::Style::Fullscreen);
        if (window.getSize() != expectedSize) {
            _exit(2);
        }
        fitShowView(window);
        BatchCanvas canvas(&window, &window);
        draw(canvas);
        canvas.flush();
        sf::Texture readBack;
        readBack.create(expectedSize.x, expectedSize.y);
        readBack.update(window);
        _exit(readBack.copyToImage().saveToFile(path) ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "window size or read-back failed";
    sf::Image image;
    image.loadFromFile(path);
    return image;
}

// On a screen without a 1920x1080 mode the picture is scaled to fit, whole.
TEST(Letterbox, APictureIn1920x1080CoordinatesAppearsWholeOnASmallerScreen)
{
    Xvfb x(displayNumber(1), "1280x720x24");
    ASSERT_TRUE(x.started());
    const sf::Image image = drawInWindow(x.display(), {1280, 720}, [](Canvas& canvas) {
        canvas.clear(sf::Color(0, 0, 255));
        // Red squares in the four corners of the 1920x1080 picture, green in its middle.
        for (const sf::Vector2f corner : {sf::Vector2f(0, 0), {1800, 0}, {0, 960}, {1800, 960}, {900, 480}}) {
            Rect square;
            square.setSize({120, 120});
            square.setPosition(corner);
            const bool middle = corner.x == 900;
            square.setFillColor(middle ? sf::Color::Green : sf::Color::Red);
            canvas.draw(square, {"test", middle ? 1 : 0, 0});
        }
    });
    ASSERT_EQ(image.getSize(), sf::Vector2u(1280, 720));
    // 1920x1080 scales by 2/3 to exactly 1280x720: the corners land in the screen's corners.
    for (const sf::Vector2u corner : {sf::Vector2u(5, 5), {1274, 5}, {5, 714}, {1274, 714}}) {
        EXPECT_EQ(image.getPixel(corner.x, corner.y), sf::Color::Red);
    }
    EXPECT_EQ(image.getPixel(640, 360), sf::Color::Green);
    EXPECT_EQ(image.getPixel(100, 360), sf::Color::Blue);
}

// Where the aspect ratio differs, the picture is centred between black bars.
TEST(Letterbox, BarsStayBlackWhenTheAspectDiffers)
{
    Xvfb x(displayNumber(2), "1280x1024x24");
    ASSERT_TRUE(x.started());
    const sf::Image image = drawInWindow(x.display(), {1280, 1024}, [](Canvas& canvas) {
        canvas.clear(sf::Color(200, 100, 50));
    });
    ASSERT_EQ(image.getSize(), sf::Vector2u(1280, 1024));
    // 1280x720 of picture, centred: bars of 152 rows above and below.
    EXPECT_EQ(image.getPixel(640, 10), sf::Color::Black);
    EXPECT_EQ(image.getPixel(640, 1013), sf::Color::Black);
    EXPECT_EQ(image.getPixel(640, 512), sf::Color(200, 100, 50));
    EXPECT_EQ(image.getPixel(0, 160), sf::Color(200, 100, 50));
}

// No sound device and no sound server (ALSA with an empty configuration, the only driver OpenAL
// Soft may use): one line says so, and the sound side says nothing more while the show runs.
TEST(ShowSound, WithoutSoundOutputOneLineSaysSo)
{
    Xvfb x(TOLVA_TEST_DISPLAY + 8, "1920x1080x24");
    ASSERT_TRUE(x.started());
    const std::string alsaConf = "/tmp/tolva-nosound-alsa.conf";
    const std::string conf = "/tmp/tolva-nosound-openal.conf";
    const std::string errPath = "/tmp/tolva-nosound-test.err";
    std::ofstream(alsaConf) << "";
    std::ofstream(conf) << "[general]\ndrivers = alsa\n";
    Child show(TOLVA_SHOW,
               {{"DISPLAY", x.display()}, {"ALSOFT_DRIVERS", ""}, {"ALSOFT_CONF", conf},
                {"ALSA_CONFIG_PATH", alsaConf}},
               TOLVA_RUN_DIR, errPath);
    ASSERT_FALSE(testing::waitForShowWindow(x.display(), 20s).empty());
    std::this_thread::sleep_for(10s);  // start-up loads the sounds, scene 1 starts its voices
    const std::string message = readFile(errPath);
    testing::holdEscape(x.display());
    const auto exit = show.waitFor(10s);
    ASSERT_TRUE(exit.has_value());
    EXPECT_EQ(exit->status, 0);
    EXPECT_NE(message.find("without sound"), std::string::npos) << message;
    EXPECT_LE(std::count(message.begin(), message.end(), '\n'), 2) << message;
}

// OpenAL Soft's wave-file backend records exactly what the show played.
TEST(ShowSound, VoiceTwoStartsWithSceneOneAndNotBefore)
{
    Xvfb x(displayNumber(3), "1920x1080x24");
    ASSERT_TRUE(x.started());
    const std::string wav = "/tmp/tolva-sound-test.wav";
    const std::string conf = "/tmp/tolva-sound-test.conf";
    std::remove(wav.c_str());
    std::ofstream(conf) << "[general]\ndrivers = wave\nfrequency = 44100\nchannels = stereo\n"
                           "sample-type = int16\n[wave]\nfile = " << wav << "\n";
    {
        Child show(TOLVA_SHOW, {{"DISPLAY", x.display()}, {"ALSOFT_CONF", conf}, {"ALSOFT_DRIVERS", ""}},
                   TOLVA_RUN_DIR,
                   "/tmp/tolva-sound-test.err");
        ASSERT_FALSE(testing::waitForShowWindow(x.display(), 20s).empty());
        std::this_thread::sleep_for(8s);  // start-up, the lead-in and a few seconds of scene 1
        testing::holdEscape(x.display());
        const auto exit = show.waitFor(5s);
        ASSERT_TRUE(exit.has_value());
        EXPECT_EQ(exit->status, 0);
    }

    sf::InputSoundFile file;
    ASSERT_TRUE(file.openFromFile(wav));
    ASSERT_EQ(file.getSampleRate(), 44100u);
    const unsigned channels = file.getChannelCount();
    std::vector<sf::Int16> interleaved(static_cast<std::size_t>(file.getSampleCount()));
    interleaved.resize(static_cast<std::size_t>(file.read(interleaved.data(), interleaved.size())));
    std::vector<double> left;
    for (std::size_t k = 0; k < interleaved.size(); k += channels) {
        left.push_back(interleaved[k]);
    }
    // Silence through the rest of start-up and the black lead-in, then voiceTwo's tone.
    std::size_t onset = 0;
    while (onset < left.size() && std::fabs(left[onset]) < 2) {
        ++onset;
    }
    ASSERT_LT(onset + 44100, left.size()) << "no second of sound after the onset";
    EXPECT_GT(onset, 0u) << "sound before the first frame";

    // What follows is voiceTwo's looping second, whatever the gain: correlate with its samples.
    const SampleArray two = computeFirstThree().two;
    double best = 0;
    for (std::size_t lag = 0; lag < 64 && onset >= lag; ++lag) {
        double dot = 0, energyA = 0, energyB = 0;
        for (std::size_t k = 0; k < 22050; ++k) {
            const double a = left[onset - lag + k];
            const double b = two[k];
            dot += a * b;
            energyA += a * a;
            energyB += b * b;
        }
        best = std::max(best, dot / std::sqrt(energyA * energyB));
    }
    EXPECT_GT(best, 0.95);
}

} // namespace
} // namespace tolva
