#include "scenes/SquareLattice.h"

#include "scenes/Formula.h"
#include "scenes/LatticeFormulas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tolva {

SquareLattice::SquareLattice(float x, float y)
    : cells(static_cast<std::size_t>(size), static_cast<std::size_t>(size))
{
    anchor = sf::Vector2f(x, y);
    // The resting lattice, replaced by the first update before anything is drawn.
    const sf::Color brown(101, 71, 25, 255);
    for (std::int32_t a = 1; a <= size - 1; ++a) {
        for (std::int32_t k = 1; k <= size - 1; ++k) {
            Rect& square = cells.at(static_cast<std::size_t>(a), static_cast<std::size_t>(k));
            square.setFillColor(brown);
            square.setPosition(asFloat(130 + 30 * (a - 1)), asFloat(130 + 30 * (k - 1)));
            square.setSize({25.0f, 25.0f});
        }
    }
    anchorSquare.setFillColor(brown);
    anchorSquare.setSize({25.0f, 25.0f});
    anchorSquare.setPosition(anchor);
}

void SquareLattice::prepare(int last)
{
    Fixed f;
    f.last = last;
    const auto count = static_cast<std::size_t>(last + 1);
    f.x0.resize(count);
    f.a2.resize(count);
    f.floor35.resize(count);
    f.w.resize(count);
    f.cosRootK.resize(count);
    f.fill.resize(count * count);
    f.yTail.resize(count * count);
    f.turn.resize(count * count);
    for (int n = 1; n <= last; ++n) {
        const double d = static_cast<double>(n);
        f.x0[static_cast<std::size_t>(n)] = std::sqrt(30.0 * d) + 1550.0;
        f.a2[static_cast<std::size_t>(n)] = std::pow(d, 2.0);
        f.floor35[static_cast<std::size_t>(n)] = std::floor(3.5 * d);
        f.w[static_cast<std::size_t>(n)] = std::sqrt(50.0 * d) * d;
        f.cosRootK[static_cast<std::size_t>(n)] = std::cos(std::sqrt(d));
    }
    for (int a = 1; a <= last; ++a) {
        const double da = static_cast<double>(a);
        const double r = std::atan(5.0 * da) * (0.1 * da) - 10.0 * std::fabs(std::cos(da));
        const double c5 = std::cos(5.0 * da);
        for (int k = 1; k <= last; ++k) {
            const double dk = static_cast<double>(k);
            const std::size_t c = static_cast<std::size_t>(a) * count + static_cast<std::size_t>(k);
            f.fill[c] = sf::Color(wrapChannel(r), wrapChannel(std::sqrt(3.0 * dk) + (dk + c5)),
                                  low8((95 * a) / k), 255);
            f.yTail[c] = std::atan2(da, dk / std::cos(dk)) * std::sqrt(30.0 * dk);
            f.turn[c] = std::cos(5.0 * da - 10.0 * dk);
        }
    }
    fixed_ = std::move(f);
}

void SquareLattice::update(sf::Time dt, float t)
{
    anchor = lattice::moveAnchor(anchor, speed, dt.asSeconds());
    anchorSquare.setPosition(anchor);
    if (size < 2) {
        return;
    }
    // Never past the cells that exist, whatever size says.
    const int last = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(size),
                                                            cells.outer()))
                     - 1;
    if (fixed_.last != last) {
        prepare(last);
    }
    const auto count = static_cast<std::size_t>(last + 1);

    // Terms of the frame and one k.
    const float h = 0.5f * t;
    const double t35 = wide(35.0f * t);
    const double tWide = wide(t);
    std::vector<double>& ceilK = ceilK_;
    std::vector<float>& kLessH = kLessH_;
    ceilK.resize(count);
    kLessH.resize(count);
    for (int k = 1; k <= last; ++k) {
        ceilK[static_cast<std::size_t>(k)] = wide(std::ceil(asFloat(k) + t));
        kLessH[static_cast<std::size_t>(k)] = asFloat(k) - h;
    }

    const sf::Vector2f side(lattice::squareSide, lattice::squareSide);
    for (int a = 1; a <= last; ++a) {
        const auto ua = static_cast<std::size_t>(a);
        const double x0 = fixed_.x0[ua];
        const double a2 = fixed_.a2[ua];
        const double f = fixed_.floor35[ua];
        const double w = fixed_.w[ua];
        const double y2 = wide(asFloat(2 * a) + t);
        const double q = wide(asFloat(a) / t);  // infinite while t is 0; atan2 copes
        const float sn = std::sin(asFloat(50 * a - 50) + t);
        for (int k = 1; k <= last; ++k) {
            const auto uk = static_cast<std::size_t>(k);
            const double dk = static_cast<double>(k);
            const std::size_t c = ua * count + uk;
            const float x = narrow((((ceilK[uk] + x0) - a2) - fixed_.cosRootK[uk])
                                   + std::atan2(50.5 * dk + tWide, y2) * f);
            const float y = narrow(((706.0 - std::atan2(q, 2.0 * dk) * w) - wide(kLessH[uk] * sn))
                                   - fixed_.yTail[c]);
            Rect& square = cells.at(ua, uk);
            square.setFillColor(fixed_.fill[c]);
            square.setPosition(x, y);
            square.setSize(side);
            square.setRotation(narrow(fixed_.turn[c] * t35));
        }
    }
}

} // namespace tolva
