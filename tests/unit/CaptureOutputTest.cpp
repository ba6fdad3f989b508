// What the capture writes around the show: the part of it chosen, the checks made before any work,
// the chapters, the enlarged picture, the stills and their contact sheet, the progress line.

#include "capture/Capture.h"
#include "capture/Chapters.h"
#include "capture/FfmpegPipe.h"
#include "capture/Progress.h"
#include "capture/Stills.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using namespace tolva;
namespace fs = std::filesystem;

CaptureOptions part(double from, double to, int fps = 60, std::string out = "")
{
    CaptureOptions options;
    options.fps = fps;
    options.from = from;
    options.to = to;
    options.out = out.empty() ? (fs::temp_directory_path() / "tolva-capture-options-test.mp4").string() : out;
    return options;
}

TEST(CaptureOutput, TheRangeIsWholeFramesOfTheLoopAndBadRequestsAreRefusedBeforeAnyWork)
{
    EXPECT_EQ(frameRange(part(60, 63)).last, 3780);
    EXPECT_EQ(frameRange(part(61.3, 61.35)).last - frameRange(part(61.3, 61.35)).first, 3);
    EXPECT_EQ(frameRange(part(10, 12, 24)).first, 240);
    EXPECT_EQ(frameRange(part(340, 1e300)).last, LONG_MAX) << "to the show's end";

    for (const auto& [options, refusal] :
         {std::pair{part(60, 63), ""}, std::pair{part(340, 1e300), ""}, std::pair{part(63, 60), "-"},
          std::pair{part(-1, 3), "-"}, std::pair{part(1.0, 1.001), "-"} /* not one whole frame */,
          std::pair{part(0, 1, 1000), "-"}, std::pair{part(346, 347), "-"} /* past the show's end */,
          std::pair{part(0, 1, 60, "/no/such/folder/show.mp4"), "/no/such/folder/show.mp4"},
          std::pair{part(0, 1, 60, "x.avi"), ".mkv"}}) {
        const auto refused = checkOptions(options, "/usr/bin/ffmpeg");
        EXPECT_EQ(refused.has_value(), *refusal != '\0') << options.from << " " << options.out;
        EXPECT_NE(refused.value_or("").find(refusal), std::string::npos) << refused.value_or("");
    }
    EXPECT_NE(checkOptions(part(0, 1), "").value_or("").find("--frames"), std::string::npos)
        << "without ffmpeg, say what works without it";
    EXPECT_FALSE(fs::exists(part(0, 1).out)) << "the checks leave nothing behind";
}

TEST(CaptureOutput, FfmpegGetsOutputsOnlyAsFilesAndFromPathsThatNameFolders)
{
    const std::string here = fs::current_path().string();
    const auto mux = muxCommand("ffmpeg", "v.mp4", "s.wav", "c.txt", "-x.mov", Container::mov, AudioTrack::lossless);
    for (const std::string& argument :
         {"file:" + here + "/s.wav", "file:" + here + "/c.txt", "file:" + here + "/-x.mov", std::string("alac")}) {
        EXPECT_NE(std::find(mux.begin(), mux.end(), argument), mux.end()) << argument;
    }
    EXPECT_EQ(containerOf("Show.MOV"), Container::mov);
    EXPECT_FALSE(containerOf("show.avi"));

    // An empty entry of PATH is no folder: a program lying in the current folder is not run.
    const auto dir = fs::temp_directory_path() / "tolva-path-test";
    fs::create_directories(dir);
    std::ofstream(dir / "tolva-fake-tool") << "#!/bin/sh\n";
    fs::permissions(dir / "tolva-fake-tool", fs::perms::owner_all);
    const std::string oldPath = std::getenv("PATH");
    const auto oldDir = fs::current_path();
    fs::current_path(dir);
    setenv("PATH", "/nonexistent::/also-nonexistent:", 1);
    EXPECT_FALSE(findProgram("tolva-fake-tool"));
    setenv("PATH", (":" + dir.string()).c_str(), 1);
    EXPECT_EQ(findProgram("tolva-fake-tool"), (dir / "tolva-fake-tool").string());
    setenv("PATH", oldPath.c_str(), 1);
    fs::current_path(oldDir);
    fs::remove_all(dir);
}

