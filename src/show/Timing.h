#pragma once

// The show's timing in one table: for each scene, where its countdown starts, how it falls while
// the scene runs, and the gate that decides whether the scene runs. The frame loop
// (driver/Timeline.cpp) offers every iteration to scenes 0 to 8 in this order; a countdown falls
// only while its own scene runs, so the scenes follow each other, and in the iteration of a
// hand-over both run. The timeline, the capture, the stills and the tests all read it from here.

#include <array>
#include <cstddef>

namespace tolva::timing {

enum class Fall {
    tenthPerFrame,         // frames, not seconds: 0.1 a frame, in double
    frameSeconds,          // frameDelta's seconds
    frameSecondsTimes1_5,  // frameDelta's seconds x 1.5, in double
    frameSecondsTimes1_1,  // frameDelta's seconds x 1.1, in double
};

using Countdowns = std::array<float, 9>;

// Whether a scene runs now, with the countdowns as they stand when the loop reaches it.
using Gate = bool (*)(const Countdowns& c);

struct Countdown {
    float start;
    Fall fall;
    Gate gate;
};

// A scene runs while its own countdown is not negative and its predecessor's is not positive.
// Most gates also want the lead-in over (countdown0 not positive); those of scenes 3, 5 and 8 do
// not ask, as the show never did. In a run it makes no difference: their predecessors only ever
// run after the lead-in. A state set by hand in the inspector can tell.
constexpr std::array<Countdown, 9> countdowns = {{
    {2.0f, Fall::tenthPerFrame, [](const Countdowns& c) { return c[0] >= 0.0f; }},
    {61.0f, Fall::frameSeconds, [](const Countdowns& c) { return c[1] >= 0.0f && c[0] <= 0.0f; }},
    {36.0f, Fall::frameSeconds,
     [](const Countdowns& c) { return c[1] <= 0.0f && c[2] >= 0.0f && c[0] <= 0.0f; }},
    {57.0f, Fall::frameSeconds, [](const Countdowns& c) { return c[3] >= 0.0f && c[2] <= 0.0f; }},
    {49.0f, Fall::frameSeconds,
     [](const Countdowns& c) { return c[3] <= 0.0f && c[4] >= 0.0f && c[0] <= 0.0f; }},
    {39.0f, Fall::frameSeconds, [](const Countdowns& c) { return c[4] <= 0.0f && c[5] >= 0.0f; }},
    {36.0f, Fall::frameSecondsTimes1_5,
     [](const Countdowns& c) { return c[5] <= 0.0f && c[6] >= 0.0f && c[0] <= 0.0f; }},
    {54.0f, Fall::frameSecondsTimes1_1,
     [](const Countdowns& c) { return c[6] <= 0.0f && c[7] >= 0.0f && c[0] <= 0.0f; }},
    {34.0f, Fall::frameSeconds, [](const Countdowns& c) { return c[7] <= 0.0f && c[8] >= 0.0f; }},
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
