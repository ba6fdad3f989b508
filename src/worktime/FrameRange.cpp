#include "worktime/FrameRange.h"

#include "show/Timing.h"

#include <climits>
#include <cmath>

namespace tolva {

FrameRange frameRange(int fps, double from, std::optional<double> to)
{
    FrameRange range{std::lround(from * fps), LONG_MAX};
    if (to && *to < showLengthBound(fps)) {
        range.last = std::lround(*to * fps);
    }
    return range;
}

double showLengthBound(int fps)
{
    // The lead-in's frames, the scenes' seconds, and a frame more at each of the nine hand-overs
    // at most.
    return timing::showSeconds() + (timing::leadInFrames + 9.0) / fps;
}

} // namespace tolva
