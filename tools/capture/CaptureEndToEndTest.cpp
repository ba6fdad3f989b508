// tolva-capture end to end, under an X display, at 10 frames a second so that few frames are
// rendered by software GL.

#include "capture/FfmpegPipe.h"
#include "capture/Mixer.h"
#include "capture/Output.h"
#include "driver/Show.h"

#include <SFML/Audio/InputSoundFile.hpp>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string output;
};

Outcome run(const std::string& command)
{
    Outcome result{-1, ""};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> chunk{};
    while (fgets(chunk.data(), static_cast<int>(chunk.size()), pipe) != nullptr) {
        result.output += chunk.data();
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string capture(const std::string& arguments)
{
    return std::string(TOLVA_CAPTURE) + " --fps 10 " + arguments;
}

fs::path scratch(const std::string& name)
{
    const fs::path dir = fs::temp_directory_path() / "tolva-capture-e2e";
    fs::create_directories(dir);
    return dir / name;
}

std::vector<std::string> lines(const fs::path& path)
{
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

// A field of one of the log's JSON lines, as written.
std::string field(const std::string& line, const std::string& name)
{
    const std::regex pattern("\"" + name + "\":(\"[^\"]*\"|\\[[^\\]]*\\]|[^,}]*)");
    std::smatch match;
    return std::regex_search(line, match, pattern) ? match[1].str() : "";
}

std::vector<std::string> frameHashes(const fs::path& log)
{
    std::vector<std::string> hashes;
    for (const std::string& line : lines(log)) {
        if (line.rfind("{\"frame\":", 0) == 0) {
            hashes.push_back(field(line, "hash"));
        }
    }
    return hashes;
}

std::vector<sf::Int16> readWav(const fs::path& path, unsigned& channels, unsigned& rate)
{
    sf::InputSoundFile file;
    if (!file.openFromFile(path.string())) {
        return {};
    }
    channels = file.getChannelCount();
    rate = file.getSampleRate();
    std::vector<sf::Int16> samples(static_cast<std::size_t>(file.getSampleCount()));
    samples.resize(static_cast<std::size_t>(file.read(samples.data(), samples.size())));
    return samples;
}

class CaptureEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!tolva::displayAvailable()) {
            GTEST_SKIP() << "needs an X display";
        }
    }
};

