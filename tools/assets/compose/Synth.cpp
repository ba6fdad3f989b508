#include "Synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace tolva::compose {

namespace {

constexpr double twoPi = 6.283185307179586;
constexpr float sr = static_cast<float>(sampleRate);

// Band-limited single-cycle tables: one per octave of fundamentals, each holding
// only the harmonics that stay below 18 kHz for the top of its octave, so that no
// voice aliases whatever its pitch.
class Wavetable {
public:
    static constexpr int size = 2048;

    explicit Wavetable(const std::function<double(int)>& harmonic)
    {
        std::array<double, size> sine{};
        for (int j = 0; j < size; ++j) {
            sine[static_cast<std::size_t>(j)] = std::sin(twoPi * j / size);
        }
        std::vector<double> amplitude(1);
        for (int band = 0; band < bands; ++band) {
            int count = std::max(1, static_cast<int>(18000.0 / top(band)));
            while (static_cast<int>(amplitude.size()) <= count) {
                amplitude.push_back(harmonic(static_cast<int>(amplitude.size())));
            }
            std::vector<double> table(size, 0.0);
            double peak = 0.0;
            for (int j = 0; j < size; ++j) {
                double v = 0.0;
                for (int n = 1; n <= count; ++n) {
                    double a = amplitude[static_cast<std::size_t>(n)];
                    if (a != 0.0) {
                        v += a * sine[static_cast<std::size_t>((n * j) & (size - 1))];
                    }
                }
                table[static_cast<std::size_t>(j)] = v;
                peak = std::max(peak, std::abs(v));
            }
            std::vector<float> scaledTable(size + 1);
            for (int j = 0; j <= size; ++j) {
                scaledTable[static_cast<std::size_t>(j)] =
                    static_cast<float>(table[static_cast<std::size_t>(j & (size - 1))] / peak);
            }
            tables_.push_back(std::move(scaledTable));
        }
    }

    // The table for a fundamental frequency (Hz).
    const std::vector<float>& band(double frequency) const
    {
        int b = 0;
        while (b < bands - 1 && frequency > top(b)) {
            ++b;
        }
        return tables_[static_cast<std::size_t>(b)];
    }

    // phase in cycles (any value).
    static float read(const std::vector<float>& t, double phase)
    {
        return readWrapped(t, phase - std::floor(phase));
    }

    // phase in cycles, already in [0, 1).
    static float readWrapped(const std::vector<float>& t, double phase)
    {
        double p = phase * size;
        auto i = static_cast<std::size_t>(p);
        float frac = static_cast<float>(p - static_cast<double>(i));
        return t[i] + (t[i + 1] - t[i]) * frac;
    }

    float at(double phase, double frequency) const { return read(band(frequency), phase); }

private:
    static constexpr int bands = 9;
    // 40 Hz, 80 Hz, ... 10240 Hz.
    static double top(int band) { return 40.0 * static_cast<double>(1 << band); }
    std::vector<std::vector<float>> tables_;
};

// Clarinet: strong odd harmonics, faint even ones.
const Wavetable& clarinetTable()
{
    static const Wavetable table([](int n) {
        double odd = (n % 2 == 1) ? 1.0 : 0.12;
        return odd / std::pow(static_cast<double>(n), 1.15);
    });
    return table;
}

// Accordion reed: a bright buzz between saw and square.
const Wavetable& reedTable()
{
    static const Wavetable table([](int n) {
        return ((n % 2 == 1) ? 1.0 : 0.55) / static_cast<double>(n);
    });
    return table;
}

const Wavetable& bassTable()
{
    static const Wavetable table([](int n) {
        static const double amps[] = {1.0, 0.5, 0.22, 0.12, 0.05, 0.025};
        return n <= 6 ? amps[n - 1] : 0.0;
    });
    return table;
}

const Wavetable& sineTable()
{
    static const Wavetable table([](int n) { return n == 1 ? 1.0 : 0.0; });
    return table;
}

// A raised-cosine ramp from 0 to 1 over `length` seconds.
float ramp(double t, double length)
{
    if (t <= 0.0) {
        return 0.0f;
    }
    if (t >= length) {
        return 1.0f;
    }
    return static_cast<float>(0.5 - 0.5 * std::cos(3.141592653589793 * t / length));
}

// Attack ramp, and a release ramp after `length`: zero before start and after the release.
float gate(double t, double attack, double length, double release)
{
    return ramp(t, attack) * (1.0f - ramp(t - length, release));
}

float onePole(double cutoff)
{
    return static_cast<float>(1.0 - std::exp(-twoPi * cutoff / sampleRate));
}

} // namespace

