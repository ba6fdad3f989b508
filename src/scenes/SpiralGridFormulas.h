#pragma once

// Scene 1's formulas: the spiral shade and the circles' cell values, the title's transform and
// the credit letters' layout. The plain functions evaluate each formula as it is written, term by
// term; SpiralTerms holds the terms that depend on the indices alone, so that a frame only adds
// what changes with time. Both must give the same bits.

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

// Where cell (i, j) stands: 13 pixels apart, the block 350 pixels in from the left.
inline sf::Vector2f spiralPosition(float i, float j) { return sf::Vector2f(13.0f * i + 350.0f, 13.0f * j); }

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

// The fast path: the terms of one cell that never change, cell (i, j) at (i - 1) * 94 + (j - 1),
// and those a frame gives every cell alike. shadeBase is spiralShade without its time term:
// sqrtf(S) + bonus, so that spiralShade(i, j, w) == shadeBase + w / 10 to the bit (the sum is
// left-to-right).
class SpiralTerms {
public:
    SpiralTerms();
    void beginFrame(float warpTime);
    // Cell (i, j), 1 to 94 each, for the frame begun last.
    SpiralCell cell(int i, int j) const;

private:
    static std::size_t index(int i, int j)
    {
        return static_cast<std::size_t>((i - 1) * spiralCells + (j - 1));
    }

    std::vector<float> shadeBase_;
    std::vector<float> radius_;
    // Per frame.
    float timeTerm_ = 0.0f;
    std::size_t points_ = 0;
    float rotation_ = 0.0f;
};

} // namespace tolva::spiral
