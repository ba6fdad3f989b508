// The capture's offline mix: hand-computed mixes of small voices, and the same mix as OpenAL Soft
// itself renders it through its loopback device.

#include "capture/Mixer.h"

#define AL_NO_PROTOTYPES
#define ALC_NO_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace tolva;

SoundClip mono(std::vector<sf::Int16> samples, unsigned rate = mixRate)
{
    return SoundClip{1, rate, std::move(samples)};
}

TEST(CaptureMixer, PitchStepIsTwelveBitFixedPointAndFramesBeginOnWholeSamples)
{
    EXPECT_EQ(resampleStep(44100, 0.19f), 778);  // 778.24 rounded
    EXPECT_EQ(resampleStep(48000, 1.0f), 4458);  // 4458.2 rounded
    // After 100 output samples at 778/4096 the position is 18 + 4072/4096, not 19: on a ramp of
    // 100 a sample that reads 1899.4, times the mono gain 1131 (at 19 it would be 1132).
    std::vector<sf::Int16> ramp;
    for (int k = 0; k < 64; ++k) {
        ramp.push_back(static_cast<sf::Int16>(100 * k));
    }
    const SoundClip clip = mono(ramp);
    EXPECT_EQ(mixStereo({{&clip, true, 0.19f, 0, neverStopped}}, 100, 1)[0], 1131);
    EXPECT_EQ(sampleAt(1, 24), 1837);  // 1837.5, floored
}

TEST(CaptureMixer, StopsCutAtTheirSampleAndLoudSumsClamp)
{
    const SoundClip loud = mono({32767}, mixRate);
    const SoundClip stereo{2, mixRate, {32767, -32768}};
    const std::vector<Playback> plays = {{&loud, true, 1.0f, 0, 3}, {&stereo, true, 1.0f, 1, neverStopped}};
    // Alone 32767 x 0.5957 = 19518; with the stereo voice the left clamps, the right sums.
    EXPECT_EQ(mixStereo(plays, 0, 4),
              (std::vector<sf::Int16>{19518, 19518, 32767, -13250, 32767, -13250, 32767, -32768}));
}

TEST(CaptureMixer, AnyWindowEqualsTheSameSliceOfTheWholeMix)
{
    std::vector<sf::Int16> noise(997);
    std::uint32_t x = 7;
    for (auto& s : noise) {
        x = x * 1664525u + 1013904223u;
        s = static_cast<sf::Int16>(x >> 16);
    }
    const SoundClip looping = mono(noise);
    const SoundClip once = mono(noise, 22050);
    const std::vector<Playback> plays = {{&looping, true, 0.19f, 100, 40000},
                                         {&once, false, 1.0f, 5000, neverStopped},
                                         {&looping, true, 0.021f, 7000, neverStopped}};
    const std::vector<sf::Int16> whole = mixStereo(plays, 0, 50000);
    for (std::int64_t begin : {4999, 12345, 39990}) {
        const std::vector<sf::Int16> window = mixStereo(plays, begin, 1000);
        EXPECT_TRUE(std::equal(window.begin(), window.end(), whole.begin() + 2 * begin)) << begin;
    }
}