Buffer::Buffer(double seconds) : left(frameAt(seconds), 0.0f), right(frameAt(seconds), 0.0f) {}

void Buffer::mixIn(const Buffer& other, float gain)
{
    std::size_t n = std::min(frames(), other.frames());
    for (std::size_t i = 0; i < n; ++i) {
        left[i] += other.left[i] * gain;
        right[i] += other.right[i] * gain;
    }
}

Pan panning(float position)
{
    double angle = (static_cast<double>(position) + 1.0) * 0.25 * 3.141592653589793;
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}

namespace {

// What the player aims at for one sample: loudness, pitch (as a log frequency), how fast the
// pitch glides there, and how wide the vibrato.
struct LeadAim {
    float amp;
    double logF;
    double glide;
    double vibratoDepth;
};

// The notes' pitches as log frequencies (and their trills'), and the three speeds of a glide.
struct LeadPhrasing {
    explicit LeadPhrasing(const std::vector<LeadNote>& notes)
    {
        for (const LeadNote& n : notes) {
            logs.push_back(std::log(n.frequency));
            trillLogs.push_back(n.trillFrequency > 0.0 ? std::log(n.trillFrequency) : 0.0);
        }
    }
    static double glideCoefficient(double seconds) { return 1.0 - std::exp(-1.0 / (seconds * sampleRate)); }

    std::vector<double> logs, trillLogs;
    const double glideFast = glideCoefficient(0.012), glideTrill = glideCoefficient(0.006),
                 glideSlide = glideCoefficient(0.07);
};

// The aim at time t in note k; logF: where the pitch stands, held while nothing sounds.
LeadAim leadAim(const std::vector<LeadNote>& notes, std::size_t k, double t, const LeadPhrasing& phrasing,
                double logF)
{
    const LeadNote& n = notes[k];
    double into = t - n.start;
    LeadAim aim{0.0f, logF, phrasing.glideFast, 0.0};
    if (!(into >= 0.0 && into < n.length)) {
        return aim;
    }
    bool slurred = k > 0 && notes[k - 1].start + notes[k - 1].length >= n.start - 1e-6;
    aim.amp = n.velocity;
    if (slurred) {
        // Tonguing between slurred notes: a short dip, not a stop.
        aim.amp *= 1.0f - 0.22f * static_cast<float>(std::exp(-into / 0.02));
    }
    aim.logF = phrasing.logs[k];
    if (n.trill && n.trillFrequency > 0.0 && std::fmod(into * 13.0, 1.0) >= 0.5) {
        aim.logF = phrasing.trillLogs[k];
        aim.glide = phrasing.glideTrill;
    }
    if (n.slide) {
        aim.glide = phrasing.glideSlide;
    }
    double left = n.length - into;
    if (n.sob && left < 0.14 && n.length > 0.3) {
        double u = 1.0 - left / 0.14;
        double bump = std::sin(3.141592653589793 * u);
        aim.logF += 0.0578 * bump;  // a semitone up and back
        aim.amp *= 1.0f - 0.45f * static_cast<float>(bump);
    }
    if (n.length > 0.35 && !n.trill) {
        double grow = std::min(1.0, std::max(0.0, (into - 0.18) / 0.5));
        aim.vibratoDepth = 0.016 * grow;  // about a quarter tone wide at most
    }
    return aim;
}

// The clarinet itself: follows the aim sample by sample, breath and all.
class LeadVoice {
public:
    explicit LeadVoice(double logF) : logF(logF) {}

