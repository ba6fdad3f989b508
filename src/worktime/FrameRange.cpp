#include "worktime/FrameRange.h"

#include "show/Timing.h"

#include <fmt/format.h>

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

std::optional<std::string> fromProblem(double from, int fps)
{
    if (!std::isfinite(from) || from < 0) {
        return fmt::format("--from {} is not a time in the show (seconds, 0 or more)", from);
    }
    if (from >= showLengthBound(fps)) {
        return fmt::format("--from {} is past the end of the show ({:.1f} s at {} fps)", from,
                           showLengthBound(fps), fps);
    }
    return std::nullopt;
}

} // namespace tolva
