#include "capture/Capture.h"
#include "scenes/Formula.h"
#include "sound/Voices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace tolva {
namespace {

TEST(WrapChannel, WrapsInsteadOfSaturatingAndGivesZeroOutOfRange)
{
    EXPECT_EQ(wrapChannel(300.0), 44);
    EXPECT_EQ(wrapChannel(-5.0), 251);
    EXPECT_EQ(wrapChannel(-0.9f), 0);  // truncation toward zero
    EXPECT_EQ(wrapChannel(2147483647.0), 255);
    EXPECT_EQ(wrapChannel(-2147483648.5), 0);
    EXPECT_EQ(wrapChannel(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(wrapChannel(2147483648.0 + 300.0), 0);
}

TEST(WrapSample, KeepsTheLowSixteenBitsOfTheTruncatedValueElseZero)
{
    EXPECT_EQ(wrapSample(65536.0 + 5.0), 5);
    EXPECT_EQ(wrapSample(32768.2), -32768);   // a little above 2^15 wraps to -2^15
    EXPECT_EQ(wrapSample(-32768.7), -32768);  // a little below -2^15 truncates to it, unchanged
    EXPECT_EQ(wrapSample(-1.9), -1);
    EXPECT_EQ(wrapSample(2147483647.0), -1);
    EXPECT_EQ(wrapSample(2147483648.0), 0);
    EXPECT_EQ(wrapSample(-2147483648.0), 0);
    EXPECT_EQ(wrapSample(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Tones, FirstSamplesTheWrapsAndTheWanderColour)
{
    const FirstThree three = computeFirstThree();
    const SampleArray four = computeFourth();
    EXPECT_EQ(SampleArray(three.one.begin(), three.one.begin() + 6), (SampleArray{0, 4, 9, 13, 17, 21}));
    EXPECT_EQ(SampleArray(three.two.begin(), three.two.begin() + 6), (SampleArray{0, -119, -301, -351, -598, -571}));
    EXPECT_EQ(three.three[0], 0);  // 0/0 is NaN, stored as 0
    EXPECT_NE(three.three[1], 0);
    EXPECT_EQ(four[0], 0);
    // Array 1 passes two samples beyond the 32-bit range near the zeros of cos(t); both store 0.
    EXPECT_GE(std::count(three.one.begin() + 1, three.one.end(), 0), 2);
    EXPECT_EQ(wanderColour(four), sf::Color(206, 208, 22, 255));
    // Every sample, to the last: a loop that stops one short or a phase that drifts late in the
    // second shows nowhere in the first samples.
    auto hash = [](const SampleArray& a) {
        return frameHash(reinterpret_cast<const unsigned char*>(a.data()), a.size() * sizeof a[0]);
    };
    EXPECT_EQ(hash(three.one), "53381619acf5a1dd");
    EXPECT_EQ(hash(three.two), "f7c8ba1d3423267a");
    EXPECT_EQ(hash(three.three), "f0bbd0283f703d4d");
    EXPECT_EQ(hash(four), "0d78cb26e2ccdcd2");
}

} // namespace
} // namespace tolva