    // Sample i's value.
    float next(const LeadAim& aim, std::size_t i)
    {
        amp += (aim.amp - amp) * (aim.amp > amp ? attack : release);
        logF += (aim.logF - logF) * aim.glide;
        vibratoPhase += 5.6 / sampleRate;
        double vibrato = aim.vibratoDepth > 0.0
                             ? aim.vibratoDepth * static_cast<double>(Wavetable::read(vibratoWave, vibratoPhase))
                             : 0.0;
        double f = std::exp(logF + vibrato);
        phase += f / sampleRate;
        float s = table.at(phase, f);
        // Louder is brighter: a one-pole low-pass opened by the breath.
        if ((i & 15u) == 0u) {
            cutoff = onePole(900.0 + 5200.0 * static_cast<double>(amp));
        }
        tone += (s - tone) * cutoff;
        breath += (breathNoise.next() - breath) * 0.18f;
        return (tone + 0.06f * breath) * amp;
    }

    double logF;

private:
    const Wavetable& table = clarinetTable();
    Noise breathNoise{77u};
    double phase = 0.0, vibratoPhase = 0.0;
    float amp = 0.0f, tone = 0.0f, breath = 0.0f;
    const float attack = onePole(1.0 / (twoPi * 0.012)), release = onePole(1.0 / (twoPi * 0.05));
    const std::vector<float>& vibratoWave = sineTable().band(5.6);
    float cutoff = onePole(900.0);
};

} // namespace

void renderLead(Buffer& out, Buffer& send, const std::vector<LeadNote>& notes, float pan, float sendLevel)
{
    if (notes.empty()) {
        return;
    }
    LeadVoice voice(std::log(notes.front().frequency));
    Pan p = panning(pan);
    double end = notes.back().start + notes.back().length + 0.4;
    std::size_t first = frameAt(notes.front().start), last = std::min(out.frames(), frameAt(end));
    const LeadPhrasing phrasing(notes);
    std::size_t k = 0;
    for (std::size_t i = first; i < last; ++i) {
        double t = static_cast<double>(i) / sampleRate;
        while (k + 1 < notes.size() && t >= notes[k + 1].start) {
            ++k;
        }
        float v = voice.next(leadAim(notes, k, t, phrasing, voice.logF), i);
        out.add(i, v * p.left, v * p.right);
        send.add(i, v * p.left * sendLevel, v * p.right * sendLevel);
    }
}

void renderReed(Buffer& out, Buffer& send, double start, double length, double frequency, float velocity,
                float pan, float sendLevel)
{
    const Wavetable& table = reedTable();
    Pan p = panning(pan);
    const double attack = 0.025, releaseTime = 0.08;
    std::size_t first = frameAt(start), last = std::min(out.frames(), frameAt(start + length + releaseTime));
    const double detune[3] = {std::pow(2.0, -7.0 / 1200.0), 1.0, std::pow(2.0, 6.0 / 1200.0)};
    double phases[3] = {0.0, 0.31, 0.67};
    const std::vector<float>* bands[3] = {&table.band(frequency * detune[0]), &table.band(frequency * detune[1]),
                                          &table.band(frequency * detune[2])};
    const std::vector<float>& swellWave = sineTable().band(1.0);
    const double steps[3] = {frequency * detune[0] / sampleRate, frequency * detune[1] / sampleRate,
                             frequency * detune[2] / sampleRate};
    double swellRate = 0.5 / std::max(0.3, length);
    float low = 0.0f;
    const float cutoff = onePole(2600.0);
    for (std::size_t i = first; i < last; ++i) {
        double t = static_cast<double>(i) / sampleRate - start;
        float env = gate(t, attack, length, releaseTime);
        // The bellows: a gentle swell through a long note.
        env *= 0.85f + 0.15f * Wavetable::read(swellWave, std::min(0.5, t * swellRate));
        float s = 0.0f;
        for (int r = 0; r < 3; ++r) {
            phases[r] += steps[r];
            if (phases[r] >= 1.0) {
                phases[r] -= 1.0;
            }
            s += Wavetable::readWrapped(*bands[r], phases[r]);
        }
        low += (s - low) * cutoff;
        float v = low * (velocity / 3.0f) * env;
        out.add(i, v * p.left, v * p.right);
        send.add(i, v * p.left * sendLevel, v * p.right * sendLevel);
    }
}

