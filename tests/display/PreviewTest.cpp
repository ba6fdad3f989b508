// tolva-preview in a real window: the frame it reaches is the capture's, its keys do what they
// say, and its sound after a seek is where the capture's mix has it.

#include "Processes.h"

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

// After gtest: Xlib's macros (None, Bool) clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tolva {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string runDir = TOLVA_RUN_DIR;

// The capture's stills (one a scene) and the whole show's mix, made once for all the tests of
// this build (they run in processes of their own, perhaps side by side: a lock keeps it to one).
std::string reference()
{
    const std::string dir = runDir + "/../preview-test-reference";
    mkdir(dir.c_str(), 0755);
    const int lock = open((dir + ".lock").c_str(), O_CREAT | O_RDWR, 0644);
    flock(lock, LOCK_EX);
    struct stat capture {};
    stat((runDir + "/tolva-capture").c_str(), &capture);
    const std::string stamp = dir + "/made-by-" + std::to_string(capture.st_mtim.tv_sec);
    if (!std::ifstream(stamp)) {
        testing::Xvfb x(TOLVA_TEST_DISPLAY + 13, "640x480x24");
        const std::string command = "cd " + runDir + " && DISPLAY=" + x.display() +
                                    " ALSOFT_DRIVERS=null ./tolva-capture --stills " + dir +
                                    " --wav " + dir + "/show.wav 2>/dev/null";
        if (x.started() && std::system(command.c_str()) == 0) {
            std::ofstream{stamp};
        }
    }
    close(lock);
    return dir;
}

// tolva-preview with arguments, its lines on stdout collected in a file.
class Preview {
public:
    Preview(const std::string& display, const std::string& args,
            const std::map<std::string, std::string>& environment = {{"ALSOFT_DRIVERS", "null"}})
        : display_(display), out_("/tmp/tolva-preview-test-" + display.substr(1) + ".out")
    {
        std::remove(out_.c_str());
        std::string command = "exec env DISPLAY=" + display;
        for (const auto& [name, value] : environment) {
            command += " " + name + "=" + value;
        }
        command += " ./tolva-preview " + args + " > " + out_ + " 2>/dev/null";
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(runDir.c_str()) == 0) {
                execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            }
            _exit(127);
        }
    }
    ~Preview()
    {
        if (pid_ > 0) {  // never -1: that would signal every process we may signal
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // Waits for line `n` (from 1) of its output and returns it ("" after the limit).
    std::string line(std::size_t n, std::chrono::seconds limit = 90s) const
    {
        const auto deadline = Clock::now() + limit;
        do {
            std::ifstream in(out_);
            std::string text;
            for (std::size_t k = 1; std::getline(in, text) && in.good(); ++k) {
                if (k == n) {
                    return text;
                }
            }
            std::this_thread::sleep_for(50ms);
        } while (Clock::now() < deadline);
        return "";
    }
    void key(const std::string& name) const
    {
        const std::string command = "DISPLAY=" + display_ + " xdotool key " + name + " >/dev/null 2>&1";
        [[maybe_unused]] const int status = std::system(command.c_str());
    }
    int quit()
    {
        if (pid_ <= 0) {
            return -1;
        }
        key("Escape");
        int status = 0;
        for (int k = 0; k < 200; ++k, std::this_thread::sleep_for(50ms)) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
        }
        return -1;
    }

private:
    std::string display_;
    std::string out_;
    pid_t pid_ = -1;
};

// The screen's 1920x1080 pixels as RGB.
std::vector<sf::Uint8> screen(const std::string& name)
{
    Display* display = XOpenDisplay(name.c_str());
    std::vector<sf::Uint8> rgb;
    if (display == nullptr) {
        return rgb;
    }
    XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, 1920, 1080, AllPlanes, ZPixmap);
    for (int y = 0; image != nullptr && y < 1080; ++y) {
        for (int x = 0; x < 1920; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            rgb.insert(rgb.end(), {static_cast<sf::Uint8>(p >> 16), static_cast<sf::Uint8>(p >> 8),
                                   static_cast<sf::Uint8>(p)});
        }
    }
    if (image != nullptr) {
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return rgb;
}

