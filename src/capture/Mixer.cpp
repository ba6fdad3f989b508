#include "capture/Mixer.h"

#include <algorithm>
#include <cmath>

namespace tolva {

namespace {

constexpr std::int64_t fractionOne = std::int64_t{1} << fractionBits;

float sampleValue(sf::Int16 s) { return static_cast<float>(s) * (1.0f / 32768.0f); }

sf::Int16 toInt16(float x)
{
    const float scaled = std::clamp(x * 32768.0f, -32768.0f, 32767.0f);
    return static_cast<sf::Int16>(std::lrint(scaled));
}

// Adds one playback into the float accumulators, for the output samples [from, to).
void addPlayback(const Playback& play, std::int64_t begin, std::int64_t from, std::int64_t to,
                 std::vector<float>& left, std::vector<float>& right)
{
    const SoundClip& clip = *play.clip;
    const auto frames = static_cast<std::int64_t>(clip.frames());
    if (frames == 0) {
        return;
    }
    const unsigned channels = clip.channels;
    const std::int64_t step = resampleStep(clip.sampleRate, play.pitch);
    const float fractionScale = 1.0f / static_cast<float>(fractionOne);
    for (std::int64_t n = from; n < to; ++n) {
        const ReadPosition read = readPosition(play, frames, step, n);
        if (read.playedOut) {
            return;
        }
        const std::int64_t index = read.frame;
        std::int64_t next = index + 1;
        const bool nextIsSilence = next == frames && !play.loop;
        if (next == frames) {
            next = 0;
        }
        const float mu = static_cast<float>(read.fraction) * fractionScale;
        auto at = [&](std::int64_t frame, unsigned channel) {
            return sampleValue(clip.samples[static_cast<std::size_t>(frame) * channels + channel]);
        };
        auto lerp = [&](unsigned channel) {
            const float a = at(index, channel);
            const float b = nextIsSilence ? 0.0f : at(next, channel);
            return a + (b - a) * mu;
        };
        const auto out = static_cast<std::size_t>(n - begin);
        if (channels == 1) {
            const float v = lerp(0);
            left[out] += v * monoGain;
            right[out] += v * monoGain;
        } else {
            left[out] += lerp(0);
            right[out] += lerp(1);
        }
    }
}

} // namespace

std::int64_t resampleStep(unsigned clipRate, float pitch)
{
    const float ratio = static_cast<float>(clipRate) / static_cast<float>(mixRate) * pitch;
    const auto step = static_cast<std::int64_t>(std::lrint(ratio * static_cast<float>(fractionOne)));
    return std::max<std::int64_t>(step, 1);
}

std::int64_t sampleAt(long frame, int fps)
{
    return static_cast<std::int64_t>(frame) * mixRate / fps;
}

std::vector<float> mixFloat(const std::vector<Playback>& playbacks, std::int64_t begin,
                            std::int64_t count)
{
    const auto size = static_cast<std::size_t>(std::max<std::int64_t>(count, 0));
    std::vector<float> left(size, 0.0f);
    std::vector<float> right(size, 0.0f);
    const std::int64_t end = begin + count;
    for (const Playback& play : playbacks) {
        if (play.clip == nullptr) {
            continue;
        }
        const std::int64_t from = std::max(begin, play.start);
        const std::int64_t to = std::min(end, play.stop);
        if (from < to) {
            addPlayback(play, begin, from, to, left, right);
        }
    }
    std::vector<float> out(2 * size);
    for (std::size_t k = 0; k < size; ++k) {
        out[2 * k] = left[k];
        out[2 * k + 1] = right[k];
    }
    return out;
}

std::vector<sf::Int16> mixStereo(const std::vector<Playback>& playbacks, std::int64_t begin,
                                 std::int64_t count)
{
    const std::vector<float> mixed = mixFloat(playbacks, begin, count);
    std::vector<sf::Int16> out(mixed.size());
    std::transform(mixed.begin(), mixed.end(), out.begin(), toInt16);
    return out;
}

} // namespace tolva
