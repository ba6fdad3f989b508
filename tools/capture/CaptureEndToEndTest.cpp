// tolva-capture end to end, under an X display: a capture across the scene 1 to 2 hand-over read
// back with ffprobe, its sound at the hand-over, and the same frames from the same inputs.
//
// At 10 frames a second the show reaches the hand-over in a few hundred iterations (the lead-in's
// 20 frames last 2 s), and only a couple of dozen frames are rendered by software GL.

#include "capture/Mixer.h"
#include "driver/Show.h"

#include <SFML/Audio/InputSoundFile.hpp>

#include <gtest/gtest.h>

#include <sys/wait.h>

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
        if (!tolva::holdDisplay()) {
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
                          "stream=codec_type,codec_name,pix_fmt,r_frame_rate,nb_read_frames,"
                          "sample_rate,channels,duration -of default=noprint_wrappers=1 " +
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
    EXPECT_EQ(value("pix_fmt", 0), "yuv420p");
    EXPECT_EQ(value("r_frame_rate", 0), "10/1");
    EXPECT_EQ(value("nb_read_frames", 0), "20");
    EXPECT_EQ(value("codec_name", 1), "aac");
    EXPECT_EQ(value("sample_rate", 0), "44100");
    EXPECT_EQ(value("channels", 0), "2");
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

TEST_F(CaptureEndToEnd, SameInputsGiveTheSameFramesWhereverTheCaptureStarts)
{
    const fs::path first = scratch("same-1.jsonl");
    const fs::path second = scratch("same-2.jsonl");
    const fs::path later = scratch("same-later.jsonl");
    const fs::path firstWav = scratch("same-1.wav");
    const fs::path laterWav = scratch("same-later.wav");
    // Around the hand-over (62.9 s at 10 frames a second), where scene 2's clocks see the work
    // of scene 1's last step.
    for (const auto& [arguments, log] :
         {std::pair{"--from 62.7 --to 63.2 --wav " + firstWav.string(), first},
          std::pair{std::string("--from 62.7 --to 63.2"), second},
          std::pair{"--from 62.9 --to 63.2 --wav " + laterWav.string(), later}}) {
        const Outcome capturing = run(capture(arguments + " --log " + log.string()));
        ASSERT_EQ(capturing.status, 0) << capturing.output;
    }
    const std::vector<std::string> a = frameHashes(first);
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(frameHashes(second), a);
    const std::vector<std::string> tail(a.begin() + 2, a.end());
    EXPECT_EQ(frameHashes(later), tail) << "skipping two more frames changes none that follow";

    unsigned channels = 0;
    unsigned rate = 0;
    const std::vector<sf::Int16> whole = readWav(firstWav, channels, rate);
    const std::vector<sf::Int16> part = readWav(laterWav, channels, rate);
    ASSERT_EQ(whole.size(), 2u * 22050u);
    ASSERT_EQ(part.size(), 2u * 13230u);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin() + 2 * 8820)) << "nor any sample";
}

TEST_F(CaptureEndToEnd, RefusesBadRequestsInOneLineBeforeAnyWork)
{
    for (const std::string& arguments :
         {std::string("--from 5 --to 2"), std::string("--out /no/such/folder/show.mp4"),
          std::string("--no-such-option"), std::string("--from 1000")}) {
        const Outcome refused = run(capture(arguments));
        EXPECT_NE(refused.status, 0) << arguments;
        EXPECT_EQ(std::count(refused.output.begin(), refused.output.end(), '\n'), 1) << refused.output;
        EXPECT_EQ(refused.output.rfind("tolva-capture: ", 0), 0u) << refused.output;
    }
    const Outcome blind = run("env -u DISPLAY " + capture("--from 1 --to 2 --log " + scratch("blind.jsonl").string()));
    EXPECT_EQ(blind.status, 1);
    EXPECT_EQ(std::count(blind.output.begin(), blind.output.end(), '\n'), 1) << blind.output;
}

} // namespace
