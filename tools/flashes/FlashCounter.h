#pragma once

// Counting flashes in a video, frame by frame, by the general flash and red flash thresholds of
// WCAG 2.2. Where the guideline leaves a choice, the choices are those of EA's open-source analyser
// IRIS (which counts transitions as the Trace Center's PEAT and Harding's analyser do): a flash is
// a pair of opposing transitions (two transitions, one flash), the area is a share of the whole
// picture (25%, as the broadcasters' guidance has it for a screen, not of a 10-degree field), a
// transition of the picture is followed through the frames it takes in one direction, and more
// than six transitions (three flashes) in one second fail.
//
// Where IRIS follows the mean luminance of the frame, this follows each pixel, the colours taken
// from sRGB to linear light:
// - luminance: a pixel's transition is a rise or fall of its relative luminance by 0.1 or more,
//   from the lowest (or highest) value since its last transition, the darker of the two states
//   below 0.8. It counts in the frame where the change reaches 0.1, and the next one must go the
//   other way: noise under 0.1 never counts, a fade counts once;
// - red: the same on the chromaticity in CIE 1976 u'v': more than 0.2 towards or away from the
//   red primary, between the state nearest to it and the state farthest from it since the last
//   transition, one of the two a saturated red (R/(R+G+B) >= 0.8). Below a relative luminance of
//   0.01 a pixel counts as black, of no colour: the near-black pixels of a compressed video take
//   any chromaticity from its noise.
// A frame's change is the share of the picture with a transition one way less the share with one
// the other way, so that motion (as much brightening as darkening) is no flash. The changes of
// consecutive frames in one direction add up, and the picture makes a transition when they reach
// a quarter of it: a flash that sweeps across it in a few frames counts too.

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
constexpr int kMostTransitions = 6;         // three flashes a second pass, more fail

// A pixel's colour as the counting sees it.
struct Colour {
    double luminance = 0.0;
    double u = 0.0, v = 0.0;       // CIE 1976 u'v' (the white point's for black)
    double fromRed = 0.0;          // distance in u'v' from the sRGB red primary
    bool saturatedRed = false;
};
Colour colourOf(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// A stretch of the video where seconds hold more flashes than the limit: from the first to the
// last transition of those seconds.
struct Stretch {
    bool red = false;
    double start = 0.0;     // seconds from the first frame
    double end = 0.0;
    int transitions = 0;    // the most in one second within it
};

// What one frame adds.
struct FrameFlashes {
    double time = 0.0;
    int transitions = 0;      // luminance transitions of the picture in the second ending here
    int redTransitions = 0;
    double area = 0.0;        // the frame's change: share brightening less share darkening
    double redArea = 0.0;     // share turning towards red less share turning away
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
    // The picture's transitions on one measure.
    struct Picture {
        bool red = false;
        long run = 0;              // pixels: the change of the frames since the direction turned
        bool counted = false;      // this run has made its transition
        std::deque<long> recent;   // frames of the transitions in the current second
        bool failing = false;
        Stretch stretch;
    };
    using Step = bool (*)(const Colour& from, const Colour& to);
    static bool luminanceStep(const Colour& from, const Colour& to);
    static bool redStep(const Colour& from, const Colour& to);
    static bool turn(Swing& swing, const Colour& now, double Colour::*measure, Step step);
    int follow(Picture& picture, long change);

    std::size_t pixels_;
    long rateNum_, rateDen_;
    long frame_ = 0;
    std::vector<Swing> luminance_, red_;
    std::vector<std::uint8_t> previous_;  // the frame before, rgb24
    Picture luminancePicture_, redPicture_;
    std::vector<Stretch> failures_;
};

// "5", "3.5": the flashes of a number of transitions.
double flashesOf(int transitions);

} // namespace tolva::flashes