TEST(CaptureOutput, ChaptersStartWhereEachScenesPictureIsShownAndTheLeadInOpensTheFirst)
{
    // At 60 frames a second: the lead-in's last iteration presents scene 1's first frame after
    // its own, as each hand-over presents the new scene last.
    std::vector<Chapter> chapters;
    const std::vector<std::pair<long, std::vector<int>>> frames = {
        {0, {0}}, {19, {0, 1}}, {20, {1}}, {3599, {1}}, {3679, {1, 2}}, {3680, {}}, {5838, {2, 3}}};
    for (const auto& [frame, scenes] : frames) {
        noteFrame(chapters, frame, scenes);
    }
    ASSERT_EQ(chapters.size(), 3u);
    EXPECT_EQ(std::tuple(chapters[1].scene, chapters[1].firstFrame), std::tuple(2, 3679L));
    EXPECT_EQ(ffmetadata(chapters, 6000, 60),
              ";FFMETADATA1\n"
              "[CHAPTER]\nTIMEBASE=1/60\nSTART=0\nEND=3679\ntitle=Spiral circle grid, credits, title\n"
              "[CHAPTER]\nTIMEBASE=1/60\nSTART=3679\nEND=5838\ntitle=Circle columns and square cascade\n"
              "[CHAPTER]\nTIMEBASE=1/60\nSTART=5838\nEND=6000\ntitle=Greetings scroller\n");
    // Whole seconds, rounded down: 61.32 s and 97.3 s; 59.98 s would be 0:59, never 1:00.
    EXPECT_EQ(descriptionLines(chapters, 60),
              "0:00 Spiral circle grid, credits, title\n1:01 Circle columns and square cascade\n1:37 Greetings scroller\n");
    EXPECT_EQ(descriptionLines({{8, 3599}}, 60), "0:59 Ending\n");
}

// The video's filters, run by ffmpeg on a picture of random colours into raw 4:2:0: at scale 2
// the brightness is the 1080p video's in 2x2 blocks, and each block's colour its own pixel's,
// exactly (a picture of any size goes through the same filters).
TEST(CaptureOutput, TheEnlargedPictureKeepsEveryPixelsColourInItsOwnBlock)
{
    const auto ffmpeg = findProgram("ffmpeg");
    if (!ffmpeg) {
        GTEST_SKIP() << "needs ffmpeg";
    }
    const fs::path dir = fs::temp_directory_path() / "tolva-capture-scale-test";
    fs::create_directories(dir);
    constexpr std::size_t w = 64, h = 36;
    std::string rgba(w * h * 4, '\xff');
    std::mt19937 random(5);
    for (std::size_t k = 0; k < rgba.size(); ++k) {
        rgba[k] = k % 4 == 3 ? '\xff' : static_cast<char>(random());
    }
    std::ofstream(dir / "in.rgba", std::ios::binary) << rgba;
    const auto filtered = [&](int scale, const std::string& more, const char* pixels) {
        const std::vector<std::string> encoding = videoEncoding(VideoFormat{w, h, 60, scale});
        const std::string out = (dir / (std::to_string(scale) + pixels)).string();
        const std::string command = *ffmpeg + " -v error -y -f rawvideo -pix_fmt rgba -video_size 64x36 -i " +
                                    (dir / "in.rgba").string() + " -vf " + encoding[1] + more +
                                    " -f rawvideo -pix_fmt " + pixels + " " + out;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return std::string(std::istreambuf_iterator<char>(std::ifstream(out, std::ios::binary).rdbuf()), {});
    };
    const std::string full = filtered(1, ",format=yuv444p", "yuv444p");  // Y, U, V of every pixel
    const std::string big = filtered(2, "", "yuv420p");
    ASSERT_EQ(full.size(), w * h * 3);
    ASSERT_EQ(big.size(), 4 * w * h * 3 / 2) << "3840x2160 from 1920x1080";
    std::size_t wrong = 0;
    for (std::size_t y = 0; y < 2 * h; ++y) {
        for (std::size_t x = 0; x < 2 * w; ++x) {
            wrong += big[y * 2 * w + x] != full[y / 2 * w + x / 2];
        }
    }
    EXPECT_EQ(wrong, 0u) << "luma samples not their pixel's";
    EXPECT_EQ(big.substr(4 * w * h), full.substr(w * h)) << "the chroma planes, one sample per pixel";
    fs::remove_all(dir);
}

