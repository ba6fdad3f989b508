// tolva-flashes on short videos made here with ffmpeg's own sources, 160x90 at 60 frames a second,
// whose flashes are known by construction: frame N is white (or red) while the expression says so.

#include "FlashCounter.h"
#include "support/Shell.h"

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path scratch()
{
    const fs::path dir = fs::temp_directory_path() / ("tolva-flashes-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir;
}

using tolva::testing::Outcome;
using tolva::testing::run;
using tolva::testing::text;

// A video of `seconds` whose red, green and blue are the given geq expressions of the frame
// number N (and the pixel's X, Y): lossless FFV1 in Matroska, or H.264 as players get it.
fs::path video(const std::string& name, double seconds, const std::string& r, const std::string& g,
               const std::string& b, const std::string& extra = "")
{
    const fs::path out = scratch() / name;
    const std::string source = "color=black:s=160x90:r=60:d=" + std::to_string(seconds) +
                               ",format=gbrp,geq=r='" + r + "':g='" + g + "':b='" + b + "'";
    const bool h264 = out.extension() == ".mp4";
    const Outcome made = run("ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i \"" + source + "\" " +
                             extra + (h264 ? " -c:v libx264 -pix_fmt yuv420p " : " -c:v ffv1 ") + "'" +
                             out.string() + "'");
    EXPECT_EQ(made.status, 0) << made.output;
    return out;
}
fs::path grey(const std::string& name, double seconds, const std::string& level, const std::string& extra = "")
{
    return video(name, seconds, level, level, level, extra);
}

Outcome flashes(const fs::path& file, const std::string& options = "")
{
    return run(std::string(TOLVA_FLASHES) + " " + options + " '" + file.string() + "'");
}

bool says(const Outcome& outcome, const std::string& line)
{
    return outcome.output.find(line) != std::string::npos;
}

class Flashes : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(scratch()); }
};

// Full-screen black and white: 2 flashes a second pass; 5 from 1.0 s (frame 60) to the last
// change at 2.9 s (frame 174) fail, in H.264 as a capture has it, with its chapters.
TEST_F(Flashes, FullScreenFlashesAtKnownRates)
{
    const Outcome slow = flashes(grey("2hz.mkv", 3, "255*lt(mod(N,30),15)"));
    EXPECT_EQ(slow.status, 0) << slow.output;
    EXPECT_TRUE(says(slow, "passes: at most 2 flashes and 0 red flashes in any one second")) << slow.output;

    const fs::path chapters = scratch() / "chapters.txt";
    std::ofstream(chapters) << ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1000\ntitle=Lead-in\n"
                               "[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=4000\ntitle=Strobe, at 5 Hz\n";
    const fs::path burst = grey("burst.mp4", 4, "255*gte(N,60)*lt(N,180)*lt(mod(N,12),6)",
                                "-i '" + chapters.string() + "' -map 0:v -map_chapters 1");
    const fs::path csv = scratch() / "burst.csv", plot = scratch() / "burst.png";
    const Outcome fast = flashes(burst, "--csv '" + csv.string() + "' --plot '" + plot.string() + "'");
    EXPECT_EQ(fast.status, 1) << fast.output;
    EXPECT_TRUE(says(fast, "\nfails at 1.0-2.9 s: 5 flashes in one second\n")) << fast.output;

    std::istringstream rows(text(csv));
    std::string row;
    std::getline(rows, row);
    EXPECT_EQ(row, "time,luminance_flashes,red_flashes,area,red_area");
    int frames = 0;
    double most = 0.0, mostRed = 0.0;
    while (std::getline(rows, row)) {
        double time = 0, luminance = 0, red = 0, area = 0, redArea = 0;
        ASSERT_EQ(std::sscanf(row.c_str(), "%lf,%lf,%lf,%lf,%lf", &time, &luminance, &red, &area, &redArea), 5)
            << row;
        EXPECT_NEAR(time, frames / 60.0, 1e-4);
        // Every change is the whole picture's, at frames 60 (brighter), 66 (darker), ... 174.
        const bool change = frames >= 60 && frames <= 174 && frames % 6 == 0;
        EXPECT_EQ(area, change ? 1.0 : 0.0) << row;
        EXPECT_EQ(redArea, 0.0) << row;
        most = std::max(most, luminance);
        mostRed = std::max(mostRed, red);
        ++frames;
    }
    EXPECT_EQ(frames, 240);
    EXPECT_EQ(most, 5.0);
    EXPECT_EQ(mostRed, 0.0);
    sf::Image image;
    ASSERT_TRUE(image.loadFromFile(plot.string()));
    EXPECT_EQ(image.getSize(), sf::Vector2u(1600, 480));
}

