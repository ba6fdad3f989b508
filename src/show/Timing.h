#pragma once

// The show's timing in one table: where each scene's countdown starts and how it falls while its
// scene runs. The timeline, the capture, the stills and the tests all read it from here.

#include <array>
#include <cstddef>

namespace tolva::timing {

enum class Fall {
    tenthPerFrame,         // frames, not seconds: 0.1 a frame, in double
    frameSeconds,          // frameDelta's seconds
    frameSecondsTimes1_5,  // frameDelta's seconds x 1.5, in double
    frameSecondsTimes1_1,  // frameDelta's seconds x 1.1, in double
};

struct Countdown {
    float start;
    Fall fall;
};

constexpr std::array<Countdown, 9> countdowns = {{
    {2.0f, Fall::tenthPerFrame},
    {61.0f, Fall::frameSeconds},
    {36.0f, Fall::frameSeconds},
    {57.0f, Fall::frameSeconds},
    {49.0f, Fall::frameSeconds},
    {39.0f, Fall::frameSeconds},
    {36.0f, Fall::frameSecondsTimes1_5},
    {54.0f, Fall::frameSecondsTimes1_1},
    {34.0f, Fall::frameSeconds},
}};

// Scene 0 runs while its countdown is not negative: 20 frames from 2.0.
constexpr int leadInFrames = 20;

// The show ends after the frame in which countdown8 has fallen to this or below.
constexpr float endCountdown = 4.0f;

// How many seconds of frame time scene n (1 to 8) runs: its countdown's way down over its rate.
constexpr double sceneSeconds(int n)
{
    const Countdown& c = countdowns[static_cast<std::size_t>(n)];
    const double way = static_cast<double>(c.start) - (n == 8 ? static_cast<double>(endCountdown) : 0.0);
    switch (c.fall) {
    case Fall::frameSecondsTimes1_5:
        return way / 1.5;
    case Fall::frameSecondsTimes1_1:
        return way / 1.1;
    default:
        return way;
    }
}

// The seconds of frame time from scene 1's first frame to the show's end (about 345.1).
constexpr double showSeconds()
{
    double sum = 0.0;
    for (int n = 1; n <= 8; ++n) {
        sum += sceneSeconds(n);
    }
    return sum;
}

// Seconds of frame time from scene 1's first frame to scene n's.
constexpr double sceneStart(int n)
{
    double sum = 0.0;
    for (int k = 1; k < n; ++k) {
        sum += sceneSeconds(k);
    }
    return sum;
}

} // namespace tolva::timing
