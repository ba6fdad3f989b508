// Scene 6: the square lattice. Its formulas against values worked out independently of this code,
// the cached update against the plain formulas on every square, and the step's clock and windows
// through the recorder.

#include "support/ShowTest.h"
#include "support/Bits.h"
#include "driver/Show.h"
#include "render/Recorder.h"
#include "scenes/LatticeFormulas.h"
#include "scenes/SquareLattice.h"

#include <SFML/Graphics/Transformable.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace tolva {
namespace {

using namespace lattice;

using Digest = testing::GridDigest;

// The angle a shape reports once it has been given this one (SFML keeps angles in [0, 360)).
float reported(float angle)
{
    sf::Transformable shape;
    shape.setRotation(angle);
    return shape.getRotation();
}

TEST(LatticeFormulas, EverySquareMatchesAnIndependentEmulation)
{
    struct WholeFrame {
        float t;
        std::uint64_t squares;
    };
    const WholeFrame frames[] = {
        {0x0.0p+0f, 0xdde5bfba1d20bef1ull},
        {0x1.c666660000000p+3f, 0xa0f70ff421ff0695ull},
        {0x1.b000000000000p+5f, 0x6488f28b6e594ed7ull},
    };
    for (const WholeFrame& f : frames) {
        Digest digest;
        for (int a = 1; a <= 124; ++a) {
            for (int k = 1; k <= 124; ++k) {
                const SquareLook look = latticeSquare(a, k, f.t);
                digest.look(look.fill, look.position);
                digest.word(look.rotation);
            }
        }
        EXPECT_EQ(digest.value(), f.squares) << "at " << f.t;
    }
}

class LatticeStep : public testing::ShowTest {
protected:
    void SetUp() override
    {
        ShowTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        state.countdown[5] = -0.01f;
    }

    // One step with the countdown landing exactly on `countdown` (no frame time passes).
    void stepAt(float countdown)
    {
        recorder.forget();
        state.countdown[6] = countdown;
        state.frameDelta = sf::Time::Zero;
        show->run(6, recorder);
    }
};

TEST_F(LatticeStep, PictureAndLineShowInTheirInclusiveWindowsUnderTheSquares)
{
    struct Case {
        float countdown;
        bool picture, line;
    };
    const Case cases[] = {
        {std::nextafter(22.0f, 23.0f), false, false},
        {22.0f, true, false},
        {std::nextafter(17.0f, 18.0f), true, false},
        {17.0f, true, true},
        {11.0f, true, true},
        {std::nextafter(11.0f, 10.0f), false, false},
    };
    for (const Case& c : cases) {
        stepAt(c.countdown);
        ASSERT_EQ(state.countdown[6], c.countdown);
        const auto& ops = recorder.ops();
        ASSERT_EQ(ops.size(), 2u + c.picture + c.line + 124u * 124u) << c.countdown;
        // Picture, then line, then the squares over them.
        std::size_t next = 1;
        if (c.picture) {
            EXPECT_TRUE(std::holds_alternative<SpriteOp>(ops[next++]));
        }
        if (c.line) {
            EXPECT_TRUE(std::holds_alternative<TextOp>(ops[next++]));
        }
        EXPECT_TRUE(std::holds_alternative<RectOp>(ops[next]));
    }
}

TEST_F(LatticeStep, ClockAndCountdownOfOneFrame)
{
    // Lands exactly on 15: the faster clock applies in this very frame.
    state.countdown[6] = 15.75f;
    state.frameDelta = sf::milliseconds(500);
    state.frameClock.setElapsed(sf::milliseconds(2));
    show->objects.latticeTime = 1.0f;
    show->run(6, recorder);
    EXPECT_EQ(state.countdown[6], 15.0f);
    EXPECT_EQ(show->objects.latticeTime, 3.0f);

    // One frame earlier in the scene it still runs at frame speed.
    state.countdown[6] = 16.0f;
    show->objects.latticeTime = 1.0f;
    show->run(6, recorder);
    EXPECT_EQ(state.countdown[6], 15.25f);
    EXPECT_EQ(show->objects.latticeTime, 1.5f);
    const auto rects = recorder.only<RectOp>();
    const SquareLook plain = latticeSquare(124, 124, 1.5f);
    EXPECT_EQ(rects.back().position, plain.position);
    EXPECT_EQ(rects.back().rotation, reported(plain.rotation));
}

} // namespace
} // namespace tolva
