#pragma once

// Counting flashes in a video, frame by frame, by the general flash and red flash thresholds of
// WCAG 2.2. Where the guideline leaves a choice, the choices are those of EA's open-source analyser
// IRIS (which counts transitions as the Trace Center's PEAT and Harding's analyser do): a flash is
// a pair of opposing transitions (two transitions, one flash), the area is a share of the whole
// picture (25%, as the broadcasters' guidance has it for a screen, not of a 10-degree field), and
// more than six transitions (three flashes) in one second fail.
//
// Where IRIS follows the mean luminance of the frame, this follows each pixel, the colours taken
// from sRGB to linear light:
// - luminance: a pixel's transition is a rise or fall of its relative luminance by 0.1 or more,
//   from the lowest (or highest) value since its last transition, the darker of the two states
//   below 0.8. It counts in the frame where the change reaches 0.1, and the next one must go the
//   other way: noise under 0.1 never counts, a fade counts once;
// - red: the same on the chromaticity in CIE 1976 u'v': more than 0.2 towards or away from the
//   red primary, between the state nearest to it and the state farthest from it since the last
//   transition, one of the two a saturated red. Below a relative luminance of 0.01 a pixel counts
//   as black, of no colour: the near-black pixels of a compressed video take any chromaticity from
//   its noise.
// The area is the combined area of everything that flashes in the same second, as WCAG adds it
// up: a quarter of the picture reaches k transitions in a second when at least a quarter of its
// pixels each made k or more there, wherever they lie and whatever their phase. A measure of the
// picture as a whole (its mean, or its brightening less its darkening) would let regions flashing
// in opposite phase cancel out, a checkerboard whose squares swap black and white reading as
// still. Moving detail is no exception: where it passes each pixel of a quarter of the picture more
// than three times a second, that quarter flashes as a strobe would; passed once or twice a
// second, it is within the limit.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolva::flashes {

constexpr double kLuminanceStep = 0.1;      // "10% or more of the maximum relative luminance"
constexpr double kDarkerBelow = 0.8;        // "the relative luminance of the darker image is below 0.80"
constexpr double kRedShare = 0.8;           // saturated red: R / (R + G + B) >= 0.8
constexpr double kChromaticityStep = 0.2;   // "more than 0.2 ... in the CIE 1976 UCS chromaticity diagram"
constexpr double kBlackBelow = 0.01;        // darker than this, a pixel has no chromaticity
constexpr int kMostTransitions = 6;         // three flashes a second pass, more fail

// A pixel's colour as the counting sees it.
struct Colour {
    double luminance = 0.0;
    double u = 0.0, v = 0.0;       // CIE 1976 u'v' (the white point's for black)
    double fromRed = 0.0;          // distance in u'v' from the sRGB red primary
    bool saturatedRed = false;
};
Colour colourOf(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// A span of the video where seconds hold more flashes than the limit over a quarter of the
// picture: from the first to the last transition, in those seconds, of the pixels past the limit.
struct Span {
    bool red = false;
    double start = 0.0;     // seconds from the first frame
    double end = 0.0;
    int transitions = 0;    // the most a quarter of the picture made in one second within it
};

// What one frame adds.
struct FrameFlashes {
    double time = 0.0;
    int transitions = 0;      // luminance transitions a quarter of the picture made in the second ending here
    int redTransitions = 0;
    double area = 0.0;        // share of the picture with a luminance transition in this frame, either way
    double redArea = 0.0;     // share with a red transition in it
};

class FlashCounter {
public:
    // Frames of width x height pixels, rgb24, rateNum / rateDen frames a second.
    FlashCounter(int width, int height, long rateNum, long rateDen);

    FrameFlashes add(const std::uint8_t* rgb);
    // The spans that fail, in the order they start; call once after the last frame.
    const std::vector<Span>& finish();

    long frames() const { return frame_; }
    double timeOf(long frame) const;

private:
    // The turning points of one pixel since its last transition, on one measure.
    struct Swing {
        Colour low, high;        // lowest and highest of the measure
        std::int8_t last = 0;    // +1 after a rise, -1 after a fall, 0 before any
    };
    // Every pixel's transitions on one measure, over the second ending at the current frame.
    struct Measure {
        bool red = false;
        std::vector<Swing> swings;
        // A row of bits for each frame of the second (frame f in row f % its length), a bit for
        // each pixel: which pixels made a transition in that frame. Sparse in real videos, so
        // the second's oldest frame leaves it at the cost of its transitions, not of the picture.
        std::vector<std::uint64_t> rows;
        std::vector<std::uint32_t> counts;   // each pixel's transitions in the second
        std::vector<long> histogram;         // [k]: the pixels with k transitions in the second
        long now = 0;                        // pixels with a transition in the current frame
        bool failing = false;
        Span span;
    };
    using Step = bool (*)(const Colour& from, const Colour& to);
    static bool luminanceStep(const Colour& from, const Colour& to);
    static bool redStep(const Colour& from, const Colour& to);
    static bool turn(Swing& swing, const Colour& now, double Colour::*measure, Step step);
    void forget(Measure& measure);
    void mark(Measure& measure, std::size_t pixel);
    long transitionFrame(const Measure& measure, bool first) const;
    int judge(Measure& measure);

    std::size_t pixels_;
    std::size_t words_;   // of one row
    long rateNum_, rateDen_;
    long window_;         // frames in one second: those less than a second before a frame, and it
    long frame_ = 0;
    std::vector<std::uint8_t> previous_;  // the frame before, rgb24
    Measure luminance_, red_;
    std::vector<Span> failures_;
};

// "5", "3.5": the flashes of a number of transitions.
double flashesOf(int transitions);

} // namespace tolva::flashes