// Straight on the counter, a row of pixels white where `white(frame, x)`, over two seconds: the
// most transitions a quarter of it made in a second, and the spans that fail.
std::pair<int, std::size_t> mostInRow(int width, bool (*white)(int, int), long rate = 60)
{
    tolva::flashes::FlashCounter counter(width, 1, rate, 1);
    int transitions = 0;
    for (int n = 0; n < 2 * rate; ++n) {
        std::vector<std::uint8_t> frame;
        for (int x = 0; x < width; ++x) {
            frame.insert(frame.end(), 3, white(n, x) ? 255 : 0);
        }
        transitions = std::max(transitions, counter.add(frame.data()).transitions);
    }
    return std::pair(transitions, counter.finish().size());
}

// A patch of 11% of the picture flashing 5 times a second passes; one of exactly a quarter fails
// (on a row, straight on the counter). Red and green of the same luminance are red flashes only; a
// slow fade is no flash.
TEST_F(Flashes, AreaColourAndFades)
{
    EXPECT_EQ(mostInRow(100, [](int n, int x) { return x < 11 && n % 12 < 6; }), std::pair(0, std::size_t{0}));
    EXPECT_EQ(mostInRow(100, [](int n, int x) { return x < 25 && n % 12 < 6; }), std::pair(10, std::size_t{1}));

    // (255, 0, 0) and (0, 149, 0): relative luminance 0.2126 and 0.2150.
    const Outcome red = flashes(video("red.mkv", 2, "255*lt(mod(N,12),6)", "149*gte(mod(N,12),6)", "0"));
    EXPECT_EQ(red.status, 1) << red.output;
    EXPECT_TRUE(says(red, "fails at 0.1-1.9 s: 5 red flashes in one second")) << red.output;
    EXPECT_TRUE(says(red, "at most 0 flashes and 5 red flashes")) << red.output;

    // Black to white and back, 3 s each way: one rise and one fall, seconds apart.
    const Outcome fade = flashes(grey("fade.mkv", 6, "255*(1-abs(N-180)/180)"));
    EXPECT_EQ(fade.status, 0) << fade.output;
    EXPECT_TRUE(says(fade, "passes: at most 0.5 flashes and 0 red flashes")) << fade.output;
}

// Motion flashes only as often as it passes a pixel. A bar a tenth of a row wide sweeping along it
// twice a second passes each pixel twice (4 transitions); dots a twentieth apart drifting one
// pixel a frame, so that each pixel turns white 3 frames in 20, flash it 3 times a second; a band
// that sweeps back and forth 5 times a second, each pixel a frame or two after its neighbour, fails,
// as a strobe of 5 a second does at 120 frames a second (a second is 120 frames, not 60 or 64).
TEST_F(Flashes, MotionFlashesAsOftenAsItPasses)
{
    EXPECT_EQ(mostInRow(4, [](int n, int) { return n % 24 < 12; }, 120), std::pair(10, std::size_t{1}));
    EXPECT_EQ(mostInRow(300, [](int n, int x) { return (x - n * 10 + 3000) % 300 < 30; }), std::pair(4, std::size_t{0}));
    EXPECT_EQ(mostInRow(200, [](int n, int x) { return (x - n + 200) % 20 < 3; }), std::pair(6, std::size_t{0}));
    EXPECT_EQ(mostInRow(10, [](int n, int x) { return (n - 1 - x / 2 + 12) % 12 < 6; }), std::pair(10, std::size_t{1}));
}

// Regions flashing in opposite phase add up: a row whose stretches swap black and white 5 times a
// second flashes all over, though its mean luminance never changes; at 2 it passes.
TEST_F(Flashes, OppositePhasesAddUp)
{
    EXPECT_EQ(mostInRow(160, [](int n, int x) { return (x / 20 + n / 6) % 2 == 1; }), std::pair(10, std::size_t{1}));
    EXPECT_EQ(mostInRow(160, [](int n, int x) { return (x / 20 + n / 15) % 2 == 1; }), std::pair(4, std::size_t{0}));
}

TEST_F(Flashes, WhatCannotBeReadOrWrittenIsStatusTwo)
{
    const fs::path notVideo = scratch() / "notes.mp4";
    std::ofstream(notVideo) << "not a video\n";
    const Outcome garbage = flashes(notVideo);
    EXPECT_EQ(garbage.status, 2) << garbage.output;
    EXPECT_TRUE(says(garbage, "cannot read")) << garbage.output;

    EXPECT_EQ(flashes(scratch() / "missing.mp4").status, 2);
    const fs::path good = grey("still.mkv", 1, "128");
    const Outcome unwritable = flashes(good, "--csv '" + (scratch() / "no" / "such.csv").string() + "'");
    EXPECT_EQ(unwritable.status, 2) << unwritable.output;
    EXPECT_TRUE(says(unwritable, "cannot write")) << unwritable.output;
}

} // namespace
