#pragma once

// Measurements of a rendered track, shared by the sound tests.

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace tolva::assets {

struct Track {
    unsigned sampleRate = 0;
    unsigned channels = 0;
    std::vector<std::int16_t> samples;  // interleaved

    double seconds() const
    {
        return channels == 0 || sampleRate == 0 ? 0.0
               : static_cast<double>(samples.size()) / channels / sampleRate;
    }
    std::vector<float> channel(unsigned c) const
    {
        std::vector<float> out;
        out.reserve(samples.size() / std::max(1u, channels));
        for (std::size_t i = c; i < samples.size(); i += channels) {
            out.push_back(static_cast<float>(samples[i]));
        }
        return out;
    }
};

inline bool load(const std::string& path, Track& track)
{
    sf::InputSoundFile file;
    if (!file.openFromFile(path)) {
        return false;
    }
    track.sampleRate = file.getSampleRate();
    track.channels = file.getChannelCount();
    track.samples.resize(static_cast<std::size_t>(file.getSampleCount()));
    return file.read(track.samples.data(), track.samples.size()) == track.samples.size();
}

// Highest absolute sample, in dBFS (full scale 32768).
inline double peakDb(const Track& track)
{
    int peak = 0;
    for (std::int16_t s : track.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak == 0 ? -200.0 : 20.0 * std::log10(peak / 32768.0);
}

// RMS of one channel over [from, to) seconds, in dBFS.
inline double rmsDb(const std::vector<float>& x, unsigned rate, double from, double to)
{
    auto a = static_cast<std::size_t>(std::max(0.0, from) * rate);
    auto b = std::min(x.size(), static_cast<std::size_t>(std::max(0.0, to) * rate));
    if (b <= a) {
        return -200.0;
    }
    double sum = 0.0;
    for (std::size_t i = a; i < b; ++i) {
        sum += static_cast<double>(x[i]) * static_cast<double>(x[i]);
    }
    double rms = std::sqrt(sum / static_cast<double>(b - a));
    return rms <= 0.0 ? -200.0 : 20.0 * std::log10(rms / 32768.0);
}

// How much the sharpest edge in the track stands out from the music around it.
// A click is a jump in the signal's slope: its second difference spikes far above
// the second difference of the surrounding ~0.1 s, which for music (even drums,
// whose attacks here are ramped) stays within a small factor. Returns the largest
// ratio of a block's peak |second difference| to the RMS of the second difference
// in a window around the block; a floor of a few LSB keeps silence from counting.
struct Click {
    double ratio = 0.0;
    double seconds = 0.0;
};

inline Click worstClick(const std::vector<float>& x, unsigned rate)
{
    const std::size_t block = 256, half = 2048;
    const double floorLsb = 4.0;
    std::size_t n = x.size();
    std::vector<double> d2(n, 0.0), energy(n + 1, 0.0);
    // Silence before the first sample: a track that starts away from zero clicks.
    for (std::size_t i = 0; i < n; ++i) {
        const double before = i >= 1 ? static_cast<double>(x[i - 1]) : 0.0;
        const double twoBefore = i >= 2 ? static_cast<double>(x[i - 2]) : 0.0;
        d2[i] = static_cast<double>(x[i]) - 2.0 * before + twoBefore;
        energy[i + 1] = energy[i] + d2[i] * d2[i];
    }
    Click worst;
    for (std::size_t start = 0; start < n; start += block) {
        std::size_t end = std::min(n, start + block);
        double peak = 0.0;
        std::size_t at = start;
        for (std::size_t i = start; i < end; ++i) {
            if (std::abs(d2[i]) > peak) {
                peak = std::abs(d2[i]);
                at = i;
            }
        }
        std::size_t a = start > half ? start - half : 0, b = std::min(n, end + half);
        double rms = std::sqrt((energy[b] - energy[a]) / static_cast<double>(b - a));
        double ratio = peak / std::max(rms, floorLsb);
        if (ratio > worst.ratio) {
            worst = {ratio, static_cast<double>(at) / rate};
        }
    }
    return worst;
}

} // namespace tolva::assets