TEST_F(CaptureEndToEnd, HandOverCaptureHasEveryFrameAndItsSoundChangesOnTheFrame)
{
    const fs::path video = scratch("handover.mp4");
    const fs::path log = scratch("handover.jsonl");
    const fs::path wav = scratch("handover.wav");
    const Outcome capturing = run(capture("--from 62 --to 64 --out " + video.string() + " --log " + log.string() + " --wav " + wav.string()));
    ASSERT_EQ(capturing.status, 0) << capturing.output;

    // The video: exactly 10 x 2 frames at exactly 10 per second, and a sound stream as long.
    const Outcome probe = run("ffprobe -v error -count_frames -show_entries "
                          "stream=codec_type,codec_name,r_frame_rate,nb_read_frames,duration -of default=noprint_wrappers=1 " +
                          video.string());
    ASSERT_EQ(probe.status, 0) << probe.output;
    auto value = [&](const std::string& key, int nth) {
        std::size_t at = 0;
        for (int k = 0; k <= nth; ++k) {
            at = probe.output.find(key + "=", k == 0 ? 0 : at + 1);
            if (at == std::string::npos) {
                return std::string();
            }
        }
        const std::size_t start = at + key.size() + 1;
        return probe.output.substr(start, probe.output.find('\n', start) - start);
    };
    EXPECT_EQ(value("codec_name", 0), "h264");
    EXPECT_EQ(value("r_frame_rate", 0), "10/1");
    EXPECT_EQ(value("nb_read_frames", 0), "20");
    EXPECT_EQ(value("codec_name", 1), "aac");
    EXPECT_NEAR(std::stod(value("duration", 0)), 2.0, 1e-3);
    EXPECT_NEAR(std::stod(value("duration", 1)), 2.0, 1e-3);

    // The log: twenty frames, one of them the hand-over, which presented two frames; the cues
    // of scene 2's first frame sit on that frame.
    long handOver = -1;
    int frames = 0;
    std::vector<std::string> cues;
    for (const std::string& line : lines(log)) {
        if (line.rfind("{\"frame\":", 0) == 0) {
            EXPECT_EQ(field(line, "frame"), std::to_string(frames));
            ++frames;
            if (field(line, "scenes") == "[1,2]") {
                EXPECT_EQ(field(line, "presents"), "2");
                handOver = std::stol(field(line, "frame"));
            }
        } else if (line.rfind("{\"cue\":", 0) == 0 && std::stol(field(line, "frame")) >= 0) {
            cues.push_back(field(line, "cue") + " " + field(line, "action") + " " + field(line, "frame"));
        }
    }
    EXPECT_EQ(frames, 20);
    ASSERT_GE(handOver, 1) << "the range holds the hand-over, after its first frame";
    const std::string at = std::to_string(handOver);
    EXPECT_EQ(cues, (std::vector<std::string>{"\"voiceThree\" \"stop\" " + at, "\"klezSound\" \"play\" " + at}));

    // The sound: voiceThree up to the hand-over frame's first sample, from there klezSound alone,
    // as OpenAL would play the file (silence if the run folder has none).
    unsigned channels = 0;
    unsigned rate = 0;
    const std::vector<sf::Int16> sound = readWav(wav, channels, rate);
    ASSERT_EQ(channels, 2u);
    ASSERT_EQ(rate, 44100u);
    ASSERT_EQ(sound.size(), 2u * 88200u);
    const std::size_t cut = static_cast<std::size_t>(handOver) * 4410;
    const auto voiced = std::count_if(sound.begin() + static_cast<std::ptrdiff_t>(2 * (cut - 4410)),
                                      sound.begin() + static_cast<std::ptrdiff_t>(2 * cut),
                                      [](sf::Int16 s) { return s != 0; });
    EXPECT_GT(voiced, 2 * 4410 * 9 / 10) << "voiceThree sounds through the frame before";

    // The same frames and samples from a capture starting on the hand-over frame, kept though
    // scene 2's clocks see the work of scene 1's last step, and without --out.
    const fs::path laterLog = scratch("later.jsonl");
    const fs::path laterWav = scratch("later.wav");
    const long from = 620 + handOver;
    const Outcome later = run(capture("--from " + std::to_string(from / 10) + "." + std::to_string(from % 10) +
                                      " --to 63.9 --log " + laterLog.string() + " --wav " + laterWav.string()));
    ASSERT_EQ(later.status, 0) << later.output;
    const std::vector<std::string> hashes = frameHashes(log);
    EXPECT_EQ(frameHashes(laterLog), std::vector<std::string>(hashes.begin() + handOver, hashes.end() - 1));
    const std::vector<sf::Int16> part = readWav(laterWav, channels, rate);
    ASSERT_EQ(part.size(), 2u * (88200u - cut - 4410u));
    EXPECT_TRUE(std::equal(part.begin(), part.end(), sound.begin() + static_cast<std::ptrdiff_t>(2 * cut)));

    unsigned klezChannels = 1;
    unsigned klezRate = 44100;
    std::vector<sf::Int16> klez = readWav("sounds/klez.wav", klezChannels, klezRate);
    if (!klez.empty() && klezRate != 44100) {
        GTEST_SKIP() << "sounds/klez.wav is not at 44.1 kHz: its samples are resampled";
    }
    for (std::size_t n = cut; n < 88200; ++n) {
        for (unsigned c = 0; c < 2; ++c) {
            const std::size_t frame = n - cut;
            sf::Int16 expected = 0;
            if (frame < klez.size() / klezChannels) {
                const sf::Int16 s = klez[frame * klezChannels + (klezChannels == 1 ? 0 : c)];
                expected = klezChannels == 1
                               ? static_cast<sf::Int16>(std::lrint(std::clamp(
                                     static_cast<float>(s) * (1.0f / 32768.0f) * tolva::monoGain * 32768.0f,
                                     -32768.0f, 32767.0f)))
                               : s;
            }
            ASSERT_EQ(sound[2 * n + c], expected) << "sample " << n << " channel " << c;
        }
    }
}