void renderBass(Buffer& out, double start, double length, double frequency, float velocity)
{
    const std::vector<float>& wave = bassTable().band(frequency);
    const double releaseTime = 0.06;
    std::size_t first = frameAt(start), last = std::min(out.frames(), frameAt(start + length + releaseTime));
    double phase = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        double t = static_cast<double>(i) / sampleRate - start;
        float env = gate(t, 0.006, length, releaseTime) * (0.35f + 0.65f * static_cast<float>(std::exp(-t / 0.28)));
        phase += frequency / sampleRate;
        float v = Wavetable::read(wave, phase) * velocity * env;
        out.add(i, v * 0.95f, v * 0.95f);
    }
}

void renderTsimbl(Buffer& out, Buffer& send, double start, double ring, double frequency, float velocity,
                  float pan, std::uint32_t seed)
{
    Pan p = panning(pan);
    std::size_t first = frameAt(start), last = std::min(out.frames(), frameAt(start + ring));
    for (int string = 0; string < 2; ++string) {
        // The two strings of a course are tuned a hair apart: the shimmer of the instrument.
        double f = frequency * (string == 0 ? 1.0 : std::pow(2.0, 3.5 / 1200.0));
        double delay = sampleRate / f - 0.5;
        std::size_t size = static_cast<std::size_t>(delay) + 4;
        std::vector<float> line(size, 0.0f);
        Noise noise(seed * 2u + static_cast<std::uint32_t>(string));
        // The hammer: a soft burst, low-passed more for a gentle stroke.
        float soft = 0.35f + 0.5f * velocity, state = 0.0f;
        for (std::size_t j = 0; j < size; ++j) {
            state += (noise.next() - state) * soft;
            line[j] = state;
        }
        float mean = 0.0f;
        for (float v : line) {
            mean += v;
        }
        mean /= static_cast<float>(size);
        for (float& v : line) {
            v -= mean;
        }
        std::size_t write = 0;
        const float loss = static_cast<float>(std::pow(0.5, 1.0 / (f * 1.1)));  // halves in about 1.1 s
        for (std::size_t i = first; i < last; ++i) {
            double t = static_cast<double>(i) / sampleRate - start;
            double readPos = static_cast<double>(write) + static_cast<double>(size) - delay;
            auto r0 = static_cast<std::size_t>(readPos);
            float frac = static_cast<float>(readPos - static_cast<double>(r0));
            float a = line[r0 % size], b = line[(r0 + size - 1) % size];
            float delayed = a + (b - a) * frac;
            float c = line[(r0 + size - 2) % size];
            float delayed2 = b + (c - b) * frac;
            float y = 0.5f * (delayed + delayed2) * loss;
            line[write] = y;
            write = (write + 1) % size;
            float env = ramp(t, 0.002) * (1.0f - ramp(t - (ring - 0.05), 0.05));
            float v = y * velocity * env * 0.5f;
            out.add(i, v * p.left, v * p.right);
            send.add(i, v * p.left * 0.35f, v * p.right * 0.35f);
        }
    }
}

