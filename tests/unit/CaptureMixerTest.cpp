// The capture's sound: cues turned into playings on the sample clock, sound files read as the show
// reads them, and the offline mix, by hand and as OpenAL Soft itself renders it through its
// loopback device.

#include "capture/CaptureDeck.h"
#include "capture/Mixer.h"
#include "capture/Output.h"
#include "sound/SoundFile.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

namespace {

using namespace tolva;

TEST(CaptureDeck, CuesBecomePlayingsFromTheirFramesFirstSample)
{
    WorkClock clock{WorkModel{}, 60};
    CaptureDeck deck{clock};
    for (const auto& [id, pitch] : {std::pair{SoundId::voiceThree, 0.19f}, std::pair{SoundId::voiceTwo, 1.0f}}) {
        deck.loadSamples(id, std::vector<sf::Int16>(44100, 100), 44100);
        deck.createSound(id, true, pitch);
    }
    for (const auto& [iteration, id, play] : std::vector<std::tuple<long, SoundId, bool>>{
             {10, SoundId::voiceTwo, false} /* not playing: nothing */, {10, SoundId::voiceTwo, true},
             {19, SoundId::voiceTwo, true} /* from the beginning again */,
             {19, SoundId::klezSound, true} /* never created */, {1726, SoundId::voiceTwo, false},
             {1726, SoundId::voiceThree, true}, {3679, SoundId::voiceThree, false}}) {
        clock.startIteration(iteration);
        deck.setIteration(iteration);
        play ? deck.play(id) : deck.stop(id);
    }
    std::vector<std::tuple<std::int64_t, std::int64_t, float>> plays;
    for (const Playback& play : deck.playbacks(60, 4000)) {
        plays.emplace_back(play.start, play.stop, play.pitch);
    }
    EXPECT_EQ(plays, (decltype(plays){
                         {10 * 735, 19 * 735, 1.0f}, {19 * 735, 1726 * 735, 1.0f}, {1726 * 735, 3679 * 735, 0.19f}}));
    EXPECT_EQ(deck.cues().back().time, sf::microseconds(clock.headNs(3679) / 1000));
    EXPECT_EQ(deck.playbacks(60, 3000)[2].stop, neverStopped) << "a capture ending before the stop";
    EXPECT_EQ(sampleAt(1, 24), 1837);  // 1837.5, floored
}

// A 16-bit stereo 22.05 kHz WAV file holding `frames` frames (a ramp) whose data chunk declares
// `declaredBytes`; `formatFirst` false puts the data chunk before the format chunk.
std::string wavFile(const std::string& name, std::uint32_t frames, std::uint32_t declaredBytes,
                    bool formatFirst = true)
{
    std::string file = wavHeader(2, 22050, declaredBytes);
    for (std::uint32_t k = 0; k < 2 * frames; ++k) {  // samples 0, 1, 2...
        file += {static_cast<char>(k & 0xff), static_cast<char>(k >> 8)};
    }
    if (!formatFirst) {
        file = file.substr(0, 12) + file.substr(36) + file.substr(12, 24);  // RIFF header, data, format
    }
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary) << file;
    return path;
}

// SFML 2.5 makes room for every sample a WAV header declares before reading one, and refuses a
// file that holds fewer: the show's deck and the capture's must both pass on such a file without
// the room, and the capture must not play what the show refuses.
TEST(SoundFiles, AreReadAsTheShowReadsThemAndOneClaimingMoreThanItHoldsIsRefused)
{
    const std::string honest = wavFile("tolva-honest.wav", 1000, 4000);
    const std::string cut = wavFile("tolva-cut.wav", 500, 4000);           // cut to half its length
    const std::string lying = wavFile("tolva-lying.wav", 1000, 400000000);  // claims 400 MB
    const std::string backwards = wavFile("tolva-backwards.wav", 1000, 4000, false);
    EXPECT_TRUE(soundFileHoldsWhatItDeclares(honest));
    EXPECT_FALSE(soundFileHoldsWhatItDeclares(cut));
    EXPECT_FALSE(soundFileHoldsWhatItDeclares(lying));
    EXPECT_FALSE(soundFileHoldsWhatItDeclares(backwards)) << "SFML would divide by a sample size of 0";

    const auto peakKilobytes = [] {
        rusage usage{};
        return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0;
    };
    const long before = peakKilobytes();
    WorkClock clock{WorkModel{}, 60};
    CaptureDeck deck{clock};
    deck.loadFile(SoundId::voiceOne, honest);
    deck.loadFile(SoundId::voiceTwo, "sounds/no-such-file.wav");
    const SoundClip& read = deck.clip(SoundId::voiceOne);
    std::vector<sf::Int16> ramp(2000);
    std::iota(ramp.begin(), ramp.end(), sf::Int16{0});
    EXPECT_EQ(std::tuple(read.channels, read.sampleRate, read.samples), std::tuple(2u, 22050u, ramp));
    EXPECT_EQ(deck.clip(SoundId::voiceTwo).frames(), 0u) << "a missing file is silent";
    EXPECT_EQ(deck.unused().size(), 1u);
    // The show's own deck, on OpenAL Soft's silent output.
    setenv("ALSOFT_DRIVERS", "null", 1);
    OpenAlDeck().loadFile(SoundId::endSound, lying);
    EXPECT_LT(peakKilobytes() - before, 100 * 1024) << "room made for the 400 MB claimed";
    for (const std::string& path : {honest, cut, lying, backwards}) {
        std::filesystem::remove(path);
    }
}