// OpenAL Soft, opened by hand so that the tests need no link to it: the show's own library, and
// with its loopback device it renders exactly what it would play.
class OpenAlLoopback {
public:
    OpenAlLoopback()
    {
        library_ = dlopen("libopenal.so.1", RTLD_NOW | RTLD_LOCAL);
        if (library_ == nullptr) {
            return;
        }
        getProc_ = reinterpret_cast<LPALCGETPROCADDRESS>(dlsym(library_, "alcGetProcAddress"));
        if (getProc_ == nullptr) {
            return;
        }
        auto open = proc<LPALCLOOPBACKOPENDEVICESOFT>("alcLoopbackOpenDeviceSOFT");
        render_ = proc<LPALCRENDERSAMPLESSOFT>("alcRenderSamplesSOFT");
        if (open == nullptr || render_ == nullptr) {
            return;
        }
        device_ = open(nullptr);
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                                     ALC_FLOAT_SOFT, ALC_FREQUENCY, static_cast<ALCint>(mixRate), 0};
        context_ = proc<LPALCCREATECONTEXT>("alcCreateContext")(device_, attributes);
        proc<LPALCMAKECONTEXTCURRENT>("alcMakeContextCurrent")(context_);
    }
    ~OpenAlLoopback()
    {
        if (context_ != nullptr) {
            proc<LPALCMAKECONTEXTCURRENT>("alcMakeContextCurrent")(nullptr);
            proc<LPALCDESTROYCONTEXT>("alcDestroyContext")(context_);
        }
        if (device_ != nullptr) {
            proc<LPALCCLOSEDEVICE>("alcCloseDevice")(device_);
        }
        if (library_ != nullptr) {
            dlclose(library_);
        }
    }

    bool ready() const { return context_ != nullptr; }

    template <class F>
    F proc(const char* name) const
    {
        return reinterpret_cast<F>(getProc_(device_, name));
    }

    std::string defaultResampler() const
    {
        const ALint index = proc<LPALGETINTEGER>("alGetInteger")(AL_DEFAULT_RESAMPLER_SOFT);
        const auto name = proc<LPALGETSTRINGISOFT>("alGetStringiSOFT");
        return name != nullptr ? name(AL_RESAMPLER_NAME_SOFT, index) : "";
    }

    ALuint source(const SoundClip& clip, bool loop, float pitch) const
    {
        ALuint buffer = 0;
        ALuint source = 0;
        proc<LPALGENBUFFERS>("alGenBuffers")(1, &buffer);
        proc<LPALBUFFERDATA>("alBufferData")(
            buffer, clip.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, clip.samples.data(),
            static_cast<ALsizei>(clip.samples.size() * sizeof(sf::Int16)), static_cast<ALsizei>(clip.sampleRate));
        proc<LPALGENSOURCES>("alGenSources")(1, &source);
        proc<LPALSOURCEI>("alSourcei")(source, AL_BUFFER, static_cast<ALint>(buffer));
        proc<LPALSOURCEI>("alSourcei")(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
        proc<LPALSOURCEF>("alSourcef")(source, AL_PITCH, pitch);
        return source;
    }

    void play(ALuint source) const { proc<LPALSOURCEPLAY>("alSourcePlay")(source); }
    void stop(ALuint source) const { proc<LPALSOURCESTOP>("alSourceStop")(source); }

    void render(std::vector<float>& out, std::size_t frames) const
    {
        std::vector<float> chunk(2 * frames);
        render_(device_, chunk.data(), static_cast<ALCsizei>(frames));
        out.insert(out.end(), chunk.begin(), chunk.end());
    }

private:
    void* library_ = nullptr;
    LPALCGETPROCADDRESS getProc_ = nullptr;
    LPALCRENDERSAMPLESSOFT render_ = nullptr;
    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
};

TEST(CaptureMixer, MatchesOpenAlSoftSampleForSample)
{
    OpenAlLoopback al;
    if (!al.ready()) {
        GTEST_SKIP() << "OpenAL Soft's loopback device is not available";
    }
    if (al.defaultResampler() != "Linear") {
        GTEST_SKIP() << "this OpenAL Soft resamples with '" << al.defaultResampler()
                     << "' by default; the capture mixes as 1.19 (Debian 12) does, linearly";
    }
    std::vector<sf::Int16> noise(44100);
    std::uint32_t x = 12345;
    for (auto& s : noise) {
        x = x * 1103515245u + 12345u;
        s = static_cast<sf::Int16>(x >> 16);
    }
    std::vector<sf::Int16> interleaved(2 * 10000);
    for (std::size_t k = 0; k < interleaved.size(); ++k) {
        interleaved[k] = static_cast<sf::Int16>(noise[k] / 3);
    }
    const SoundClip voice = mono(noise);                          // like voiceThree
    const SoundClip slow{1, 22050, {noise.begin(), noise.begin() + 5000}};
    const SoundClip stereo{2, mixRate, interleaved};

    // Played, stopped and mixed by OpenAL: the voice loops at pitch 0.19 past its loop point, a
    // once-only clip at half the rate joins at sample 1000 and runs out, a stereo clip plays
    // from 3000 and is stopped at 9000, the voice is stopped at 250000.
    const ALuint a = al.source(voice, true, 0.19f);
    const ALuint b = al.source(slow, false, 1.0f);
    const ALuint c = al.source(stereo, false, 1.0f);
    std::vector<float> reference;
    al.play(a);
    al.render(reference, 1000);
    al.play(b);
    al.render(reference, 2000);
    al.play(c);
    al.render(reference, 6000);
    al.stop(c);
    al.render(reference, 241000);
    al.stop(a);
    al.render(reference, 1000);

    const std::vector<Playback> plays = {{&voice, true, 0.19f, 0, 250000},
                                         {&slow, false, 1.0f, 1000, neverStopped},
                                         {&stereo, false, 1.0f, 3000, 9000}};
    const std::vector<float> ours = mixFloat(plays, 0, 251000);
    ASSERT_EQ(ours.size(), reference.size());
    std::size_t differing = 0;
    std::size_t first = 0;
    for (std::size_t k = 0; k < ours.size(); ++k) {
        if (ours[k] != reference[k]) {
            first = differing++ == 0 ? k : first;
        }
    }
    EXPECT_EQ(differing, 0u) << "first at " << first / 2 << ": ours " << ours[first] << ", OpenAL "
                             << reference[first];
}

} // namespace
