#pragma once

// Counting flashes in a video, frame by frame, by the general flash and red flash thresholds of
// WCAG 2.2. Where the guideline leaves a choice, the choices are those of the published analysers
// that count transitions (EA's IRIS, the Trace Center's PEAT after Harding): a transition is a
// change between a peak and a valley of a pixel's measure, a flash a pair of opposing transitions
// (two transitions count as one flash), the area is a share of the whole picture (25%, as the
// broadcasters' guidance has it for a screen, not of a 10-degree field), and a video fails where
// more than six transitions (three flashes) fall into one second over that area.
//
// Per pixel, with the colours as the video's sRGB values taken to linear light:
// - luminance: a transition is a rise or fall of the relative luminance by 0.1 or more, from the
//   lowest (or highest) value since the pixel's last transition, where the darker of the two
//   states is below 0.8. It is counted in the frame where the change reaches 0.1: a change is
//   followed through the frames it takes, and the direction must reverse before the next one
//   counts (so noise under 0.1 never counts, and a fade counts once at most);
// - red: the same, on the chromaticity in CIE 1976 u'v': a transition moves the pixel more than
//   0.2 towards or away from the red primary, between a state nearest to it and a state farthest
//   from it since the last transition, one of the two a saturated red (R/(R+G+B) >= 0.8).
//   Below a relative luminance of 0.01 a pixel counts as black, of no colour: the near-black
//   pixels of a compressed video take any chromaticity from its noise.
// The flashes of a second: the half of the largest number of transitions that at least a quarter
// of the picture went through in that second (each second ending at a frame, the frames less
// than one second before it included).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace tolva::flashes {

constexpr double kLuminanceStep = 0.1;      // "10% or more of the maximum relative luminance"
constexpr double kDarkerBelow = 0.8;        // "the relative luminance of the darker image is below 0.80"
constexpr double kRedShare = 0.8;           // saturated red: R / (R + G + B) >= 0.8
constexpr double kChromaticityStep = 0.2;   // "more than 0.2 ... in the CIE 1976 UCS chromaticity diagram"
constexpr double kBlackBelow = 0.01;        // darker than this, a pixel has no chromaticity
constexpr int kAreaQuarters = 1;            // the area: a quarter of the picture (or more)
constexpr int kMostTransitions = 6;         // three flashes a second pass, more fail

// A pixel's colour as the counting sees it.
struct Colour {
    double luminance = 0.0;
    double u = 0.0, v = 0.0;       // CIE 1976 u'v' (the white point's for black)
    double fromRed = 0.0;          // distance in u'v' from the sRGB red primary
    bool saturatedRed = false;
};
Colour colourOf(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// A stretch of the video where some second holds more flashes than the limit: from the first to
// the last transition, in those seconds, of the pixels that flashed too often.
struct Stretch {
    bool red = false;
    double start = 0.0;     // seconds from the first frame
    double end = 0.0;
    int transitions = 0;    // the most in one second within it
};

// What one frame adds.
struct FrameFlashes {
    double time = 0.0;
    int transitions = 0;      // luminance transitions in the second ending here (flashes: half)
    int redTransitions = 0;
    double area = 0.0;        // share of the picture with a transition (either kind) in this frame
};

class FlashCounter {
public:
    // Frames of width x height pixels, rgb24, rateNum / rateDen frames a second.
    FlashCounter(int width, int height, long rateNum, long rateDen);

    FrameFlashes add(const std::uint8_t* rgb);
    // The stretches that fail, in the order they start; call once after the last frame.
    const std::vector<Stretch>& finish();

    long frames() const { return frame_; }
    double timeOf(long frame) const;

private:
    // The turning points of one pixel since its last transition, on one measure.
    struct Swing {
        Colour low, high;        // lowest and highest of the measure
        std::int8_t last = 0;    // +1 after a rise, -1 after a fall, 0 before any
    };
    struct Window {
        long frame;
        std::vector<std::uint8_t> marks;  // per pixel: 1 luminance transition, 2 red
    };
    struct Open {
        bool open = false;
        Stretch stretch;
    };

    using Step = bool (*)(const Colour& from, const Colour& to);
    static bool luminanceStep(const Colour& from, const Colour& to);
    static bool redStep(const Colour& from, const Colour& to);
    static bool turn(Swing& swing, const Colour& now, double Colour::*measure, Step step);
    int mostTransitions(const std::vector<std::uint16_t>& counts);
    void follow(Open& open, bool red, int transitions, const std::vector<std::uint16_t>& counts);

    std::size_t pixels_;
    long rateNum_, rateDen_;
    long frame_ = 0;
    std::vector<Swing> luminance_, red_;
    std::vector<std::uint8_t> previous_;  // the frame before, rgb24
    std::vector<std::uint16_t> luminanceCounts_, redCounts_;  // transitions in the current second
    std::deque<Window> window_;
    std::vector<std::vector<std::uint8_t>> spare_;
    std::vector<long> histogram_;
    Open openLuminance_, openRed_;
    std::vector<Stretch> failures_;
};

// "5", "3.5": the flashes of a number of transitions.
double flashesOf(int transitions);

} // namespace tolva::flashes
