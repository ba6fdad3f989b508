// tolva-capture end to end, under an X display, at 10 frames a second so that few frames are
// rendered by software GL.

#include "capture/FfmpegPipe.h"
#include "capture/Mixer.h"
#include "capture/Output.h"
#include "driver/Show.h"
#include "support/Shell.h"

#include <SFML/Audio/InputSoundFile.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tolva::testing::Outcome;
using tolva::testing::run;
using tolva::testing::text;

fs::path scratch(const std::string& name, bool emptied = false)
{
    const fs::path path = fs::temp_directory_path() / "tolva-capture-e2e" / name;
    if (emptied) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    fs::create_directories(path.parent_path());
    return path;
}

std::string capture(const std::string& arguments)
{
    return std::string(TOLVA_CAPTURE) + " --fps 10 " + arguments;
}

// Every file under dir, one a line, sorted.
std::string filesIn(const fs::path& dir)
{
    return run("cd " + dir.string() + " && find . -type f | sort").output;
}

// Every match of a pattern in a file, its groups joined by spaces.
std::vector<std::string> matches(const fs::path& path, const std::string& pattern)
{
    const std::string all = text(path);
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (std::sregex_iterator it(all.begin(), all.end(), re), end; it != end; ++it) {
        found.push_back((*it)[1].str());
        for (std::size_t group = 2; group < it->size(); ++group) {
            found.back() += " " + (*it)[group].str();
        }
    }
    return found;
}

// A WAV file's sound; none (silence) if there is no such file.
tolva::SoundClip readWav(const fs::path& path)
{
    sf::InputSoundFile file;
    if (!file.openFromFile(path.string())) {
        return {};
    }
    tolva::SoundClip clip{file.getChannelCount(), file.getSampleRate(), std::vector<sf::Int16>(file.getSampleCount())};
    clip.samples.resize(file.read(clip.samples.data(), clip.samples.size()));
    return clip;
}

// One line per stream and section: the entries asked for, comma separated.
std::string probe(const std::string& entries, const fs::path& file)
{
    return run("ffprobe -v error -count_frames -show_entries " + entries + " -of csv=p=0 file:" + file.string()).output;
}

struct CaptureEndToEnd : ::testing::Test {
    void SetUp() override
    {
        if (!tolva::displayAvailable()) {
            GTEST_SKIP() << "needs an X display";
        }
    }

    // Two seconds of sound at 10 frames a second: a frame is 4410 samples.
    static auto at(const tolva::SoundClip& sound, std::size_t n)
    {
        return sound.samples.begin() + static_cast<std::ptrdiff_t>(2 * n);
    }

    // voiceThree up to the hand-over frame's first sample, from there klezSound alone, mixed as
    // OpenAL plays the file (silence if the run folder has none).
    static void expectSoundChangesOnTheFrame(const tolva::SoundClip& sound, long handOver)
    {
        const std::size_t cut = static_cast<std::size_t>(handOver) * 4410;
        EXPECT_GT(std::count_if(at(sound, cut - 4410), at(sound, cut), [](sf::Int16 s) { return s != 0; }),
                  2 * 4410 * 9 / 10)
            << "voiceThree sounds through the frame before";
        const tolva::SoundClip klez = readWav("sounds/klez.wav");
        const std::vector<sf::Int16> klezAlone =
            tolva::mixStereo({{&klez, false, 1.0f, 0, tolva::neverStopped}}, 0, static_cast<std::int64_t>(88200 - cut));
        EXPECT_TRUE(std::equal(klezAlone.begin(), klezAlone.end(), at(sound, cut)));
    }

