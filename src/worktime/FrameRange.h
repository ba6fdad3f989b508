#pragma once

#include "show/Timing.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tolva {

// The show's scenes, numbered 1 to sceneCount after the lead-in (scene 0).
inline constexpr std::size_t sceneCount = timing::countdowns.size() - 1;

// The frames of a range of video: iterations [first, last) of the frame loop, one video frame
// each, at `fps` frames a second counted from the show's first frame.
struct FrameRange {
    long first;
    long last;  // LONG_MAX: up to the show's end
};
// From second `from` up to second `to` (exclusive; none, or past the show: to its end).
FrameRange frameRange(int fps, double from, std::optional<double> to);

// Seconds of video the show lasts at most (its lead-in counts frames, the rest seconds, and each
// hand-over may come up to a frame late).
double showLengthBound(int fps);

// What is wrong with `from` as the first second of the show to run or write at `fps` frames a
// second, in the words of the option --from; none if it is a time in the show.
std::optional<std::string> fromProblem(double from, int fps);

} // namespace tolva
