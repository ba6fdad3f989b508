// The two tracks as the build staged them, and every voice of the band alone.

#include "Score.h"
#include "Synth.h"
#include "show/Timing.h"

#include <SFML/Audio/InputSoundFile.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace tolva::assets {
namespace {

using compose::Buffer;
using compose::frameAt;
constexpr double rate = compose::sampleRate;

// Each channel of a staged track, in 16-bit units.
std::vector<std::vector<float>> loaded(const std::string& path)
{
    sf::InputSoundFile file;
    if (!file.openFromFile(path) || file.getSampleRate() != 44100u) {
        ADD_FAILURE() << path << " is missing or not at 44.1 kHz";
        return {};
    }
    std::vector<std::int16_t> samples(static_cast<std::size_t>(file.getSampleCount()));
    EXPECT_EQ(file.read(samples.data(), samples.size()), samples.size()) << path;
    std::vector<std::vector<float>> channels(file.getChannelCount());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        channels[i % channels.size()].push_back(static_cast<float>(samples[i]));
    }
    return channels;
}

double db(double level) { return level <= 0.0 ? -200.0 : 20.0 * std::log10(level / 32768.0); }

// RMS over [from, to) seconds, in dBFS.
double rmsDb(const std::vector<float>& x, double from, double to)
{
    const std::size_t a = frameAt(from), b = std::min(x.size(), frameAt(to));
    double sum = 0.0;
    for (std::size_t i = a; i < b; ++i) {
        sum += static_cast<double>(x[i]) * static_cast<double>(x[i]);
    }
    return b <= a ? -200.0 : db(std::sqrt(sum / static_cast<double>(b - a)));
}

// A click is a jump in the signal's slope: its second difference spikes far above that of the
// surrounding ~0.1 s, which for music (even drums, whose attacks here are ramped) stays within a
// small factor. Gives the largest ratio of a block's peak |second difference| to the RMS around
// the block (floored at a few LSB so that silence does not count), and where it is. The tracks
// as composed stay near 14 (the tsimbl's hammer in the quiet opening); a voice switched on
// without its envelope scores well above 16.
constexpr double clickLimit = 16.0;
struct Click {
    double ratio = 0.0, seconds = 0.0;
};
Click worstClick(const std::vector<float>& x)
{
    const std::size_t n = x.size(), block = 256, half = 2048;
    std::vector<double> d2(n), energy(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) {  // silence before the start: starting off zero clicks
        d2[i] = static_cast<double>(x[i]) - 2.0 * (i >= 1 ? static_cast<double>(x[i - 1]) : 0.0) +
                (i >= 2 ? static_cast<double>(x[i - 2]) : 0.0);
        energy[i + 1] = energy[i] + d2[i] * d2[i];
    }
    Click worst;
    for (std::size_t start = 0; start < n; start += block) {
        const std::size_t end = std::min(n, start + block), a = start > half ? start - half : 0;
        const std::size_t b = std::min(n, end + half);
        const auto at = std::max_element(d2.begin() + static_cast<std::ptrdiff_t>(start), d2.begin() + static_cast<std::ptrdiff_t>(end),
                                         [](double p, double q) { return std::abs(p) < std::abs(q); });
        const double ratio = std::abs(*at) / std::max(std::sqrt((energy[b] - energy[a]) / static_cast<double>(b - a)), 4.0);
        if (ratio > worst.ratio) {
            worst = {ratio, static_cast<double>(at - d2.begin()) / rate};
        }
    }
    return worst;
}

TEST(Soundtrack, EachTrackIsWholeLevelledAndFreeOfClicks)
{
    struct Case {
        const char* path;
        std::size_t channels;  // klez is decoded whole at start-up: one channel halves wait and memory
        double seconds;        // klez ends as scene 8 begins; endOfTolva is cut 30 s into it
        double heardUntil;     // no silent gap (a misplaced section or bars not adding up)
    };
    for (const Case& c : {Case{"sounds/klez.wav", 1, 254.0, 253.0}, Case{"sounds/endOfTolva.wav", 2, 30.0, 20.0}}) {
        const std::vector<std::vector<float>> track = loaded(c.path);
        ASSERT_EQ(track.size(), c.channels) << c.path;
        const double seconds = static_cast<double>(track[0].size()) / rate;
        EXPECT_NEAR(seconds, c.seconds, 0.25) << c.path;
        float peak = 0.0f;
        for (const std::vector<float>& x : track) {
            for (float s : x) {
                peak = std::max(peak, std::abs(s));
            }
            const Click worst = worstClick(x);
            EXPECT_LT(worst.ratio, clickLimit) << c.path << " at " << worst.seconds << " s";
            EXPECT_LT(rmsDb(x, 0.0, 0.003), -50.0) << c.path << " starts with a jump";
            EXPECT_LT(rmsDb(x, seconds - 0.05, seconds), -60.0) << c.path << " is cut off";
            for (double s = 0.5; s + 2.0 < c.heardUntil; s += 1.0) {
                EXPECT_GT(rmsDb(x, s, s + 2.0), -40.0) << c.path << " is quiet at " << s << " s";
            }
        }
        EXPECT_LE(db(peak), -1.0) << c.path;
        EXPECT_GE(db(peak), -2.0) << c.path << ": a quiet mix";
        if (c.channels == 2) {  // the closing theme fades out
            EXPECT_LT(rmsDb(track[0], 28.0, 30.0), rmsDb(track[0], 5.0, 20.0) - 30.0);
        }
    }
}