long differingPixels(const std::vector<sf::Uint8>& rgb, const sf::Image& png)
{
    if (rgb.size() != 1920u * 1080u * 3u || png.getSize() != sf::Vector2u(1920, 1080)) {
        return -1;
    }
    long differing = 0;
    const sf::Uint8* rgba = png.getPixelsPtr();
    for (std::size_t p = 0; p < 1920u * 1080u; ++p) {
        differing += (rgb[3 * p] != rgba[4 * p] || rgb[3 * p + 1] != rgba[4 * p + 1] ||
                      rgb[3 * p + 2] != rgba[4 * p + 2]) ? 1 : 0;
    }
    return differing;
}

// The first frame of each scene at 60 frames a second (the timeline is fixed), and how far into
// it the capture takes its still.
constexpr long sceneStarts[8] = {19, 3679, 5839, 9259, 12199, 14539, 15979, 18924};
constexpr long stillFrames[8] = {720, 960, 1200, 1500, 1200, 840, 1200, 1200};

TEST(Preview, FromSecondsShowsTheCapturesFrameInEveryScene)
{
    const std::string stills = reference();
    testing::Xvfb x(TOLVA_TEST_DISPLAY + 13, "1920x1080x24");
    ASSERT_TRUE(x.started());
    for (int scene = 1; scene <= 8; ++scene) {
        SCOPED_TRACE("scene " + std::to_string(scene));
        sf::Image still;
        ASSERT_TRUE(still.loadFromFile(stills + "/scene" + std::to_string(scene) + ".png"));
        const long frame = sceneStarts[scene - 1] + stillFrames[scene - 1];
        Preview preview(x.display(), "--window 1920x1080 --paused --from " + std::to_string(static_cast<double>(frame) / 60.0));
        EXPECT_NE(preview.line(1).find("(frame " + std::to_string(frame) + "), scene " +
                                       std::to_string(scene)), std::string::npos);
        ASSERT_FALSE(preview.line(2).empty());
        long differing = -1;
        for (int tries = 0; tries < 40 && differing != 0; ++tries, std::this_thread::sleep_for(100ms)) {
            differing = differingPixels(screen(x.display()), still);
        }
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(preview.quit(), 0);
    }
}

TEST(Preview, KeysSeekPauseAndStep)
{
    testing::Xvfb x(TOLVA_TEST_DISPLAY + 14, "1920x1080x24");
    ASSERT_TRUE(x.started());
    Preview preview(x.display(), "--window 1920x1080 --paused --from 40");
    ASSERT_FALSE(preview.line(2).empty());
    std::size_t n = 2;
    // Each key, the line it must print, and whether the picture is the first one again.
    auto press = [&](const std::string& key, const std::string& expected) {
        preview.key(key);
        const std::string said = preview.line(++n);
        EXPECT_NE(said.find(expected), std::string::npos) << key << ": " << said;
        std::this_thread::sleep_for(700ms);
        return screen(x.display());
    };
    std::this_thread::sleep_for(700ms);
    const auto first = screen(x.display());
    EXPECT_NE(press("Right", "(frame 2401)"), first);
    EXPECT_EQ(press("Left", "(frame 2400)"), first);
    EXPECT_NE(press("Next", "(frame 3000)"), first);
    EXPECT_EQ(press("Prior", "(frame 2400)"), first);
    press("Home", "(frame 19), scene 1");
    press("2", "(frame 3679), scene 2");

    // Played for a second and a half, then paused: time stands still.
    press("space", "playing from 61.317 s (frame 3679)");
    std::this_thread::sleep_for(800ms);
    preview.key("space");
    const std::string paused = preview.line(++n);
    const long frame = std::atol(paused.c_str() + paused.find("(frame ") + 7);
    EXPECT_NE(paused.find("paused at"), std::string::npos) << paused;
    EXPECT_GT(frame, 3679 + 30) << paused;
    EXPECT_LT(frame, 3679 + 240) << paused;
    std::this_thread::sleep_for(700ms);
    const auto still = screen(x.display());
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(screen(x.display()), still);
    EXPECT_EQ(preview.line(n + 1, 0s), "");
    EXPECT_EQ(preview.quit(), 0);
}

