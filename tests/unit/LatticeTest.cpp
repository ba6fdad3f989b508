// Scene 6: the square lattice. Its formulas against values worked out independently of this code,
// and the step's clock and windows through the recorder.

#include "support/SceneSteps.h"
#include "scenes/LatticeFormulas.h"

namespace tolva {
namespace {

using namespace lattice;
using testing::SceneSteps;

TEST(LatticeFormulas, EverySquareMatchesAnIndependentEmulation)
{
    struct WholeFrame {
        float t;
        std::uint64_t squares;
    };
    for (const WholeFrame& f : {WholeFrame{0x0.0p+0f, 0xdde5bfba1d20bef1ull},
                                WholeFrame{0x1.c666660000000p+3f, 0xa0f70ff421ff0695ull},
                                WholeFrame{0x1.b000000000000p+5f, 0x6488f28b6e594ed7ull}}) {
        testing::GridDigest digest;
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

// The picture and the line show in their windows, both ends included, under the squares; the
// clock runs faster from 15 on the decremented countdown, in this very frame.
TEST_F(SceneSteps, Lattice)
{
    expectSteps(6, {
        {"countdown6=22.000002 frameDelta=0", "squareLattice*15376"},
        {"countdown6=22 frameDelta=0", "personTwoSprite squareLattice*15376"},
        {"countdown6=17.000002 frameDelta=0", "personTwoSprite squareLattice*15376"},
        {"countdown6=17 frameDelta=0", "personTwoSprite trafficText squareLattice*15376"},
        {"countdown6=11 frameDelta=0", "personTwoSprite trafficText squareLattice*15376"},
        {"countdown6=10.999999 frameDelta=0", "squareLattice*15376"},
        {"countdown6=15.75 frameDelta=0.5 latticeTime=1", "personTwoSprite trafficText squareLattice*15376 "
                                                          "countdown6=15 latticeTime=3"},
        {"countdown6=16 frameDelta=0.5 latticeTime=1", "personTwoSprite trafficText squareLattice*15376 "
                                                       "countdown6=15.25 latticeTime=1.5"},
    });
    testing::expectDrawn(recorder, "squareLattice", 124, [](float a, float k) {
        const SquareLook plain = latticeSquare(static_cast<int>(a), static_cast<int>(k), 1.5f);
        return testing::Look{plain.fill, plain.position, testing::reported(plain.rotation)};
    });
}

} // namespace
} // namespace tolva