TEST_F(CaptureEndToEnd, RefusesBadRequestsInOneLineBeforeAnyWork)
{
    for (const std::string& arguments :
         {std::string("--from 5 --to 2"), std::string("--no-such-option"), std::string("--out x.avi")}) {
        const Outcome refused = run(capture(arguments));
        EXPECT_NE(refused.status, 0) << arguments;
        EXPECT_EQ(std::count(refused.output.begin(), refused.output.end(), '\n'), 1) << refused.output;
        EXPECT_EQ(refused.output.rfind("tolva-capture: ", 0), 0u) << refused.output;
    }
    const Outcome help = run(capture("--help"));
    EXPECT_NE(help.output.find("Usage: tolva-capture "), std::string::npos) << help.output;

    const Outcome blind = run("env -u DISPLAY " + capture("--from 1 --to 2 --log " + scratch("blind.jsonl").string()));
    EXPECT_EQ(blind.status, 1);
    EXPECT_EQ(std::count(blind.output.begin(), blind.output.end(), '\n'), 1) << blind.output;
}

// Every file under dir, as paths relative to it.
std::vector<std::string> filesIn(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            names.push_back(fs::relative(entry.path(), dir).string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string lastLine(const std::string& text)
{
    const std::size_t end = text.find_last_not_of('\n');
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

// A 1 MB tmpfs, filled up: every write there fails with "No space left on device".
class FullDisk {
public:
    FullDisk() : dir_(scratch("full-disk"))
    {
        if (geteuid() != 0) {
            return;
        }
        fs::create_directories(dir_);
        if (mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=1m") != 0) {
            return;
        }
        mounted_ = true;
        std::FILE* filler = std::fopen((dir_ / "filler").c_str(), "wb");
        const std::vector<char> block(65536, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size()) {
        }
        std::fclose(filler);
    }
    ~FullDisk()
    {
        if (mounted_) {
            umount2(dir_.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }
    const fs::path& dir() const { return dir_; }

private:
    fs::path dir_;
    bool mounted_ = false;
};

TEST_F(CaptureEndToEnd, AFailedWriteStopsTheCaptureNamingTheFileAndLeavesNothingBroken)
{
    FullDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << "needs to mount a small tmpfs, which takes root";
    }
    const fs::path full = disk.dir();
    for (const auto& [arguments, named] :
         {std::pair{"--frames " + (full / "fr").string(), (full / "fr" / "frame000000.png").string()},
          std::pair{"--log " + (full / "l.jsonl").string(), (full / "l.jsonl").string()},
          std::pair{"--wav " + (full / "w.wav").string(), (full / "w.wav").string()},
          std::pair{"--out " + (full / "v.mp4").string(), std::string("its message is above")}}) {
        const Outcome failed = run(capture("--from 0 --to 0.3 " + arguments));
        EXPECT_EQ(failed.status, 1) << arguments << "\n" << failed.output;
        EXPECT_EQ(lastLine(failed.output).rfind("tolva-capture: ", 0), 0u) << failed.output;
        EXPECT_NE(lastLine(failed.output).find(named), std::string::npos) << failed.output;
        EXPECT_NE(failed.output.find("No space left on device"), std::string::npos) << failed.output;
        EXPECT_EQ(filesIn(full), std::vector<std::string>{"filler"}) << arguments;
    }

    // An ffmpeg that fails at once, saying nothing, and one that fails to join, saying why and
    // leaving a broken file where it was told to write.
    const fs::path bin = scratch("fake-ffmpeg");
    fs::create_directories(bin);
    const fs::path out = scratch("failing");
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string real = tolva::findProgram("ffmpeg").value_or("/usr/bin/ffmpeg");
    for (const auto& [script, expected] :
         {std::pair{std::string("exit 1"), std::string("without saying why")},
          std::pair{"for a; do last=$a; done\n"
                    "case \" $* \" in *\" copy \"*) echo 'no room for the join' >&2;"
                    " printf broken > \"${last#file:}\"; exit 1;; esac\n"
                    "exec " + real + " \"$@\"",
                    std::string("no room for the join")}}) {
        std::ofstream(bin / "ffmpeg") << "#!/bin/sh\n" << script << "\n";
        fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
        const Outcome failed = run("PATH=" + bin.string() + ":$PATH " +
                                   capture("--from 0 --to 0.3 --out " + (out / "x.mp4").string()));
        EXPECT_EQ(failed.status, 1) << failed.output;
        EXPECT_NE(failed.output.find(expected), std::string::npos) << failed.output;
        EXPECT_EQ(failed.output.find("its message is above") != std::string::npos,
                  expected != "without saying why") << failed.output;
        EXPECT_EQ(filesIn(out), std::vector<std::string>{}) << "nothing broken under the name asked for";
    }
}

TEST_F(CaptureEndToEnd, SigtermStopsLikeCtrlCLeavingAPlayableVideo)
{
    const fs::path out = scratch("terminated");
    fs::remove_all(out);
    fs::create_directories(out);
    // Once frames are being captured (the lead-in's black ones first), a polite kill.
    const Outcome stopped = run("cd " + out.string() + " && { " + capture("--from 1 --to 30 --out t.mp4") +
                                " 2>messages & pid=$!; for i in $(seq 600); do [ $(wc -l <messages) -ge 2 ] && break;"
                                " sleep 0.1; done; sleep 2; kill -TERM $pid; wait $pid; echo exit $?; cat messages; }");
    const std::string& said = stopped.output;
    EXPECT_NE(said.find("exit 130\n"), std::string::npos) << said;
    EXPECT_NE(said.find("interrupted"), std::string::npos) << said;
    EXPECT_EQ(filesIn(out), (std::vector<std::string>{"messages", "t.mp4"})) << said;
    const Outcome probe = run("ffprobe -v error -count_frames -show_entries stream=nb_read_frames "
                              "-of csv=p=0 " + (out / "t.mp4").string());
    EXPECT_EQ(probe.status, 0) << probe.output;
    EXPECT_NE(probe.output.find_first_of("123456789"), std::string::npos) << "frames in it: " << probe.output;
}

TEST_F(CaptureEndToEnd, NamesAreFilesTheirExtensionTheContainerAndALyingSoundFileIsNotUsed)
{
    // A run folder whose klez.wav declares 2 GB of samples and holds 1 MB.
    const fs::path dir = scratch("lying-sound");
    fs::remove_all(dir);
    fs::create_directories(dir / "sounds");
    for (const char* folder : {"fonts", "graphics", "shaders"}) {
        fs::create_directory_symlink(fs::absolute(folder), dir / folder);
    }
    fs::create_symlink(fs::absolute("sounds/endOfTolva.wav"), dir / "sounds/endOfTolva.wav");
    // A mono WAV whose data chunk claims 0x7ffffff0 bytes and holds 1 MB.
    std::string bytes = tolva::wavHeader(1, 44100, 0x7ffffff0u);
    bytes.append(1 << 20, '\x01');
    std::ofstream(dir / "sounds/klez.wav", std::ios::binary) << bytes;

    for (const auto& [name, format, audio] :
         {std::tuple{"-x.mkv", "matroska,webm", "flac"}, std::tuple{"pipe:1.mov", "mov,mp4,m4a,3gp,3g2,mj2", "alac"}}) {
        const Outcome capturing = run("cd " + dir.string() + " && /usr/bin/time -f 'peak %M KB' " +
                                      capture("--from 0 --to 0.3 --audio lossless --out=" + std::string(name)));
        ASSERT_EQ(capturing.status, 0) << capturing.output;
        EXPECT_NE(capturing.output.find("sounds/klez.wav (holds fewer samples than its header declares) is not used"),
                  std::string::npos) << capturing.output;
        std::smatch peak;
        ASSERT_TRUE(std::regex_search(capturing.output, peak, std::regex("peak ([0-9]+) KB"))) << capturing.output;
        EXPECT_LT(std::stol(peak[1].str()), 1024L * 1024) << "peak memory above 1 GB";
        const Outcome probe = run("ffprobe -v error -show_entries format=format_name:stream=codec_name -of "
                                  "default=noprint_wrappers=1 file:" + (dir / name).string());
        EXPECT_EQ(probe.status, 0) << name << ": " << probe.output;
        EXPECT_NE(probe.output.find(std::string("format_name=") + format), std::string::npos) << probe.output;
        EXPECT_NE(probe.output.find(std::string("codec_name=") + audio), std::string::npos) << probe.output;
    }
}

} // namespace
