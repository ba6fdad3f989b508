#include "Score.h"

#include <array>
#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>

namespace tolva::compose {

namespace {

// --- Pitch --------------------------------------------------------------------------

struct Mode {
    int tonic;                 // MIDI note of degree 1 in the clarinet's register
    std::array<int, 7> steps;  // semitones of degrees 1..7 above the tonic
};

// D freygish: the "Ahava Raba" mode, a minor-sounding scale with a major third
// and a lowered second; the home of most freylekhs.
const Mode freygish{62, {0, 1, 4, 5, 7, 8, 10}};
// G misheberakh (Ukrainian Dorian): minor with a raised fourth, for the hora.
const Mode misheberakh{67, {0, 2, 3, 6, 7, 9, 10}};

double hz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// One written note: "5" (degree 5, an eighth), "1':2" (degree 1 an octave up,
// a quarter), "5,:0.5" (an octave down, a sixteenth), "r:2" (a rest).
// Prefixes: ~ slide into it, ^ a grace note from above. Suffixes: t trill, s sob.
struct Written {
    bool rest = false;
    int midi = 0;
    int upper = 0;  // the next degree up, for trills and grace notes
    double length = 1.0;
    bool slide = false, grace = false, trill = false, sob = false;
};

std::vector<Written> parse(const std::string& line, const Mode& mode)
{
    std::vector<Written> notes;
    std::istringstream in(line);
    std::string token;
    while (in >> token) {
        Written w;
        std::size_t i = 0;
        while (i < token.size() && (token[i] == '~' || token[i] == '^')) {
            (token[i] == '~' ? w.slide : w.grace) = true;
            ++i;
        }
        if (i >= token.size()) {
            throw std::runtime_error("bad note: " + token);
        }
        if (token[i] == 'r') {
            w.rest = true;
            ++i;
        } else if (token[i] >= '1' && token[i] <= '7') {
            int degree = token[i] - '1';
            ++i;
            int octave = 0;
            while (i < token.size() && (token[i] == '\'' || token[i] == ',')) {
                octave += token[i] == '\'' ? 12 : -12;
                ++i;
            }
            w.midi = mode.tonic + mode.steps[static_cast<std::size_t>(degree)] + octave;
            int next = (degree + 1) % 7;
            w.upper = mode.tonic + mode.steps[static_cast<std::size_t>(next)] + octave + (next == 0 ? 12 : 0);
        } else {
            throw std::runtime_error("bad note: " + token);
        }
        if (i < token.size() && token[i] == ':') {
            std::size_t used = 0;
            w.length = std::stod(token.substr(i + 1), &used);
            i += 1 + used;
        }
        for (; i < token.size(); ++i) {
            if (token[i] == 't') {
                w.trill = true;
            } else if (token[i] == 's') {
                w.sob = true;
            } else {
                throw std::runtime_error("bad note: " + token);
            }
        }
        notes.push_back(w);
    }
    return notes;
}

double eighthsIn(const std::vector<Written>& notes)
{
    double sum = 0.0;
    for (const Written& w : notes) {
        sum += w.length;
    }
    return sum;
}

// The clarinet's part, collected over the whole piece and rendered in one go.
class Lead {
public:
    // Plays a line from `start`, `unit` seconds per written eighth; returns the end.
    double play(double start, double unit, const std::string& line, const Mode& mode, float velocity)
    {
        std::vector<Written> written = parse(line, mode);
        double t = start, position = 0.0;
        for (std::size_t k = 0; k < written.size(); ++k) {
            const Written& w = written[k];
            double length = w.length * unit;
            if (!w.rest) {
                bool nextSlides = k + 1 < written.size() && written[k + 1].slide;
                // A breath between notes, except into a slide.
                double gap = nextSlides ? 0.0 : std::min(0.03, 0.12 * length);
                // Notes on the beat a little stronger.
                float accent = std::fmod(position, 2.0) < 1e-9 ? 1.0f : 0.9f;
                double begin = t;
                if (w.grace) {
                    notes.push_back({begin, 0.055, hz(w.upper), velocity * accent});
                    begin += 0.055;
                }
                LeadNote n{begin, t + length - gap - begin, hz(w.midi), velocity * accent};
                n.slide = w.slide;
                n.trill = w.trill;
                n.sob = w.sob;
                n.trillFrequency = hz(w.upper);
                notes.push_back(n);
            }
            t += length;
            position += w.length;
        }
        return t;
    }

