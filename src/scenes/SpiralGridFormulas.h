#pragma once

// Scene 1's formulas: the spiral shade and the circles' cell values, the title's transform and
// the credit letters' layout. The plain functions evaluate each formula as it is written, term by
// term; SpiralGridTerms holds the terms that depend on the indices alone, so that a frame only
// adds what changes with time. Both must give the same bits.

#include "scenes/Formula.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <vector>

namespace tolva::spiral {

// The circles' block: columns and rows 1 to 94.
constexpr int spiralCells = 94;

// A circle's shade: a term of its indices alone, then the time term w / 10.
float shadeWithoutTime(float i, float j);
inline float spiralTimeTerm(float warpTime) { return warpTime / 10.0f; }
float spiralShade(float i, float j, float warpTime);

// The radius depends on the cell alone. Most cells get a radius that is not a number (x = 0 or
// a negative p), and a few near the centre one beyond 1e8: both pass on unchanged.
float spiralRadius(float i, float j);

// What one frame gives every cell alike.
std::size_t spiralPointCount(float warpTime);
float spiralRotation(float warpTime);  // the value handed to setRotation

struct SpiralCell {
    sf::Color fill;
    sf::Vector2f position;
    float radius;
    std::size_t points;
    float rotation;  // as handed to setRotation
};

// One cell as the formulas read, nothing cached.
SpiralCell spiralCell(float i, float j, float warpTime);

// The fill for a cell's shade s; the sums are single precision and wrap.
inline sf::Color spiralFill(float s)
{
    return sf::Color(wrapChannel(2.0f * s + 130.0f), wrapChannel(s + 59.0f),
                     wrapChannel(s + 37.0f), 255);
}

struct TitleTransform {
    sf::Vector2f scale;
    float rotation;
    sf::Vector2f position;
};
TitleTransform titleTransform(float sceneTime);

struct LetterPlace {
    sf::Vector2f position;
    float rotation;
};
constexpr int creditLetterCount = 28;
LetterPlace creditLetterPlace(int k, float warpTime);
constexpr float creditOutline = 2.1f;

// Per-cell terms that do not change from frame to frame, cell (i, j) at (i - 1) * 94 + (j - 1).
// shadeBase is spiralShade without its time term: sqrtf(S) + bonus, so that
// spiralShade(i, j, w) == shadeBase + w / 10 to the bit (the sum is left-to-right).
class SpiralGridTerms {
public:
    SpiralGridTerms();

    static std::size_t index(int i, int j)
    {
        return static_cast<std::size_t>((i - 1) * spiralCells + (j - 1));
    }
    float shadeBase(int i, int j) const { return shadeBase_[index(i, j)]; }
    float radius(int i, int j) const { return radius_[index(i, j)]; }

private:
    std::vector<float> shadeBase_;
    std::vector<float> radius_;
};

} // namespace tolva::spiral
