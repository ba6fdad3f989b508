#include "scenes/SpiralGridFormulas.h"

#include <cmath>

namespace tolva::spiral {

namespace {

// The spiral's centre cell.
constexpr float centre = 35.0f;

// How much wider the title is drawn, 94 x 0.05 worked out in double.
constexpr double titleWidening = 94 * 0.05;

} // namespace

float shadeWithoutTime(float i, float j)
{
    const float x = i - centre;
    const float y = j - centre;
    const float a = std::atan2(y, x);
    const float d = std::sqrt(y * y + x * x);
    // The second angle takes its arguments swapped; at the centre d is 0 and v infinite.
    const float v = narrow(wide((550.0f / d) * piF) + 15.1 * wide(std::atan2(x, y)));
    const float S = narrow(std::pow(wide(v), 2.0) + std::pow(wide(a), 2.0));
    // sinf(pi) is not 0 in single precision, so the bonus holds wherever v is not 0.
    const float bonus = (std::sin(piF) * (-35.0f * v) != 0.0f && a + 35.0f != 0.0f) ? 5.0f : 0.0f;
    return std::sqrt(S) + bonus;
}

float spiralShade(float i, float j, float warpTime)
{
    return shadeWithoutTime(i, j) + spiralTimeTerm(warpTime);
}

float spiralRadius(float i, float j)
{
    const float x = i - centre;
    const float y = j - centre;
    const float f = (x != 0.0f && y != 0.0f) ? 1.0f : 0.0f;
    const float p = y / x - f - x;
    const float q = 3000.0f / (y * y + x * x);
    const float t = std::sqrt(q) * x;
    const float S = narrow(std::pow(wide(q), 2.0) + std::pow(wide(p), 2.0));
    return std::floor((std::sqrt(p) * y) * t) + std::ceil(((S / x) * std::atan(S)) * t);
}

std::size_t spiralPointCount(float warpTime)
{
    // 6 to 12 points while warpTime is a number; none (so nothing drawn) once it is not.
    return static_cast<std::size_t>(truncate32(3.0 * wide(std::sin(warpTime / 10.0f)) + 9.0));
}

float spiralRotation(float warpTime) { return narrow(wide(warpTime) * 0.1); }

SpiralCell spiralCell(float i, float j, float warpTime)
{
    const float s = spiralShade(i, j, warpTime);
    return SpiralCell{spiralFill(s), spiralPosition(i, j), spiralRadius(i, j),
                      spiralPointCount(warpTime), spiralRotation(warpTime)};
}

TitleTransform titleTransform(float sceneTime)
{
    const float A = std::atan(sceneTime);
    const float B = std::sin(5.0f * sceneTime) + 1330.0f;
    const float tallness = narrow(std::cos(titleWidening * wide(sceneTime)) + wide(A) + titleWidening);
    return TitleTransform{sf::Vector2f(narrow(titleWidening), tallness), 15.0f,
                          sf::Vector2f(B, 100.0f)};
}

LetterPlace creditLetterPlace(int k, float warpTime)
{
    const int tens = k / 10;
    const double place = static_cast<double>(k);
    sf::Vector2f position;
    if (k <= 11) {
        position = sf::Vector2f(asFloat(5 * (tens + 40 + 10 * k)), asFloat(100 + 15 * k));
    } else if (k <= 20) {
        position = sf::Vector2f(asFloat(5 * (tens + 40 + 10 * k)), narrow(15.5 * place + 200.0));
    } else {
        position = sf::Vector2f(
            narrow(static_cast<double>(70 * k - 100) - 25.5 * static_cast<double>(tens)),
            asFloat(135 + 15 * k));
    }
    const float rotation =
        narrow(wide(std::sinh(warpTime / 41.0f)) * 0.03 * static_cast<double>(10 * k));
    return LetterPlace{position, rotation};
}

// ---------------------------------------------------------------------------------------------
// The fast path.

SpiralTerms::SpiralTerms() : shadeBase_(spiralCells * spiralCells), radius_(spiralCells * spiralCells)
{
    for (int i = 1; i <= spiralCells; ++i) {
        for (int j = 1; j <= spiralCells; ++j) {
            shadeBase_[index(i, j)] = shadeWithoutTime(asFloat(i), asFloat(j));
            radius_[index(i, j)] = spiralRadius(asFloat(i), asFloat(j));
        }
    }
}

void SpiralTerms::beginFrame(float warpTime)
{
    timeTerm_ = spiralTimeTerm(warpTime);
    points_ = spiralPointCount(warpTime);
    rotation_ = spiralRotation(warpTime);
}

SpiralCell SpiralTerms::cell(int i, int j) const
{
    const float s = shadeBase_[index(i, j)] + timeTerm_;
    return SpiralCell{spiralFill(s), spiralPosition(asFloat(i), asFloat(j)), radius_[index(i, j)],
                      points_, rotation_};
}

} // namespace tolva::spiral
