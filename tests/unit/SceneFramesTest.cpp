// Every scene at real moments of the show: the batched canvas draws the same pixels as SFML shape
// by shape. (BatchCanvasTest holds the canvas's own cases.)

#include "support/PixelCompare.h"
#include "support/ShowTest.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

namespace tolva {
namespace {

struct Moment {
    int scene;
    std::map<std::string, float> values;  // the show's values by name, as the inspector takes them
    std::map<std::string, float> clocks;  // clock readings in seconds
};

void PrintTo(const Moment& m, std::ostream* os) { *os << "scene " << m.scene; }

class BatchedEqualsDirect : public testing::ShowTest, public ::testing::WithParamInterface<Moment> {};

TEST_P(BatchedEqualsDirect, AtAMomentOfTheShow)
{
    const Moment& m = GetParam();
    state.frameDelta = sf::microseconds(16667);
    state.scene1Pending = state.scene2Pending = state.scene3Pending = state.scene8Pending = false;
    for (std::size_t n = 0; n < 9; ++n) {
        state.countdown[n] = n < static_cast<std::size_t>(m.scene) ? -0.01f : state.countdown[n];
    }
    auto values = show->floatValues();
    for (const auto& [name, value] : m.values) {
        *values.at(name) = value;
    }
    auto clocks = show->clocks();
    for (const auto& [name, seconds] : m.clocks) {
        clocks.at(name)->setElapsed(sf::seconds(seconds));
    }
    show->run(m.scene, recorder);  // a frame before, so that what scenes carry over is there
    const testing::PixelDifference difference =
        testing::compareBatchedWithDirect([&](Canvas& canvas) { show->run(m.scene, canvas); });
    EXPECT_EQ(difference.differing, 0u);
    // Not one flat colour: the comparison is between pictures.
    const sf::Color corner = difference.batched.getPixel(0, 0);
    std::size_t flat = 0, samples = 0;
    for (unsigned y = 0; y < 1080; y += 8) {
        for (unsigned x = 0; x < 1920; x += 8, ++samples) {
            flat += difference.batched.getPixel(x, y) == corner ? 1 : 0;
        }
    }
    EXPECT_LT(flat, samples - samples / 100) << "of " << samples;
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, BatchedEqualsDirect,
    ::testing::Values(
        Moment{1, {{"countdown1", 49.0f}, {"sceneTime", 12.0f}, {"warpTime", 150.0f}}, {{"warpElapsed", 12.0f}}},
        Moment{2, {{"countdown2", 20.0f}, {"sceneTime", 28.0f}, {"columnTime", 80.0f}, {"cascadeTime", 40.0f}}, {}},
        Moment{3, {{"countdown3", 37.0f}, {"scrollPhase", 20.0f}}, {{"scrollerElapsed", 20.0f}}},
        Moment{4, {{"countdown4", 24.0f}, {"swirlPhase", 375.0f}}, {}},
        Moment{5, {{"countdown5", 19.0f}, {"gridTime", 60.0f}, {"colourFuse", 0.5f}}, {{"fuseTick", 0.02f}}},
        Moment{6, {{"countdown6", 15.0f}, {"latticeTime", 14.0f}}, {}},
        Moment{7, {{"countdown7", 32.0f}, {"gridTime", 70.0f}, {"vortexTime", 20.0f}}, {}},
        Moment{8, {{"countdown8", 14.0f}}, {{"endElapsed", 20.0f}}}));

} // namespace
} // namespace tolva