TEST(Soundtrack, KlezmerSectionsTurnWhereTheScenesChange)
{
    // Sections 1 to 5 start with scenes 3 to 7, counted from klez's start at scene 2.
    const std::vector<compose::Section> sections = compose::klezmerSections();
    ASSERT_EQ(sections.size(), 6u);
    double end = 0.0;
    for (std::size_t k = 0; k < sections.size(); ++k) {
        EXPECT_NEAR(sections[k].start, end, 1e-9) << sections[k].name;
        if (k > 0) {
            EXPECT_NEAR(sections[k].start, timing::sceneStart(static_cast<int>(k) + 2) - timing::sceneStart(2), 0.1)
                << sections[k].name;
        }
        end = sections[k].start + sections[k].length;
    }
    EXPECT_NEAR(end, compose::klezmerSeconds, 0.1);
}

// Every voice must rise out of silence and fall back into it, so that no note boundary can click
// however the score stacks them (in the dance sections the cymbals would mask such an edge).
TEST(Synth, EveryVoiceRisesFromSilenceAndFallsBackIntoIt)
{
    using namespace compose;
    const std::vector<LeadNote> line{
        {0.5, 0.3, 440.0, 0.3f}, {0.8, 0.25, 466.16, 0.3f},  // slurred
        {1.1, 0.4, 392.0, 0.3f, true}, {1.5, 0.5, 370.0, 0.3f, false, true, false, 392.0},
        {2.05, 0.6, 293.66, 0.3f, false, false, true}};
    struct Voice {
        const char* name;
        double end;  // each starts at 0.5 s and may sound until here
        std::function<void(Buffer&, Buffer&)> render;
    };
    const Voice voices[] = {
        {"lead", 3.1, [&](Buffer& out, Buffer& send) { renderLead(out, send, line, 0.0f, 0.3f); }},
        {"reed", 1.6, [](Buffer& out, Buffer& send) { renderReed(out, send, 0.5, 1.0, 220.0, 0.3f, 0.3f, 0.2f); }},
        {"bass", 1.1, [](Buffer& out, Buffer&) { renderBass(out, 0.5, 0.5, 73.42, 0.5f); }},
        {"tsimbl", 1.7, [](Buffer& out, Buffer& send) { renderTsimbl(out, send, 0.5, 1.2, 587.33, 0.5f, -0.4f, 3u); }},
        {"kick", 1.0, [](Buffer& out, Buffer&) { renderKick(out, 0.5, 0.6f); }},
        {"snare", 0.8, [](Buffer& out, Buffer&) { renderSnare(out, 0.5, 0.3f, 5u); }},
        {"cymbal", 0.8, [](Buffer& out, Buffer&) { renderCymbal(out, 0.5, 0.5f, 0.3f, 7u, 0.05); }},
        {"drop", 0.75, [](Buffer& out, Buffer& send) { renderDrop(out, send, 0.5, 0.2f, 0.5f, 900.0); }},
        {"croak", 0.9, [](Buffer& out, Buffer& send) { renderCroak(out, send, 0.5, 0.8f, -0.7f, 520.0); }},
    };
    for (const Voice& v : voices) {
        Buffer out(4.0), send(4.0);
        v.render(out, send);
        const std::size_t first = frameAt(0.5), last = frameAt(v.end);
        float peak = 0.0f;
        for (std::size_t i = 0; i < out.frames(); ++i) {
            peak = std::max({peak, std::abs(out.left[i]), std::abs(out.right[i])});
            if (i < first || i >= last) {
                ASSERT_TRUE(out.left[i] == 0.0f && out.right[i] == 0.0f) << v.name << " sounds at frame " << i;
            }
        }
        ASSERT_GT(peak, 0.01f) << v.name << " is silent";
        for (std::size_t i = last - frameAt(0.0005); i < last; ++i) {  // softer than a click shows
            EXPECT_LT(std::abs(out.left[i]), 0.02f * peak) << v.name << " stops with a jump";
        }
        std::vector<float> x(out.left);
        for (float& s : x) {
            s *= 20000.0f / peak;
        }
        EXPECT_LT(worstClick(x).ratio, clickLimit) << v.name;
        if (std::string(v.name) == "lead") {  // the detector itself finds a tone switched on in it
            for (std::size_t i = 0; i < 8000; ++i) {
                x[frameAt(1.3) + i] += 20000.0f * static_cast<float>(std::cos(6.283185307 * 330.0 * static_cast<double>(i) / rate));
            }
            const Click found = worstClick(x);
            EXPECT_GT(found.ratio, clickLimit);
            EXPECT_NEAR(found.seconds, 1.3, 0.01);
        }
    }
}

} // namespace
} // namespace tolva::assets