    std::vector<LeadNote> notes;
};

// --- Harmony ------------------------------------------------------------------------

struct Chord {
    int bass;                 // MIDI, low register
    std::vector<int> voicing; // MIDI, the accordion's hand
};

const Chord& chord(const std::string& name)
{
    static const std::map<std::string, Chord> chords{
        {"D", {38, {57, 62, 66}}},  {"Cm", {36, {55, 60, 63}}}, {"Gm", {43, {55, 58, 62}}},
        {"Eb", {39, {55, 58, 63}}}, {"C", {36, {55, 60, 64}}},  {"A7", {45, {55, 61, 64}}},
    };
    return chords.at(name);
}

std::vector<std::string> split(const std::string& names)
{
    std::vector<std::string> out;
    std::istringstream in(names);
    std::string name;
    while (in >> name) {
        out.push_back(name);
    }
    return out;
}

// --- The band -----------------------------------------------------------------------

struct Band {
    Buffer dry;
    Buffer send;
    Lead lead;
    std::uint32_t hits = 1;

    explicit Band(double seconds) : dry(seconds), send(seconds) {}

    void stab(double t, double length, const Chord& c, float velocity, float pan = 0.35f)
    {
        for (int note : c.voicing) {
            renderReed(dry, send, t, length, hz(note), velocity, pan, 0.2f);
        }
    }
    void bass(double t, double length, int midi, float velocity) { renderBass(dry, t, length, hz(midi), velocity); }
    void kick(double t, float velocity) { renderKick(dry, t, velocity); }
    void snare(double t, float velocity) { renderSnare(dry, t, velocity, hits++); }
    void cymbal(double t, float velocity, double decay = 0.05) { renderCymbal(dry, t, velocity, 0.3f, hits++, decay); }
    void tsimbl(double t, double ring, int midi, float velocity, float pan = -0.4f)
    {
        renderTsimbl(dry, send, t, ring, hz(midi), velocity, pan, hits++);
    }
};

// The dance: bass on one and three, the accordion's "pah" on two and four, the
// poyk under it. In the bulgar the accents fall 3+3+2.
void danceBar(Band& band, double t0, double bar, const Chord& c, float energy, bool bulgar)
{
    double e = bar / 8.0;
    if (bulgar) {
        band.bass(t0, 2.6 * e, c.bass, 0.5f * energy);
        band.bass(t0 + 3.0 * e, 2.6 * e, c.bass + 7, 0.42f * energy);
        band.bass(t0 + 6.0 * e, 1.6 * e, c.bass + 12, 0.4f * energy);
        for (double p : {0.0, 3.0, 6.0}) {
            band.stab(t0 + p * e, 1.4 * e, c, (p == 0.0 ? 0.26f : 0.22f) * energy);
            band.kick(t0 + p * e, 0.55f * energy);
        }
        band.snare(t0 + 6.0 * e, 0.3f * energy);
    } else {
        band.bass(t0, 1.7 * e, c.bass, 0.5f * energy);
        band.bass(t0 + 4.0 * e, 1.7 * e, c.bass + 7, 0.42f * energy);
        for (double p : {2.0, 6.0}) {
            band.stab(t0 + p * e, 1.3 * e, c, 0.24f * energy);
            band.snare(t0 + p * e, 0.28f * energy);
        }
        band.kick(t0, 0.55f * energy);
        band.kick(t0 + 4.0 * e, 0.5f * energy);
    }
    for (int p = 0; p < 8; ++p) {
        band.cymbal(t0 + p * e, (p % 2 == 1 ? 0.16f : 0.1f) * energy);
    }
    // A quiet sustained chord under it all.
    band.stab(t0, bar * 0.98, c, 0.06f * energy, -0.2f);
}

// The hora: a slow three that limps, long-short: ONE (two) THREE.
void horaBar(Band& band, double t0, double bar, const Chord& c, float energy)
{
    double e = bar / 6.0;
    band.bass(t0, 3.6 * e, c.bass, 0.48f * energy);
    band.stab(t0, 3.6 * e, c, 0.1f * energy, -0.2f);
    band.stab(t0 + 4.0 * e, 1.8 * e, c, 0.24f * energy);
    band.kick(t0, 0.45f * energy);
    band.snare(t0 + 4.0 * e, 0.22f * energy);
    band.cymbal(t0 + 2.0 * e, 0.08f * energy);
    band.cymbal(t0 + 4.0 * e, 0.14f * energy);
}

// The tsimbl alone: broken chords, a long bass, a rim tick; it grows bar by bar.
void tsimblBar(Band& band, double t0, double bar, const Chord& c, float energy, bool last)
{
    double e = bar / 8.0;
    static const int pattern[8] = {0, 1, 2, 3, 2, 1, 2, 3};
    std::vector<int> tones{c.voicing[0], c.voicing[1], c.voicing[2], c.voicing[0] + 12};
    for (int p = 0; p < 8; ++p) {
        band.tsimbl(t0 + p * e, 1.2, tones[static_cast<std::size_t>(pattern[p])] + 12, 0.55f * energy,
                    p % 2 == 0 ? -0.45f : -0.25f);
    }
    band.bass(t0, bar * 0.95, c.bass, 0.4f * energy);
    band.cymbal(t0 + 2.0 * e, 0.05f * energy, 0.02);
    band.cymbal(t0 + 6.0 * e, 0.05f * energy, 0.02);
    if (last) {
        // The roll into the finale.
        for (int k = 0; k < 16; ++k) {
            band.snare(t0 + 4.0 * e + k * e / 4.0, (0.08f + 0.02f * static_cast<float>(k)) * energy);
        }
    }
}

// The bars of a section: a tempo in beats per minute and a metre.
struct Timing {
    double start;
    double bpm;
    int beatsPerBar;
    int bars;
    double bar() const { return 60.0 * beatsPerBar / bpm; }
    double end() const { return start + bars * bar(); }
};

// The doina is free; the dance sections are counted. Their tempos are chosen so
// each section ends where the next scene begins.
constexpr double doinaLength = 36.0;
const Timing freylekhsTiming{doinaLength, 134.74, 4, 32};

Timing horaTiming() { return {freylekhsTiming.end(), 88.16, 3, 24}; }
Timing bulgarTiming() { return {horaTiming().end(), 147.69, 4, 24}; }
Timing tsimblTiming() { return {bulgarTiming().end(), 120.0, 4, 12}; }
Timing finaleTiming() { return {tsimblTiming().end(), 156.73, 4, 32}; }

// --- Tunes ----------------------------------------------------------------------------

const std::vector<std::string> tuneA{
    "5 6 5 4 3:2 2:2", "3 4 5 6 5:4", "5 6 5 4 3:2 2:2", "3 2 1 2 3:4",
    "3 4 5 1' 7 6 5 4", "5:2 6 5 4:2 3:2", "3 4 3 2 1 2 3 4", "1:4 r:2 5,:2"};
const std::vector<std::string> tuneAOrnate{
    "^5 6 5 4 3:2 2:2s", "3 4 5 6 5:4t", "^5 6 5 4 3:2 2:2", "3 2 1 2 3:4s",
    "3 4 5 1' 2' 1' 7 6", "5:2 6 5 4:2 3:2", "3 4 3 2 1 2 3 2", "1:4 r:2 5:2"};
const std::vector<std::string> tuneB{
    "1':2 7 6 7:2 6 5", "6:2 5 4 5:4", "1':2 7 6 7:2 6 5", "4 5 6 5 4:2 3:2",
    "3:2 4 5 6:2 5 4", "5:2 4 3 2:2 1 2", "3 4 5 4 3 2 1 2", "1:4 r:2 5,:2"};
const std::vector<std::string> tuneC{
    "1' 7 6 5 6 5 4 3", "4 3 2 3 1:4", "5 6 7 1' 2' 1' 7 6", "7 6 5 6 5:4",
    "1' 7 6 5 6 5 4 3", "4 5 6 5 4 3 2 1", "2 3 4 3 2 1 2 3", "1:2 5,:2 1:4"};
const std::vector<std::string> tuneCRuns{
    "1' 7 6 5 6 5 4 3", "4 3 2 3 1:4", "5 6 7 1' 2' 1' 7 6", "7 6 5 6 5:0.5 6:0.5 5:0.5 4:0.5 3:0.5 4:0.5 5",
    "1' 7 6 5 6 5 4 3", "4 5 6 5 4 3 2 1", "2 3 4 3 2 1:0.5 2:0.5 3:0.5 4:0.5 5", "1:2 5,:2 1:4"};
const std::vector<std::string> horaP{
    "5:4 4 3", "4:2 5:4", "6 5 4:2 3:2", "2:6s", "3:2 4 5 6:2", "7:2 6:4s", "5 4 3:2 2:2", "1:6"};
const std::vector<std::string> horaQ{
    "1':4 7:2", "6:2 7 6 5:2", "6:4 5:2", "4:2 3:4s", "5:2 4 3 4:2", "5:4 3:2", "2:2 3 2 1:2", "1:6"};
const std::vector<std::string> tsimblTune{
    "5:8", "6:4 5:4s", "4:2 3:2 2:4", "1:8", "3:4 4:4", "5:2 6:2 7:4",
    "6:8t", "5:8", "1':4 7:4", "6:4 5:4", "6 5 4 3 4 5 6 7", "1':2 7 6 5 4 3 2"};

const char* chordsA = "D D Cm D D Gm D D";
const char* chordsB = "Gm Cm Gm D D Cm D D";
const char* chordsC = "Gm D Cm D Gm D Cm D";
const char* chordsHoraP = "Gm C C D Gm C D Gm";
const char* chordsHoraQ = "Gm C C D Gm Gm D Gm";
const char* chordsTsimbl = "D Gm Cm D D Cm Gm D Gm Cm Cm D";

// Bar lines must add up: a tune that does not fill its bars would shift every
// section after it.
void checkBars(const std::vector<std::string>& bars, const Mode& mode, double eighths)
{
    for (const std::string& bar : bars) {
        if (std::abs(eighthsIn(parse(bar, mode)) - eighths) > 1e-9) {
            throw std::runtime_error("bar does not add up: " + bar);
        }
    }
}

// Plays bars of a tune with their chords from `t`; returns the end.
double dance(Band& band, double t, double bar, const std::vector<std::string>& tune, const char* chords,
             float energy, bool bulgar, float leadVelocity, std::size_t barsToPlay = 8)
{
    checkBars(tune, freygish, 8.0);
    std::vector<std::string> names = split(chords);
    for (std::size_t k = 0; k < barsToPlay; ++k) {
        band.lead.play(t, bar / 8.0, tune[k], freygish, leadVelocity);
        danceBar(band, t, bar, chord(names[k]), energy, bulgar);
        t += bar;
    }
    return t;
}

double hora(Band& band, double t, double bar, const std::vector<std::string>& tune, const char* chords, float energy)
{
    checkBars(tune, misheberakh, 6.0);
    std::vector<std::string> names = split(chords);
    for (std::size_t k = 0; k < tune.size(); ++k) {
        band.lead.play(t, bar / 6.0, tune[k], misheberakh, 0.3f);
        horaBar(band, t, bar, chord(names[k]), energy);
        t += bar;
    }
    return t;
}

void doina(Band& band)
{
    // Free time: the unit is one second.
    double t = 2.0;
    t = band.lead.play(t, 1.0, "5:3.5 6:0.35 5:0.35 4:0.5 3:2.4s r:0.4 ^3:0.3 2:0.3 3:0.3 2:0.3 1:3.2 r:1.2",
                       freygish, 0.26f);
    t = band.lead.play(t, 1.0, "1:0.35 3:0.35 5:0.5 1':2.8t 7:0.4 6:0.4 5:2.2s r:0.5 6:0.3 5:0.3 4:0.3 3:0.3 2:1.6 1:2.6 r:0.9",
                       freygish, 0.28f);
    band.lead.play(t, 1.0, "1:0.3 2:0.3 3:0.3 4:0.3 5:0.3 6:0.3 7:0.3 1':0.3 2':0.4 1':0.5 7:0.5 6:0.5 ~5:1.8",
                   freygish, 0.3f);

    struct Held {
        double start, end;
        const char* chord;
    };
    const Held held[] = {{0.0, 12.2, "D"}, {12.0, 15.7, "Cm"}, {15.5, 22.2, "D"}, {22.0, 25.7, "Gm"}, {25.5, 36.0, "D"}};
    for (const Held& h : held) {
        const Chord& c = chord(h.chord);
        band.stab(h.start, h.end - h.start - 0.1, c, 0.1f, -0.1f);
        renderReed(band.dry, band.send, h.start, h.end - h.start - 0.1, hz(c.voicing[0] - 12), 0.06f, 0.1f, 0.2f);
        band.bass(h.start, h.end - h.start - 0.1, c.bass, 0.3f);
    }
    // The tsimbl opens, and answers between the clarinet's phrases.
    const int rise[] = {62, 66, 69, 74, 78, 81, 86};
    for (int k = 0; k < 7; ++k) {
        band.tsimbl(0.1 + 0.16 * k, 2.2, rise[k], 0.45f);
    }
    for (double at : {15.2, 28.95}) {
        for (int k = 0; k < 12; ++k) {
            band.tsimbl(at + 0.09 * k, 1.0, (k % 2 == 0) ? 74 : 69, 0.25f + 0.02f * static_cast<float>(k));
        }
    }
}

// The first tune, ending on the tonic instead of leading on.
std::vector<std::string> closingTuneA()
{
    std::vector<std::string> closingA = tuneA;
    closingA.back() = "1:4 r:4";
    return closingA;
}

void playFreylekhs(Band& band)
{
    double bar = freylekhsTiming.bar();
    double t = freylekhsTiming.start;
    t = dance(band, t, bar, tuneA, chordsA, 0.9f, false, 0.3f);
    t = dance(band, t, bar, tuneAOrnate, chordsA, 0.95f, false, 0.3f);
    t = dance(band, t, bar, tuneB, chordsB, 1.0f, false, 0.31f);
    dance(band, t, bar, closingTuneA(), chordsA, 1.0f, false, 0.31f);
}

void playHora(Band& band)
{
    Timing h = horaTiming();
    std::vector<std::string> horaEnd = horaP;
    horaEnd[0] = "^5:4 4 3";
    horaEnd.back() = "1:4 r:2";
    double t = hora(band, h.start, h.bar(), horaP, chordsHoraP, 0.85f);
    t = hora(band, t, h.bar(), horaQ, chordsHoraQ, 0.9f);
    hora(band, t, h.bar(), horaEnd, chordsHoraP, 0.8f);
}

void playBulgar(Band& band)
{
    Timing b = bulgarTiming();
    double t = dance(band, b.start, b.bar(), tuneC, chordsC, 1.0f, true, 0.32f);
    t = dance(band, t, b.bar(), tuneCRuns, chordsC, 1.05f, true, 0.32f);
    dance(band, t, b.bar(), closingTuneA(), chordsA, 1.05f, true, 0.32f);
}

void playTsimbl(Band& band)
{
    Timing s = tsimblTiming();
    checkBars(tsimblTune, freygish, 8.0);
    std::vector<std::string> names = split(chordsTsimbl);
    for (int k = 0; k < s.bars; ++k) {
        double t0 = s.start + k * s.bar();
        float grow = 0.55f + 0.45f * static_cast<float>(k) / static_cast<float>(s.bars - 1);
        band.lead.play(t0, s.bar() / 8.0, tsimblTune[static_cast<std::size_t>(k)], freygish, 0.22f + 0.08f * grow);
        tsimblBar(band, t0, s.bar(), chord(names[static_cast<std::size_t>(k)]), grow, k == s.bars - 1);
    }
}

void playFinale(Band& band)
{
    Timing f = finaleTiming();
    double bar = f.bar();
    double t = dance(band, f.start, bar, tuneAOrnate, chordsA, 1.1f, false, 0.33f);
    t = dance(band, t, bar, tuneB, chordsB, 1.15f, false, 0.33f);
    t = dance(band, t, bar, tuneCRuns, chordsC, 1.2f, true, 0.34f);
    t = dance(band, t, bar, tuneA, chordsA, 1.2f, false, 0.34f, 7);
    // The ending every klezmer tune has: two short hits, dominant then tonic.
    double e = bar / 8.0;
    band.lead.play(t, e, "5,:1 r:1 1:1 r:5", freygish, 0.36f);
    const Chord& dominant = chord("A7");
    const Chord& tonic = chord("D");
    band.stab(t, 0.7 * e, dominant, 0.3f);
    band.bass(t, 0.7 * e, dominant.bass, 0.55f);
    band.kick(t, 0.6f);
    band.stab(t + 2.0 * e, 0.9 * e, tonic, 0.34f);
    band.bass(t + 2.0 * e, 0.9 * e, tonic.bass, 0.6f);
    band.kick(t + 2.0 * e, 0.7f);
    band.cymbal(t + 2.0 * e, 0.5f, 0.25);
}

// The doina swells in from silence; the file ends with the suite: let the room ring, then close
// it softly.
void fadeEnds(Buffer& mix)
{
    for (std::size_t i = 0; i < frameAt(1.5); ++i) {
        float g = static_cast<float>(0.5 - 0.5 * std::cos(3.141592653589793 * static_cast<double>(i) / (1.5 * sampleRate)));
        mix.left[i] *= g;
        mix.right[i] *= g;
    }
    double fadeStart = klezmerSeconds - 0.6;
    for (std::size_t i = frameAt(fadeStart); i < mix.frames(); ++i) {
        double u = (static_cast<double>(i) / sampleRate - fadeStart) / 0.6;
        float g = static_cast<float>(0.5 + 0.5 * std::cos(3.141592653589793 * std::min(1.0, u)));
        mix.left[i] *= g;
        mix.right[i] *= g;
    }
}

} // namespace

std::vector<Section> klezmerSections()
{
    return {
        {"doina", 0.0, doinaLength},
        {"freylekhs", freylekhsTiming.start, freylekhsTiming.end() - freylekhsTiming.start},
        {"hora", horaTiming().start, horaTiming().end() - horaTiming().start},
        {"bulgar", bulgarTiming().start, bulgarTiming().end() - bulgarTiming().start},
        {"tsimbl", tsimblTiming().start, tsimblTiming().end() - tsimblTiming().start},
        {"finale", finaleTiming().start, finaleTiming().end() - finaleTiming().start},
    };
}

Buffer performKlezmer()
{
    Band band(klezmerSeconds);
    doina(band);
    playFreylekhs(band);
    playHora(band);
    playBulgar(band);
    playTsimbl(band);
    playFinale(band);

    renderLead(band.dry, band.send, band.lead.notes, 0.0f, 0.3f);
    reverberate(band.send, band.dry, 1.0f);
    fadeEnds(band.dry);
    return std::move(band.dry);
}

Buffer performClosing()
{
    Band band(closingSeconds);
    // A slow waltz, a lullaby: one bar of tsimbl, the tune, the tsimbl again.
    const double bar = 60.0 * 3.0 / 66.0;
    const double e = bar / 6.0;
    const std::vector<std::string> tune{"r:6", "5:3 6 5:2", "4:2 3:4", "2:2 3:2 4:2", "3:6s",
                                        "1':3 7 6:2", "5:2 6:2 5:2", "4:2 3:2 2:2", "1:6", "r:6"};
    checkBars(tune, freygish, 6.0);
    std::vector<std::string> names = split("D D Gm Cm D Gm Cm Gm D D");
    static const int pattern[6] = {0, 1, 2, 3, 2, 1};
    for (std::size_t k = 0; k < tune.size(); ++k) {
        double t0 = 0.3 + static_cast<double>(k) * bar;
        band.lead.play(t0, e, tune[k], freygish, 0.24f);
        const Chord& c = chord(names[k]);
        band.stab(t0, bar * 0.98, c, 0.08f, -0.1f);
        band.bass(t0, bar * 0.9, c.bass, 0.28f);
        std::vector<int> tones{c.voicing[0], c.voicing[1], c.voicing[2], c.voicing[0] + 12};
        for (int p = 0; p < 6; ++p) {
            band.tsimbl(t0 + p * e, 1.8, tones[static_cast<std::size_t>(pattern[p])] + 12,
                        (p == 0 ? 0.42f : 0.3f), p % 2 == 0 ? -0.5f : -0.3f);
        }
    }
    // The pool: drops here and there, and two frogs who have the last word.
    const double drops[] = {3.1, 7.7, 11.2, 15.9, 19.4, 23.8, 26.5};
    for (std::size_t k = 0; k < std::size(drops); ++k) {
        renderDrop(band.dry, band.send, drops[k], 0.1f, k % 2 == 0 ? 0.6f : -0.6f, 900.0 + 170.0 * static_cast<double>(k % 3));
    }
    renderCroak(band.dry, band.send, 20.6, 0.8f, -0.7f, 520.0);
    renderCroak(band.dry, band.send, 24.9, 0.7f, 0.7f, 610.0);
    renderCroak(band.dry, band.send, 27.4, 0.5f, -0.5f, 560.0);

    renderLead(band.dry, band.send, band.lead.notes, 0.0f, 0.35f);
    reverberate(band.send, band.dry, 1.2f);

    // Fade out over the last eight seconds, to silence before the end.
    Buffer& mix = band.dry;
    const double fadeStart = closingSeconds - 8.0, fadeLength = 7.6;
    for (std::size_t i = frameAt(fadeStart); i < mix.frames(); ++i) {
        double u = std::min(1.0, (static_cast<double>(i) / sampleRate - fadeStart) / fadeLength);
        float g = static_cast<float>(std::pow(0.5 + 0.5 * std::cos(3.141592653589793 * u), 1.5));
        mix.left[i] *= g;
        mix.right[i] *= g;
    }
    return std::move(band.dry);
}

} // namespace tolva::compose