TEST(CaptureOutput, StillsFollowEachScenesFirstFrameAndTheSheetHoldsThemAtAQuarter)
{
    StillPlan plan(60);
    plan.sceneRan(1, 19);
    plan.sceneRan(1, 20);
    plan.sceneRan(2, 3679);
    EXPECT_EQ(plan.iterationOf(2), 3679 + 16 * 60);
    EXPECT_EQ(plan.stillAt(3679 + 960), 2);
    EXPECT_FALSE(plan.stillAt(3679 + 961));

    std::array<std::optional<sf::Image>, 8> stills;
    for (unsigned k = 0; k < 8; ++k) {
        if (k != 5) {  // a scene the run never reached stays black
            stills[k].emplace();
            stills[k]->create(1920, 1080, sf::Color(static_cast<sf::Uint8>(10 * k), 0, 0));
            // One block of 4 x 4 pixels, two of them bright: it shrinks to their rounded mean.
            stills[k]->setPixel(4, 8, sf::Color::White);
            stills[k]->setPixel(5, 9, sf::Color::White);
        }
    }
    const sf::Image sheet = contactSheet(stills);
    ASSERT_EQ(sheet.getSize(), sf::Vector2u(1920, 540));
    EXPECT_EQ(sheet.getPixel(2 * 480 + 7, 270 + 9), sf::Color(60, 0, 0));  // scene 7: bottom row
    EXPECT_EQ(sheet.getPixel(1 * 480 + 7, 270 + 9), sf::Color(0, 0, 0));   // scene 6 missing
    // Scene 2's tile: (2 x 255 + 14 x 10) / 16 = 40.6 -> 41 red, 2 x 255 / 16 = 31.9 -> 32 green.
    EXPECT_EQ(sheet.getPixel(480 + 1, 2), sf::Color(41, 32, 32));
}

TEST(CaptureOutput, ProgressShowsDoneRateAndTimeLeft)
{
    EXPECT_EQ(clockText(3909), "1:05:09");

    // A phase's first update already has a rate (its step counts from the update before), and
    // the time left follows the last half minute, not a slow start.
    char text[4096] = {};
    std::FILE* out = fmemopen(text, sizeof text - 1, "w");
    const Progress::Clock::time_point start = Progress::Clock::now();
    Progress progress(out, false);
    progress.update("running up to 60.00 s", 1, 600, "iterations", start + std::chrono::milliseconds(500));
    for (long done = 1; done < 10; ++done) {  // a slow minute
        progress.update("capturing", done, 300, "frames", start + std::chrono::seconds(6 * done + 6));
    }
    for (long done = 10; done <= 300; ++done) {  // then 10 a second
        progress.update("capturing", done, 300, "frames", start + std::chrono::milliseconds(60000 + 100 * (done - 9)));
    }
    std::fclose(out);
    const std::string lines = text;
    for (const char* expected : {"1/600 iterations  2.0 iterations/s  4:59 left",
                                 "capturing [------------------------------] 1/300 frames  0.1 frames/s  57:19 left",
                                 "capturing [##########--------------------] 109/300 frames  4.6 frames/s  0:41 left",
                                 "300/300 frames  10.0 frames/s  0:00 left"}) {
        EXPECT_NE(lines.find(expected), std::string::npos) << lines;
    }
}

} // namespace
