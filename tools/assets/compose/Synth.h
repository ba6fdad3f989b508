#pragma once

// The band of the show's soundtrack, synthesized: a clarinet-like lead, an
// accordion, a plucked bass, a tsimbl (hammered dulcimer), the poyk (drum with a
// cymbal on it), and a few sounds of the pool for the closing theme.
//
// Every voice starts and ends on an envelope (no sample is ever switched on or off
// at full level), so note boundaries never click. Nothing reads a clock or a
// library random generator: the same score gives the same samples on every build.

#include <cstdint>
#include <vector>

namespace tolva::compose {

constexpr int sampleRate = 44100;

// A stereo mix in floats, full scale +-1 before mastering.
class Buffer {
public:
    explicit Buffer(double seconds);
    std::size_t frames() const { return left.size(); }
    double seconds() const { return static_cast<double>(frames()) / sampleRate; }
    void add(std::size_t frame, float l, float r)
    {
        if (frame < left.size()) {
            left[frame] += l;
            right[frame] += r;
        }
    }
    void mixIn(const Buffer& other, float gain);

    std::vector<float> left, right;
};

inline std::size_t frameAt(double seconds)
{
    return seconds <= 0.0 ? 0u : static_cast<std::size_t>(seconds * sampleRate + 0.5);
}

// Equal-power pan: -1 left, +1 right.
struct Pan {
    float left, right;
};
Pan panning(float position);

// Deterministic white noise in -1..1.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    float next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_) * (2.0f / 4294967296.0f) - 1.0f;
    }

private:
    std::uint32_t state_;
};

// One note of the lead line. Consecutive notes without a gap are slurred: the
// pitch glides (quickly, or slowly where slide is set) and the breath goes on.
struct LeadNote {
    double start;
    double length;
    double frequency;
    float velocity;
    bool slide = false;  // a slow glissando into this note
    bool trill = false;  // alternate with the note a step above
    bool sob = false;    // a krekhts: a catch in the voice at the note's end
    double trillFrequency = 0.0;
};

// The lead, rendered as one continuous voice so slurs and slides are seamless.
// The dry signal goes to out, a share of it to send (the reverb).
void renderLead(Buffer& out, Buffer& send, const std::vector<LeadNote>& notes, float pan, float sendLevel);

// Accordion: three reeds a few cents apart (the musette tremolo), bellows swell.
void renderReed(Buffer& out, Buffer& send, double start, double length, double frequency, float velocity,
                float pan, float sendLevel);
// Plucked bass.
void renderBass(Buffer& out, double start, double length, double frequency, float velocity);
// Tsimbl: two strings of a course, struck (Karplus-Strong), ringing up to `ring` seconds.
void renderTsimbl(Buffer& out, Buffer& send, double start, double ring, double frequency, float velocity,
                  float pan, std::uint32_t seed);
// The poyk and its cymbal.
void renderKick(Buffer& out, double start, float velocity);
void renderSnare(Buffer& out, double start, float velocity, std::uint32_t seed);
void renderCymbal(Buffer& out, double start, float velocity, float pan, std::uint32_t seed, double decay = 0.05);
// A drop falling in the pool, and a frog.
void renderDrop(Buffer& out, Buffer& send, double start, float velocity, float pan, double pitch);
void renderCroak(Buffer& out, Buffer& send, double start, float velocity, float pan, double pitch);

// A small stereo room (Schroeder: parallel combs, then allpasses).
void reverberate(const Buffer& send, Buffer& out, float wet);

// Mastering: scale so the highest peak sits at peakDb dBFS, then round to
// 16-bit interleaved samples.
std::vector<std::int16_t> master(const Buffer& mix, double peakDb);

} // namespace tolva::compose
