// Each voice of the band, alone: it must rise out of silence and fall back into
// it, so that no note boundary can click however the score stacks them.

#include "SoundChecks.h"
#include "Synth.h"

#include <gtest/gtest.h>

#include <functional>

namespace tolva::assets {
namespace {

using compose::Buffer;

struct Voice {
    const char* name;
    double start, end;  // where the voice may sound, in seconds
    std::function<void(Buffer&, Buffer&)> render;
};

std::vector<Voice> voices()
{
    using namespace compose;
    std::vector<LeadNote> line{
        {0.5, 0.3, 440.0, 0.3f}, {0.8, 0.25, 466.16, 0.3f},                // slurred
        {1.1, 0.4, 392.0, 0.3f, true}, {1.5, 0.5, 370.0, 0.3f, false, true, false, 392.0},
        {2.05, 0.6, 293.66, 0.3f, false, false, true}};
    return {
        {"lead", 0.5, 3.1, [line](Buffer& out, Buffer& send) { renderLead(out, send, line, 0.0f, 0.3f); }},
        {"reed", 0.5, 1.6, [](Buffer& out, Buffer& send) { renderReed(out, send, 0.5, 1.0, 220.0, 0.3f, 0.3f, 0.2f); }},
        {"bass", 0.5, 1.1, [](Buffer& out, Buffer&) { renderBass(out, 0.5, 0.5, 73.42, 0.5f); }},
        {"tsimbl", 0.5, 1.7, [](Buffer& out, Buffer& send) { renderTsimbl(out, send, 0.5, 1.2, 587.33, 0.5f, -0.4f, 3u); }},
        {"kick", 0.5, 1.0, [](Buffer& out, Buffer&) { renderKick(out, 0.5, 0.6f); }},
        {"snare", 0.5, 0.8, [](Buffer& out, Buffer&) { renderSnare(out, 0.5, 0.3f, 5u); }},
        {"cymbal", 0.5, 0.8, [](Buffer& out, Buffer&) { renderCymbal(out, 0.5, 0.5f, 0.3f, 7u, 0.05); }},
        {"drop", 0.5, 0.75, [](Buffer& out, Buffer& send) { renderDrop(out, send, 0.5, 0.2f, 0.5f, 900.0); }},
        {"croak", 0.5, 0.9, [](Buffer& out, Buffer& send) { renderCroak(out, send, 0.5, 0.8f, -0.7f, 520.0); }},
    };
}

TEST(Synth, EveryVoiceRisesFromSilenceAndFallsBackIntoIt)
{
    for (const Voice& v : voices()) {
        Buffer out(4.0), send(4.0);
        v.render(out, send);
        std::size_t first = compose::frameAt(v.start), last = compose::frameAt(v.end);
        float peak = 0.0f;
        for (std::size_t i = 0; i < out.frames(); ++i) {
            peak = std::max(peak, std::max(std::abs(out.left[i]), std::abs(out.right[i])));
            if (i < first || i >= last) {
                ASSERT_EQ(out.left[i], 0.0f) << v.name << " sounds outside its note at frame " << i;
                ASSERT_EQ(out.right[i], 0.0f) << v.name << " sounds outside its note at frame " << i;
            }
        }
        ASSERT_GT(peak, 0.01f) << v.name << " is silent";
        // It fades out to near silence (a softer stop than a click shows); alone on silence, no
        // edge of it stands out as a click.
        for (std::size_t i = last - compose::frameAt(0.0005); i < last; ++i) {
            EXPECT_LT(std::abs(out.left[i]), 0.02f * peak) << v.name << " stops with a jump";
        }
        std::vector<float> x(out.left.begin(), out.left.end());
        for (float& s : x) {
            s *= 20000.0f / peak;
        }
        EXPECT_LT(worstClick(x, compose::sampleRate).ratio, 16.0) << v.name;
    }
}

TEST(Synth, ClickDetectorCatchesAVoiceWithoutEnvelope)
{
    // A slurred clarinet phrase, then the same phrase with a tone switched on at
    // full level in its middle.
    std::vector<compose::LeadNote> line{{0.2, 0.5, 440.0, 0.3f}, {0.7, 0.5, 392.0, 0.3f}, {1.2, 0.8, 370.0, 0.3f}};
    Buffer out(2.5), send(2.5);
    compose::renderLead(out, send, line, 0.0f, 0.3f);
    std::vector<float> clean(out.left.begin(), out.left.end());
    for (float& s : clean) {
        s *= 20000.0f;
    }
    EXPECT_LT(worstClick(clean, compose::sampleRate).ratio, 16.0);

    std::vector<float> broken = clean;
    std::size_t at = compose::frameAt(0.95);
    for (std::size_t i = at; i < at + 8000; ++i) {
        broken[i] += 3000.0f * static_cast<float>(std::cos(6.283185307 * 330.0 * static_cast<double>(i - at) / 44100.0));
    }
    Click found = worstClick(broken, compose::sampleRate);
    EXPECT_GT(found.ratio, 16.0);
    EXPECT_NEAR(found.seconds, 0.95, 0.01);
}

} // namespace
} // namespace tolva::assets