TEST(CaptureMixer, StopsCutAtTheirSampleAndLoudSumsClamp)
{
    const SoundClip loud{1, mixRate, {32767}};
    const SoundClip stereo{2, mixRate, {32767, -32768}};
    const std::vector<Playback> plays = {{&loud, true, 1.0f, 0, 3}, {&stereo, true, 1.0f, 1, neverStopped}};
    // Alone 32767 x 0.5957 = 19518; with the stereo voice the left clamps, the right sums.
    EXPECT_EQ(mixStereo(plays, 0, 4),
              (std::vector<sf::Int16>{19518, 19518, 32767, -13250, 32767, -13250, 32767, -32768}));
}

// OpenAL Soft (the show's own library) renders through its loopback device exactly what it
// would play.
ALuint alSource(const SoundClip& clip, bool loop, float pitch)
{
    ALuint buffer = 0;
    ALuint source = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, clip.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, clip.samples.data(),
                 static_cast<ALsizei>(clip.samples.size() * sizeof(sf::Int16)), static_cast<ALsizei>(clip.sampleRate));
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcef(source, AL_PITCH, pitch);
    return source;
}

TEST(CaptureMixer, AnyWindowIsTheSameSliceOfTheWholeMixWhichMatchesOpenAlSoftSampleForSample)
{
    std::vector<sf::Int16> samples(44100);
    std::uint32_t noise = 12345;
    for (auto& s : samples) {
        noise = noise * 1103515245u + 12345u;
        s = static_cast<sf::Int16>(noise >> 16);
    }
    std::vector<sf::Int16> interleaved(20000);
    std::transform(samples.begin(), samples.begin() + 20000, interleaved.begin(),
                   [](sf::Int16 s) { return static_cast<sf::Int16>(s / 3); });
    const SoundClip voice{1, mixRate, samples};  // like voiceThree
    const SoundClip slow{1, 22050, {samples.begin(), samples.begin() + 5000}};
    const SoundClip stereo{2, mixRate, interleaved};

    // The voice loops at pitch 0.19 past its loop point, a once-only clip at half the rate joins
    // at sample 1000 and runs out, a stereo clip plays from 3000 and is stopped at 9000, the
    // voice is stopped at 250000.
    const std::vector<Playback> plays = {{&voice, true, 0.19f, 0, 250000},
                                         {&slow, false, 1.0f, 1000, neverStopped},
                                         {&stereo, false, 1.0f, 3000, 9000}};
    const std::vector<float> ours = mixFloat(plays, 0, 251000);
    for (std::int64_t begin : {999, 4321, 9000, 240000}) {
        const std::vector<float> window = mixFloat(plays, begin, 1000);
        EXPECT_TRUE(std::equal(window.begin(), window.end(), ours.begin() + 2 * begin)) << begin;
    }

    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT, ALC_FREQUENCY, static_cast<ALCint>(mixRate), 0};
    ALCdevice* device = alcLoopbackOpenDeviceSOFT(nullptr);
    ALCcontext* context = device != nullptr ? alcCreateContext(device, attributes) : nullptr;
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        GTEST_SKIP() << "OpenAL Soft's loopback device is not available";
    }
    const std::string resampler = alGetStringiSOFT(AL_RESAMPLER_NAME_SOFT, alGetInteger(AL_DEFAULT_RESAMPLER_SOFT));
    if (resampler != "Linear") {
        GTEST_SKIP() << "this OpenAL Soft resamples with '" << resampler
                     << "' by default; the capture mixes as 1.19 (Debian 12) does, linearly";
    }
    std::vector<ALuint> sources;
    for (const Playback& play : plays) {
        sources.push_back(alSource(*play.clip, play.loop, play.pitch));
    }
    const std::vector<std::tuple<std::int64_t, std::size_t, bool>> events = {
        {0, 0, true}, {1000, 1, true}, {3000, 2, true}, {9000, 2, false}, {250000, 0, false}};
    std::vector<float> reference(2 * 251000);
    std::int64_t rendered = 0;
    for (const auto& [sample, source, play] : events) {
        alcRenderSamplesSOFT(device, &reference[2 * static_cast<std::size_t>(rendered)],
                             static_cast<ALCsizei>(sample - rendered));
        rendered = sample;
        (play ? alSourcePlay : alSourceStop)(sources[source]);
    }
    alcRenderSamplesSOFT(device, &reference[2 * 250000], 1000);

    ASSERT_EQ(ours.size(), reference.size());
    const auto first = std::mismatch(ours.begin(), ours.end(), reference.begin());
    EXPECT_TRUE(first.first == ours.end()) << "first at " << (first.first - ours.begin()) / 2;
}

} // namespace
