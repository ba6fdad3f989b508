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

SquareTerms::SquareTerms()
{
    constexpr auto count = static_cast<std::size_t>(latticeCells);
    for (auto* v : {&x0_, &a2_, &floor35_, &w_, &cosRootK_, &ceilK_, &y2_, &q_}) {
        v->resize(count);
    }
    kLessH_.resize(count);
    sn_.resize(count);
    fill_.resize(count * count);
    yTail_.resize(count * count);
    turn_.resize(count * count);
    for (int n = 1; n <= latticeCells; ++n) {
        const double d = static_cast<double>(n);
        x0_[line(n)] = std::sqrt(30.0 * d) + 1550.0;
        a2_[line(n)] = std::pow(d, 2.0);
        floor35_[line(n)] = std::floor(3.5 * d);
        w_[line(n)] = std::sqrt(50.0 * d) * d;
        cosRootK_[line(n)] = std::cos(std::sqrt(d));
    }
    for (int a = 1; a <= latticeCells; ++a) {
        const double da = static_cast<double>(a);
        for (int k = 1; k <= latticeCells; ++k) {
            const double dk = static_cast<double>(k);
            fill_[at(a, k)] = latticeFill(a, k);
            yTail_[at(a, k)] = std::atan2(da, dk / std::cos(dk)) * std::sqrt(30.0 * dk);
            turn_[at(a, k)] = std::cos(5.0 * da - 10.0 * dk);
        }
    }
}

void SquareTerms::beginFrame(float t)
{
    const float h = 0.5f * t;
    t35_ = wide(35.0f * t);
    tWide_ = wide(t);
    for (int n = 1; n <= latticeCells; ++n) {
        // As k.
        ceilK_[line(n)] = wide(std::ceil(asFloat(n) + t));
        kLessH_[line(n)] = asFloat(n) - h;
        // As a.
        y2_[line(n)] = wide(asFloat(2 * n) + t);
        q_[line(n)] = wide(asFloat(n) / t);
        sn_[line(n)] = std::sin(asFloat(50 * n - 50) + t);
    }
}

SquareCell SquareTerms::cell(int a, int k) const
{
    const std::size_t ua = line(a);
    const std::size_t uk = line(k);
    const std::size_t c = at(a, k);
    const double dk = static_cast<double>(k);
    const float x = narrow((((ceilK_[uk] + x0_[ua]) - a2_[ua]) - cosRootK_[uk])
                           + std::atan2(50.5 * dk + tWide_, y2_[ua]) * floor35_[ua]);
    const float y = narrow(((706.0 - std::atan2(q_[ua], 2.0 * dk) * w_[ua]) - wide(kLessH_[uk] * sn_[ua]))
                           - yTail_[c]);
    return {fill_[c], {x, y}, narrow(turn_[c] * t35_)};
}

} // namespace tolva::lattice