    // The same frames and samples from a capture starting on the hand-over frame, kept though
    // scene 2's clocks see the work of scene 1's last step, and without --out.
    static void expectALaterStartGivesTheSame(const fs::path& log, const tolva::SoundClip& sound, long handOver)
    {
        const fs::path laterLog = scratch("later.jsonl");
        const fs::path laterWav = scratch("later.wav");
        const long from = 620 + handOver;
        const Outcome later = run(capture("--from " + std::to_string(from / 10) + "." + std::to_string(from % 10) +
                                          " --to 63.9 --log " + laterLog.string() + " --wav " + laterWav.string()));
        ASSERT_EQ(later.status, 0) << later.output;
        const std::vector<std::string> hashes = matches(log, R"re("hash":"(\w+)")re");
        EXPECT_EQ(matches(laterLog, R"re("hash":"(\w+)")re"),
                  std::vector<std::string>(hashes.begin() + handOver, hashes.end() - 1));
        const std::size_t cut = static_cast<std::size_t>(handOver) * 4410;
        const std::vector<sf::Int16> part = readWav(laterWav).samples;
        ASSERT_EQ(part.size(), 2u * (88200u - cut - 4410u));
        EXPECT_TRUE(std::equal(part.begin(), part.end(), at(sound, cut)));
    }
};

TEST_F(CaptureEndToEnd, HandOverCaptureHasEveryFrameAndItsSoundChangesOnTheFrame)
{
    const fs::path video = scratch("handover.mp4");
    const fs::path log = scratch("handover.jsonl");
    const fs::path wav = scratch("handover.wav");
    const fs::path pasteable = scratch("handover-chapters.txt");
    const Outcome capturing = run(capture("--from 62 --to 64 --out " + video.string() + " --log " + log.string() +
                                          " --wav " + wav.string()) + " >" + pasteable.string());
    ASSERT_EQ(capturing.status, 0) << capturing.output;

    // Exactly 10 x 2 frames at exactly 10 per second, a sound stream as long, and the chapters'
    // text track.
    EXPECT_EQ(probe("stream=codec_name,r_frame_rate,duration,nb_read_frames", video),
              "h264,10/1,2.000000,20\naac,0/0,2.000000,87\nbin_data,0/0,2.000000,N/A\n");

    // Twenty frames, one of them the hand-over; the cues of scene 2's first frame sit on it.
    const std::vector<std::string> numbers = matches(log, R"re(\{"frame":(\d+),)re");
    EXPECT_EQ(std::tuple(numbers.size(), numbers.front(), numbers.back()), std::tuple(20u, "0", "19"));
    const std::vector<std::string> handOvers =
        matches(log, R"re(\{"frame":(\d+),[^\n]*"scenes":\[1,2\],"presents":2,)re");
    ASSERT_EQ(handOvers.size(), 1u) << "one hand-over, presenting two frames";
    const long handOver = std::stol(handOvers[0]);
    ASSERT_GE(handOver, 1) << "the range holds the hand-over, after its first frame";
    const std::string at = std::to_string(handOver);
    EXPECT_EQ(matches(log, R"re(\{"cue":"(\w+)","action":"(\w+)","iteration":\d+,"frame":(\d+),)re"),
              (std::vector<std::string>{"voiceThree stop " + at, "klezSound play " + at}));

    // Scene 2's chapter starts on the hand-over frame, in the video and at the log's end; the
    // list to paste into a description is all that standard output holds.
    const std::string second = std::to_string(handOver / 10) + "." + std::to_string(handOver % 10);
    EXPECT_EQ(probe("chapter=start_time,end_time:chapter_tags=title", video),
              "0.000000," + second + "00000,\"Spiral circle grid, credits, title\"\n" + second +
                  "00000,2.000000,Circle columns and square cascade\n");
    const std::string logText = text(log);
    EXPECT_EQ(logText.substr(logText.find("\n{\"chapter\"") + 1),
              R"({"chapter":1,"scene":1,"title":"Spiral circle grid, credits, title","frame":0,"iteration":620,"start":0,"end":)" +
                  second + "}\n" + R"({"chapter":2,"scene":2,"title":"Circle columns and square cascade","frame":)" + at +
                  R"(,"iteration":)" + std::to_string(620 + handOver) + R"(,"start":)" + second + R"(,"end":2})" "\n");
    EXPECT_EQ(text(pasteable), "0:00 Spiral circle grid, credits, title\n0:00 Circle columns and square cascade\n");

    const tolva::SoundClip sound = readWav(wav);
    ASSERT_EQ(std::tuple(sound.channels, sound.sampleRate, sound.samples.size()), std::tuple(2u, 44100u, 2u * 88200u));
    expectSoundChangesOnTheFrame(sound, handOver);
    expectALaterStartGivesTheSame(log, sound, handOver);
}

