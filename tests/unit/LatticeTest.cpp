// Scene 6: the step's clock and the windows of its picture and line, through the recorder.

#include "support/SceneSteps.h"
#include "scenes/LatticeFormulas.h"

namespace tolva {
namespace {

using namespace lattice;
using testing::SceneSteps;

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
        const SquareCell plain = squareCell(static_cast<int>(a), static_cast<int>(k), 1.5f);
        return testing::Look{plain.fill, plain.position, testing::reported(plain.rotation)};
    });
}

} // namespace
} // namespace tolva