void renderKick(Buffer& out, double start, float velocity)
{
    const Wavetable& table = sineTable();
    std::size_t first = frameAt(start), last = std::min(out.frames(), frameAt(start + 0.5));
    double phase = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        double t = static_cast<double>(i) / sampleRate - start;
        double f = 46.0 + 105.0 * std::exp(-t / 0.03);
        phase += f / sampleRate;
        float env = ramp(t, 0.002) * static_cast<float>(std::exp(-t / 0.16)) * (1.0f - ramp(t - 0.45, 0.05));
        float v = table.at(phase, f) * velocity * env;
        out.add(i, v, v);
    }
}

void renderSnare(Buffer& out, double start, float velocity, std::uint32_t seed)
{
    const Wavetable& table = sineTable();
    Noise noise(seed);
    std::size_t first = frameAt(start), last = std::min(out.frames(), frameAt(start + 0.3));
    double phase = 0.0;
    float previous = 0.0f, band = 0.0f;
    for (std::size_t i = first; i < last; ++i) {
        double t = static_cast<double>(i) / sampleRate - start;
        float n = noise.next();
        float high = n - previous;  // a rough high-pass: the snares' rattle
        previous = n;
        band += (high - band) * 0.5f;
        phase += 182.0 / sampleRate;
        float body = table.at(phase, 182.0) * static_cast<float>(std::exp(-t / 0.045));
        float env = ramp(t, 0.003) * (1.0f - ramp(t - 0.25, 0.05));
        float v = (0.55f * band * static_cast<float>(std::exp(-t / 0.07)) + 0.6f * body) * velocity * env;
        out.add(i, v * 0.98f, v);
    }
}

void renderCymbal(Buffer& out, double start, float velocity, float pan, std::uint32_t seed, double decay)
{
    Pan p = panning(pan);
    Noise noise(seed);
    double length = decay * 6.0;
    std::size_t first = frameAt(start), last = std::min(out.frames(), frameAt(start + length));
    float previous = 0.0f, previous2 = 0.0f;
    for (std::size_t i = first; i < last; ++i) {
        double t = static_cast<double>(i) / sampleRate - start;
        float n = noise.next();
        float high = n - 2.0f * previous + previous2;  // second difference: only the sizzle
        previous2 = previous;
        previous = n;
        float env = ramp(t, 0.003) * static_cast<float>(std::exp(-t / decay)) * (1.0f - ramp(t - (length - 0.02), 0.02));
        float v = 0.25f * high * velocity * env;
        out.add(i, v * p.left, v * p.right);
    }
}

void renderDrop(Buffer& out, Buffer& send, double start, float velocity, float pan, double pitch)
{
    const Wavetable& table = sineTable();
    Pan p = panning(pan);
    std::size_t first = frameAt(start), last = std::min(out.frames(), frameAt(start + 0.25));
    double phase = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        double t = static_cast<double>(i) / sampleRate - start;
        double f = pitch * (1.0 + 1.3 * (1.0 - std::exp(-t / 0.025)));  // the bloop rises
        phase += f / sampleRate;
        float env = ramp(t, 0.003) * static_cast<float>(std::exp(-t / 0.04)) * (1.0f - ramp(t - 0.2, 0.05));
        float v = table.at(phase, f) * velocity * env;
        out.add(i, v * p.left, v * p.right);
        send.add(i, v * p.left * 0.6f, v * p.right * 0.6f);
    }
}

