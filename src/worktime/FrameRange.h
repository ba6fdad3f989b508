#pragma once

#include <optional>

namespace tolva {

// The frames of a stretch of video: iterations [first, last) of the frame loop, one video frame
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

} // namespace tolva