// The 4K master, over the hand-over, in Matroska: its size, and the chapters there too. (That each
// 2x2 block keeps its own pixel's colour is a property of the filters, tested on raw pictures
// among the unit tests: H.264 at CRF 18 does not keep it exactly.) Its progress goes to the
// descriptor given, for a program: nothing on stderr then.
TEST_F(CaptureEndToEnd, ScaleTwoWritesA4kVideoWithTheChaptersOfItsFrames)
{
    const fs::path video = scratch("scaled.mkv");
    const Outcome capturing = run(capture("--from 62.8 --to 63 --scale 2 --progress 3 --out " + video.string()) +
                                  " 3>/dev/null >/dev/null");
    ASSERT_EQ(capturing.status, 0) << capturing.output;
    EXPECT_EQ(capturing.output, "") << "nothing on stderr";
    EXPECT_EQ(probe("stream=codec_name,width,height,nb_read_frames", video), "h264,3840,2160,2\naac,10\n");
    EXPECT_EQ(probe("chapter=start_time:chapter_tags=title", video),
              "0.000000,\"Spiral circle grid, credits, title\"\n0.100000,Circle columns and square cascade\n");
}

TEST_F(CaptureEndToEnd, RefusesBadRequestsInOneLineBeforeAnyWork)
{
    for (const std::string arguments : {"--from 5 --to 2", "--no-such-option", "--out x.avi", "--scale 0", "--scale 5",
                                        "--progress 9", "--progress -2", "no display"}) {
        const Outcome refused = run(arguments == "no display" ? "env -u DISPLAY " + capture("--from 1 --to 2")
                                                              : capture(arguments));
        EXPECT_EQ(refused.status, arguments == "no display" ? 1 : 2) << arguments;
        EXPECT_EQ(std::count(refused.output.begin(), refused.output.end(), '\n'), 1) << refused.output;
        EXPECT_EQ(refused.output.rfind("tolva-capture: ", 0), 0u) << refused.output;
    }
}

