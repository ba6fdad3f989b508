#include "scenes/LatticeFormulas.h"

#include "scenes/Formula.h"

#include <cmath>

namespace tolva::lattice {

sf::Color latticeFill(int a, int k)
{
    const double da = static_cast<double>(a);
    const double dk = static_cast<double>(k);
    const double r = std::atan(5.0 * da) * (0.1 * da) - 10.0 * std::fabs(std::cos(da));
    const double c5 = std::cos(5.0 * da);
    return sf::Color(wrapChannel(r), wrapChannel(std::sqrt(3.0 * dk) + (dk + c5)), low8((95 * a) / k),
                     255);
}

SquareCell squareCell(int a, int k, float t)
{
    const double da = static_cast<double>(a);
    const double dk = static_cast<double>(k);
    const double x0 = std::sqrt(30.0 * da) + 1550.0;
    const double a2 = std::pow(da, 2.0);
    const float y2 = asFloat(2 * a) + t;
    const double f = std::floor(3.5 * da);
    const float q = asFloat(a) / t;  // infinite while t is 0: atan2 then gives pi / 2
    const double w = std::sqrt(50.0 * da) * da;
    const float sn = std::sin(asFloat(50 * a - 50) + t);
    const float h = 0.5f * t;
    const float t35 = 35.0f * t;

    const sf::Color fill = latticeFill(a, k);
    const float x = narrow((((wide(std::ceil(asFloat(k) + t)) + x0) - a2) - std::cos(std::sqrt(dk)))
                           + std::atan2(50.5 * dk + wide(t), wide(y2)) * f);
    const float y = narrow(((706.0 - std::atan2(wide(q), 2.0 * dk) * w) - wide((asFloat(k) - h) * sn))
                           - std::atan2(da, dk / std::cos(dk)) * std::sqrt(30.0 * dk));
    const float rotation = narrow(std::cos(5.0 * da - 10.0 * dk) * wide(t35));
    return {fill, {x, y}, rotation};
}

float advanceLatticeTime(float latticeTime, float frameSeconds, float countdown6)
{
    float t = latticeTime + frameSeconds;
    if (countdown6 <= 15.0f) {
        t = narrow(3.0 * wide(frameSeconds) + wide(t));
    }
    return t;
}

} // namespace tolva::lattice