void renderCroak(Buffer& out, Buffer& send, double start, float velocity, float pan, double pitch)
{
    // "Rib-bit": two short bursts of a buzzing pulse through a throat resonance.
    Pan p = panning(pan);
    std::size_t first = frameAt(start), last = std::min(out.frames(), frameAt(start + 0.4));
    double pulsePhase = 0.0;
    // Two-pole resonator at the given pitch.
    double w = twoPi * pitch / sampleRate, radius = 0.985;
    float a1 = static_cast<float>(2.0 * radius * std::cos(w)), a2 = static_cast<float>(-radius * radius);
    float y1 = 0.0f, y2 = 0.0f;
    for (std::size_t i = first; i < last; ++i) {
        double t = static_cast<double>(i) / sampleRate - start;
        double syllable = t < 0.16 ? t : t - 0.16;
        double rate = t < 0.16 ? 34.0 : 40.0;
        pulsePhase += rate / sampleRate;
        double c = std::cos(twoPi * pulsePhase);
        float pulse = c > 0.0 ? static_cast<float>(std::pow(c, 16.0)) : 0.0f;
        float env = ramp(syllable, 0.012) * (1.0f - ramp(syllable - 0.08, 0.04));
        float x = pulse * env;
        float y = x + a1 * y1 + a2 * y2;
        y2 = y1;
        y1 = y;
        float v = y * 0.0009f * velocity;  // the resonance rings up about 60 times the pulse
        out.add(i, v * p.left, v * p.right);
        send.add(i, v * p.left * 0.5f, v * p.right * 0.5f);
    }
}

void reverberate(const Buffer& send, Buffer& out, float wet)
{
    static const int combLengths[] = {1116, 1188, 1277, 1356, 1422, 1491};
    static const int allpassLengths[] = {556, 441, 341};
    const int spread = 23;
    for (int channel = 0; channel < 2; ++channel) {
        const std::vector<float>& in = channel == 0 ? send.left : send.right;
        std::vector<float>& dest = channel == 0 ? out.left : out.right;
        std::vector<std::vector<float>> combs, allpasses;
        for (int length : combLengths) {
            combs.emplace_back(static_cast<std::size_t>(length + channel * spread), 0.0f);
        }
        for (int length : allpassLengths) {
            allpasses.emplace_back(static_cast<std::size_t>(length + channel * spread), 0.0f);
        }
        std::vector<std::size_t> combPos(combs.size(), 0), allpassPos(allpasses.size(), 0);
        std::vector<float> damped(combs.size(), 0.0f);
        const float feedback = 0.82f, damp = 0.3f;
        std::size_t n = std::min(in.size(), dest.size());
        for (std::size_t i = 0; i < n; ++i) {
            float x = in[i] * 0.12f;
            float sum = 0.0f;
            for (std::size_t c = 0; c < combs.size(); ++c) {
                std::vector<float>& line = combs[c];
                float y = line[combPos[c]];
                damped[c] = y * (1.0f - damp) + damped[c] * damp;
                line[combPos[c]] = x + damped[c] * feedback;
                if (++combPos[c] == line.size()) {
                    combPos[c] = 0;
                }
                sum += y;
            }
            for (std::size_t a = 0; a < allpasses.size(); ++a) {
                std::vector<float>& line = allpasses[a];
                float buffered = line[allpassPos[a]];
                float y = buffered - sum;
                line[allpassPos[a]] = sum + buffered * 0.5f;
                if (++allpassPos[a] == line.size()) {
                    allpassPos[a] = 0;
                }
                sum = y;
            }
            dest[i] += sum * wet;
        }
    }
}

std::vector<std::int16_t> master(const Buffer& mix, double peakDb)
{
    float peak = 0.0f;
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        peak = std::max(peak, std::max(std::abs(mix.left[i]), std::abs(mix.right[i])));
    }
    double target = std::pow(10.0, peakDb / 20.0);
    float gain = peak > 0.0f ? static_cast<float>(target * 32767.0 / static_cast<double>(peak)) : 0.0f;
    std::vector<std::int16_t> samples(mix.frames() * 2);
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        samples[2 * i] = static_cast<std::int16_t>(std::lround(mix.left[i] * gain));
        samples[2 * i + 1] = static_cast<std::int16_t>(std::lround(mix.right[i] * gain));
    }
    return samples;
}

} // namespace tolva::compose