// Where in the mix a piece of sound lies, searched around `expected`: the best match and how
// well it matches (normalized correlation).
std::pair<long, double> placeInMix(const std::vector<double>& sound, std::size_t from,
                                   const std::vector<double>& mix, long expected)
{
    constexpr long span = 8820;  // 0.2 s
    std::pair<long, double> best{0, -1.0};
    for (long lag = expected - 2000; lag <= expected + 2000; ++lag) {
        double dot = 0, a2 = 0, b2 = 0;
        for (long k = 0; k < span; ++k) {
            const double a = sound[from + static_cast<std::size_t>(k)];
            const double b = mix[static_cast<std::size_t>(lag + k)];
            dot += a * b;
            a2 += a * a;
            b2 += b * b;
        }
        const double match = dot / std::sqrt(a2 * b2 + 1e-9);
        if (match > best.second) {
            best = {lag, match};
        }
    }
    return best;
}

TEST(Preview, SoundAfterASeekIsWhereTheMixHasIt)
{
    const std::string mixPath = reference() + "/show.wav";
    testing::Xvfb x(TOLVA_TEST_DISPLAY + 15, "1280x720x24");
    ASSERT_TRUE(x.started());
    const std::string wav = testing::scratchFile("preview-sound-test.wav");
    const std::string conf = testing::scratchFile("preview-sound-test.conf");
    std::remove(wav.c_str());
    std::ofstream(conf) << "[general]\ndrivers = wave\nfrequency = 44100\nchannels = stereo\n"
                           "sample-type = int16\ndither = false\n[wave]\nfile = " << wav << "\n";
    // Seeks while paused, then a second and a half of sound from each: voiceThree looping at its
    // low pitch in scene 1, the closing theme in scene 8.
    const long moments[2] = {3000, sceneStarts[7] + 600};
    {
        Preview preview(x.display(), "--paused --from 40", {{"ALSOFT_CONF", conf}, {"ALSOFT_DRIVERS", ""}});
        ASSERT_FALSE(preview.line(2).empty());
        preview.key("Next");
        ASSERT_FALSE(preview.line(3).empty());
        preview.key("space");
        ASSERT_FALSE(preview.line(4).empty());
        std::this_thread::sleep_for(1500ms);
        preview.key("space");
        preview.key("8");
        EXPECT_NE(preview.line(6).find("scene 8"), std::string::npos);
        preview.key("Next");
        EXPECT_NE(preview.line(7).find(std::to_string(moments[1])), std::string::npos);
        preview.key("space");
        ASSERT_FALSE(preview.line(8).empty());
        std::this_thread::sleep_for(1500ms);
        EXPECT_EQ(preview.quit(), 0);
    }
    const std::vector<double> sound = testing::leftChannel(wav);
    const std::vector<double> mix = testing::leftChannel(mixPath);
    ASSERT_FALSE(mix.empty());
    std::size_t at = 0;
    for (const long moment : moments) {
        while (at < sound.size() && sound[at] == 0) {
            ++at;
        }
        ASSERT_LT(at + 44100, sound.size()) << "no sound from frame " << moment;
        // Past OpenAL's fade-in of a sound started part of the way in. The match is not exact:
        // SFML hands the offset over in whole microseconds, so the resampler's fraction differs.
        const long expected = moment * 735 + 256;
        const auto [lag, match] = placeInMix(sound, at + 256, mix, expected);
        EXPECT_LE(std::labs(lag - expected), 735) << "frame " << moment;
        EXPECT_GT(match, 0.95) << "frame " << moment;
        // On past this piece, to the silence of the pause.
        std::size_t zeros = 0;
        for (; at < sound.size() && zeros < 4410; ++at) {
            zeros = sound[at] == 0 ? zeros + 1 : 0;
        }
    }
}

} // namespace
} // namespace tolva
