#include "sound/Voices.h"

#include <cmath>
#include <cstdint>

namespace tolva {

sf::Int16 wrapSample(double x)
{
    if (std::isnan(x) || std::fabs(x) >= 2147483648.0) {
        return 0;
    }
    const auto n = static_cast<std::int32_t>(x);
    return static_cast<sf::Int16>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(n) & 0xffffu));
}

namespace {
// Nine decimals, as the tones were first tuned with; a truer 2*pi changes every sample.
constexpr double twoPi = 6.283185307;
constexpr double D = phaseStep;
} // namespace

FirstThree computeFirstThree()
{
    FirstThree out{SampleArray(sampleCount), SampleArray(sampleCount), SampleArray(sampleCount)};

    double t = 0.0;
    for (std::size_t k = 0; k < sampleCount; ++k) {
        const double i = static_cast<double>(k);
        const double A = std::atan2(t, i);
        const double B = (t * twoPi) * 30000.0;
        const double M = A * B;
        const double E = std::cos(t) * 5.0;
        const double F = M / E;
        const double G = (t * 30.0) + std::atan(i);
        const double x = (F + G) + std::sin(t);
        out.one[k] = wrapSample(x);
        t = t + D;
    }

    // Array 2 carries on from array 1's accumulated phase, not from a round 440.
    double a = 340.0;
    double b = t;
    for (std::size_t k = 0; k < sampleCount; ++k) {
        const double P = std::sin(a * twoPi) * 30000.0;
        const double Q = std::sqrt(std::atan(a) * (a * 35.0));
        const double x = (P / Q) * (std::cos(b) * 11.0);
        out.two[k] = wrapSample(x);
        a = a + D;
        b = std::sin(b) + std::pow(a, 2.0) * D;
    }

    a = 0.0;
    b = 0.0;
    for (std::size_t k = 0; k < sampleCount; ++k) {
        const double P = std::sin(a * twoPi) * 30000.0;
        const double Q = std::sqrt(std::atan(a) * (a * 5.0));
        const double x = (P / Q) * (std::cos(b) * 11.0) - b * 1550.0;
        out.three[k] = wrapSample(x);
        a = a + D;
        b = std::sin(b) + std::pow(a, 2.0) * D;
    }
    return out;
}

SampleArray computeFourth()
{
    SampleArray out(sampleCount);
    double a = 0.0;
    double b = 0.0;
    for (std::size_t k = 0; k < sampleCount; ++k) {
        double x = ((std::sin(a) * 15.0) * 30000.0) * (std::cos(b) * 17.0);
        x = x * (std::cos(a) * 12.0);
        out[k] = wrapSample(x);
        b = b + (std::sqrt((a + 30.0) - D) + std::sqrt((b + 30.0) - D));
        a = a + (std::sqrt((b + 30000.0) - D) - std::sqrt((a + 30000.0) - D));
    }
    return out;
}

void synthesizeFirstThree(SoundDeck& deck)
{
    const FirstThree arrays = computeFirstThree();
    deck.loadSamples(SoundId::voiceOne, arrays.one, sampleRate);
    deck.loadSamples(SoundId::voiceTwo, arrays.two, sampleRate);
    deck.loadSamples(SoundId::voiceThree, arrays.three, sampleRate);
    deck.createSound(SoundId::voiceOne, true, 1.0f);
    deck.createSound(SoundId::voiceTwo, true, 1.0f);
    deck.createSound(SoundId::voiceThree, true, 0.19f);
}

SampleArray synthesizeFourth(SoundDeck& deck)
{
    SampleArray four = computeFourth();
    deck.loadSamples(SoundId::voiceFour, four, sampleRate);
    return four;
}

void createVoiceFour(SoundDeck& deck) { deck.createSound(SoundId::voiceFour, true, 0.021f); }

void loadSoundFiles(SoundDeck& deck)
{
    deck.loadFile(SoundId::klezSound, "sounds/klez.wav");
    deck.createSound(SoundId::klezSound, false, 1.0f);
    deck.loadFile(SoundId::endSound, "sounds/endOfTolva.wav");
    deck.createSound(SoundId::endSound, false, 1.0f);
}

// The colour wanderText takes from the fourth tone: samples 1 to 3, as stored.
sf::Color wanderColour(const SampleArray& four)
{
    const auto s1 = static_cast<int>(four[1]);
    const auto s2 = static_cast<int>(four[2]);
    const auto s3 = static_cast<int>(four[3]);
    return sf::Color(static_cast<sf::Uint8>(s3 * 25 & 0xff), static_cast<sf::Uint8>(s2 * 25 & 0xff),
                     static_cast<sf::Uint8>(s1 * 5 & 0xff), 255);
}

} // namespace tolva