TEST_F(CaptureEndToEnd, AFailedWriteStopsTheCaptureNamingTheFileAndLeavesNothingBroken)
{
    // A 1 MB tmpfs, filled up: every write there fails with "No space left on device".
    const fs::path disk = scratch("full-disk", true);
    if (geteuid() != 0 || run("mount -t tmpfs -o size=1m tmpfs " + disk.string()).status != 0) {
        GTEST_SKIP() << "needs to mount a small tmpfs, which takes root";
    }
    run("cat /dev/zero >" + (disk / "filler").string());
    // An ffmpeg that fails at once, saying nothing, and one that fails to join, saying why and
    // leaving a broken file where it was told to write.
    const std::string real = tolva::findProgram("ffmpeg").value_or("/usr/bin/ffmpeg");
    for (const auto& [bin, script] :
         {std::pair{scratch("mute-ffmpeg", true), std::string("exit 1")},
          std::pair{scratch("joinless-ffmpeg", true),
                    "for a; do last=$a; done\ncase \" $* \" in *\" copy \"*) echo 'no room for the join' >&2;"
                    " printf broken > \"${last#file:}\"; exit 1;; esac\nexec " + real + " \"$@\""}}) {
        std::ofstream(bin / "ffmpeg") << "#!/bin/sh\n" << script << "\n";
        fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
    }
    const auto onPath = [](const std::string& bin) { return "PATH=" + scratch(bin).string() + ":$PATH "; };
    const fs::path out = scratch("failing", true);
    const std::string noSpace = "No space left on device";
    struct Case {
        std::string environment, arguments, lastLineNames, said;
        fs::path folder;
        std::string left;
    };
    for (const Case& c : std::vector<Case>{
             {"", "--frames " + (disk / "fr").string(), (disk / "fr" / "frame000000.png").string(), noSpace, disk,
              "./filler\n"},
             {"", "--log " + (disk / "l.jsonl").string(), (disk / "l.jsonl").string(), noSpace, disk, "./filler\n"},
             {"", "--wav " + (disk / "w.wav").string(), (disk / "w.wav").string(), noSpace, disk, "./filler\n"},
             {"", "--out " + (disk / "v.mp4").string(), "its message is above", noSpace, disk, "./filler\n"},
             {onPath("mute-ffmpeg"), "--out " + (out / "x.mp4").string(), "without saying why", "", out, ""},
             {onPath("joinless-ffmpeg"), "--out " + (out / "x.mp4").string(), "its message is above",
              "no room for the join", out, ""}}) {
        const Outcome failed = run(c.environment + capture("--from 0 --to 0.3 " + c.arguments));
        EXPECT_EQ(failed.status, 1) << c.arguments << "\n" << failed.output;
        const std::string last = failed.output.substr(failed.output.rfind('\n', failed.output.size() - 2) + 1);
        EXPECT_EQ(last.rfind("tolva-capture: ", 0), 0u) << failed.output;
        EXPECT_NE(last.find(c.lastLineNames), std::string::npos) << failed.output;
        EXPECT_NE(failed.output.find(c.said), std::string::npos) << failed.output;
        EXPECT_EQ(filesIn(c.folder), c.left) << c.arguments << ": nothing broken under the name asked for";
    }
    run("umount -l " + disk.string());
}

// In a run folder whose klez.wav declares 2 GB of samples and holds 1 MB, a capture to a name
// that reads as an option, stopped by a polite kill once frames are being captured.
TEST_F(CaptureEndToEnd, SigtermStopsLikeCtrlCAndALyingSoundFileIsNotUsed)
{
    const fs::path dir = scratch("lying-sound", true);
    fs::create_directories(dir / "sounds");
    for (const char* folder : {"fonts", "graphics", "shaders"}) {
        fs::create_directory_symlink(fs::absolute(folder), dir / folder);
    }
    std::ofstream(dir / "sounds/klez.wav", std::ios::binary)
        << tolva::wavHeader(1, 44100, 0x7ffffff0u) << std::string(1 << 20, '\x01');

    const Outcome stopped =
        run("cd " + dir.string() + " && { /usr/bin/time -f 'peak %M KB' " +
            capture("--from 1 --to 30 --audio lossless --out=-x.mkv") +
            " 2>messages & pid=$!; for i in $(seq 600); do [ $(wc -l <messages) -ge 3 ] && break; sleep 0.1; done;"
            " sleep 2; kill -TERM $(cat /proc/$pid/task/$pid/children); wait $pid; echo exit $?; cat messages; }");
    const std::string& said = stopped.output;
    for (const char* expected :
         {"exit 130\n", "interrupted", "sounds/klez.wav (holds fewer samples than its header declares) is not used"}) {
        EXPECT_NE(said.find(expected), std::string::npos) << said;
    }
    std::smatch peak;
    ASSERT_TRUE(std::regex_search(said, peak, std::regex("peak ([0-9]+) KB"))) << said;
    EXPECT_LT(std::stol(peak[1].str()), 1024L * 1024) << "peak memory above 1 GB";
    EXPECT_EQ(filesIn(dir), "./-x.mkv\n./messages\n./sounds/klez.wav\n");
    // A playable video, its container and lossless sound chosen by its name's extension.
    const std::string streams = probe("format=format_name:stream=codec_name,nb_read_frames", dir / "-x.mkv");
    EXPECT_TRUE(std::regex_match(streams, std::regex("h264,[1-9][0-9]*\nflac,[0-9]+\n\"matroska,webm\"\n"))) << streams;
}

} // namespace
