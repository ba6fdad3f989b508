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

// ---------------------------------------------------------------------------------------------
// The fast path.

LatticeTerms::LatticeTerms()
{
    // The resting lattice, replaced by the first update before anything is drawn.
    const sf::Color brown(101, 71, 25, 255);
    for (std::int32_t a = 1; a <= last; ++a) {
        for (std::int32_t k = 1; k <= last; ++k) {
            Rect& square = cells.cell(a, k);
            square.setFillColor(brown);
            square.setPosition(asFloat(130 + 30 * (a - 1)), asFloat(130 + 30 * (k - 1)));
            square.setSize({25.0f, 25.0f});
        }
    }
    const auto count = static_cast<std::size_t>(last + 1);
    for (auto* v : {&x0_, &a2_, &floor35_, &w_, &cosRootK_, &ceilK_}) {
        v->resize(count);
    }
    kLessH_.resize(count);
    fill_.resize(count * count);
    yTail_.resize(count * count);
    turn_.resize(count * count);
    for (int n = 1; n <= last; ++n) {
        const double d = static_cast<double>(n);
        x0_[static_cast<std::size_t>(n)] = std::sqrt(30.0 * d) + 1550.0;
        a2_[static_cast<std::size_t>(n)] = std::pow(d, 2.0);
        floor35_[static_cast<std::size_t>(n)] = std::floor(3.5 * d);
        w_[static_cast<std::size_t>(n)] = std::sqrt(50.0 * d) * d;
        cosRootK_[static_cast<std::size_t>(n)] = std::cos(std::sqrt(d));
    }
    for (int a = 1; a <= last; ++a) {
        const double da = static_cast<double>(a);
        for (int k = 1; k <= last; ++k) {
            const double dk = static_cast<double>(k);
            const std::size_t c = static_cast<std::size_t>(a) * count + static_cast<std::size_t>(k);
            fill_[c] = latticeFill(a, k);
            yTail_[c] = std::atan2(da, dk / std::cos(dk)) * std::sqrt(30.0 * dk);
            turn_[c] = std::cos(5.0 * da - 10.0 * dk);
        }
    }
}

void LatticeTerms::update(float t)
{
    const auto count = static_cast<std::size_t>(last + 1);

    // Terms of the frame and one k.
    const float h = 0.5f * t;
    const double t35 = wide(35.0f * t);
    const double tWide = wide(t);
    std::vector<double>& ceilK = ceilK_;
    std::vector<float>& kLessH = kLessH_;
    for (int k = 1; k <= last; ++k) {
        ceilK[static_cast<std::size_t>(k)] = wide(std::ceil(asFloat(k) + t));
        kLessH[static_cast<std::size_t>(k)] = asFloat(k) - h;
    }

    const sf::Vector2f side(squareSide, squareSide);
    for (int a = 1; a <= last; ++a) {
        const auto ua = static_cast<std::size_t>(a);
        const double x0 = x0_[ua];
        const double a2 = a2_[ua];
        const double f = floor35_[ua];
        const double w = w_[ua];
        const double y2 = wide(asFloat(2 * a) + t);
        const double q = wide(asFloat(a) / t);  // infinite while t is 0; atan2 copes
        const float sn = std::sin(asFloat(50 * a - 50) + t);
        for (int k = 1; k <= last; ++k) {
            const auto uk = static_cast<std::size_t>(k);
            const double dk = static_cast<double>(k);
            const std::size_t c = ua * count + uk;
            const float x = narrow((((ceilK[uk] + x0) - a2) - cosRootK_[uk])
                                   + std::atan2(50.5 * dk + tWide, y2) * f);
            const float y = narrow(((706.0 - std::atan2(q, 2.0 * dk) * w) - wide(kLessH[uk] * sn))
                                   - yTail_[c]);
            Rect& square = cells.cell(a, k);
            square.setFillColor(fill_[c]);
            square.setPosition(x, y);
            square.setSize(side);
            square.setRotation(narrow(turn_[c] * t35));
        }
    }
}

} // namespace tolva::lattice
