#pragma once

#include <SFML/Config.hpp>

#include <cstdint>
#include <limits>
#include <vector>

namespace tolva {

// The capture's sound: the show's sounds mixed offline into 44.1 kHz stereo the way the show's
// OpenAL Soft (1.19, Debian 12) mixes them with its default settings, so that the video sounds
// like the show. What that means, as measured against the library's own loopback device:
//  - the default resampler is the linear one: a source advances by a fixed-point step with 12
//    fraction bits, step = round(clip rate / 44100 * pitch * 4096), and each output sample is
//    a + (b - a) * frac / 4096 of the two samples around the read position (a looping source
//    reads its first sample after its last; a source that plays once reads silence there);
//  - a mono source at the listener's position, as every sound of the show is, reaches both
//    output channels with the gain monoGain; a stereo source goes unchanged to left and right;
//  - the sum is converted to 16 bits by rounding, clamped, with no dither.
// Pitch 0.19 so advances 778/4096 of a sample per output sample, not 0.19.
constexpr unsigned mixRate = 44100;
constexpr unsigned fractionBits = 12;
constexpr float monoGain = 0x1.30faap-1f;  // 0.595662117

// A sound's samples as loaded at start-up: 16-bit, channels interleaved.
struct SoundClip {
    unsigned channels = 1;
    unsigned sampleRate = mixRate;
    std::vector<sf::Int16> samples;

    std::size_t frames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

constexpr std::int64_t neverStopped = std::numeric_limits<std::int64_t>::max();

// One playing of a sound, on the output's sample clock: from sample `start` until sample `stop`
// (exclusive) or, for a sound that does not loop, until its samples run out.
struct Playback {
    const SoundClip* clip = nullptr;
    bool loop = false;
    float pitch = 1.0f;
    std::int64_t start = 0;
    std::int64_t stop = neverStopped;
};

// The fixed-point step of the linear resampler for a clip rate and pitch.
std::int64_t resampleStep(unsigned clipRate, float pitch);

// Where a playing reads its clip at output sample n (n >= start), for a clip of `frames` frames
// and the resampler's step: the clip frame (wrapped for a loop) and the fraction of the way to the
// next one, in 1/2^fractionBits. A sound that plays once has played out once the frame passes
// its last.
struct ReadPosition {
    std::int64_t frame;
    std::int64_t fraction;
    bool playedOut;
};
inline ReadPosition readPosition(const Playback& play, std::int64_t frames, std::int64_t step,
                                 std::int64_t n)
{
    const std::int64_t position = (n - play.start) * step;
    std::int64_t frame = position >> fractionBits;
    if (play.loop) {
        frame %= frames;
    }
    const std::int64_t fraction = position & ((std::int64_t{1} << fractionBits) - 1);
    return {frame, fraction, !play.loop && frame >= frames};
}

// The output sample at which video frame k begins, at fps frames a second.
std::int64_t sampleAt(long frame, int fps);

// The output samples [begin, begin + count), stereo interleaved, before the conversion to 16 bits.
// Playbacks are summed in the order given (the order they started), as OpenAL sums its voices.
std::vector<float> mixFloat(const std::vector<Playback>& playbacks, std::int64_t begin,
                            std::int64_t count);

// The same, as the 16-bit samples written out.
std::vector<sf::Int16> mixStereo(const std::vector<Playback>& playbacks, std::int64_t begin,
                                 std::int64_t count);

} // namespace tolva
