#include "scenes/ColumnCascadeFormulas.h"

#include <cmath>

namespace tolva::cascade {

namespace {

constexpr float centre = 35.0f;

std::size_t at(int n) { return static_cast<std::size_t>(n); }

// A square that stays where it was keeps SFML's cached transform.
void place(Rect& square, sf::Vector2f position)
{
    const sf::Vector2f now = square.getPosition();
    if (!sameBits(now.x, position.x) || !sameBits(now.y, position.y)) {
        square.setPosition(position);
    }
}

} // namespace

double columnK() { return 2.5 - std::sqrt(5.0); }

sf::Color columnFill(float i, float j)
{
    const float x = i - centre;
    const float y = j - centre;
    const float ang = std::atan2(y, x);
    const float d = std::sqrt(y * y + x * x);
    const double x2 = std::pow(wide(x), 2.0);
    const float v = narrow((std::sqrt(5.0 - (2.0 - std::sqrt(5.0 - x2)) * x2) + 2.0) * wide(y));
    const float w = narrow(wide(d) - 1.5 * wide(i) / wide(ang) + wide(0.5f * i)) + v;
    const float slant = std::atan2(i, j);
    return sf::Color(wrapChannel(slant * (0.5f * w) * 10.0f + 101.0f),
                     wrapChannel((w / 5.0f + std::sin(j / 7.0f)) + slant * 10.0f),
                     wrapChannel(((std::cos(0.5f * i) + 0.5f * w) + j / 5.0f) + 55.0f), 255);
}

ColumnCell columnCell(float i, float j, float columnTime)
{
    const double K = columnK();
    const sf::Color fill = columnFill(i, j);
    const float u = narrow(0.1 * wide(std::sin(1.05f * columnTime)) + 0.5 * wide(j));
    const float posY = (15.0f * j + 30.0f) + ((i * std::sin(u / 5.0f) * 0.5f) * i - std::cos(u));
    const float e = narrow((std::pow(wide(i), -1.0) * 10.0 * wide(std::sin(columnTime / 100.0f)))
                               / wide(i)
                           - ((std::pow(wide(j), 2.0) * 0.1 * wide(std::atan(columnTime / 100.0f)))
                                  / wide(j / 10.0f)
                              + wide(i)));
    const float posX = (((15.0f * i + 150.0f) + e) - 5.0f * i) + e;

    const float h = (i - 66.0f) + i;
    const float m = j - 37.0f * std::atan(0.5f * i);
    const double H = wide(h);
    const float k = narrow((std::sqrt(5.0 - (2.0 - std::pow(H, 3.0)) * std::pow(H, 2.0)) + 2.5)
                               * (0.1 * wide(m))
                           - wide(15.0f * std::sin(h - columnTime / 77.0f)));
    const float F = narrow((std::sqrt(5.0 - std::pow(H, 2.0)) + 2.0) * ((0.9 * wide(m)) * K)
                           + wide(15.0f * std::cos(columnTime / 77.0f)));
    const float radius = (k - std::sin(k - columnTime / 77.0f)) * F;

    return ColumnCell{fill, sf::Vector2f(posX, posY), radius};
}

sf::Color cascadeFill(int a, int b)
{
    const double da = a;
    const double db = b;
    const double Sa = 10.0 * std::abs(std::sin(static_cast<double>(a / 10)));
    const double Ca = 7.0 * std::cos(static_cast<double>(a >> 1));
    const double q = static_cast<double>(b / 5);
    return sf::Color(
        wrapChannel(std::abs(std::tan(q)) * 15.0 * std::atan2(da, db) * da * std::abs(std::cos(q))),
        wrapChannel(std::abs(std::cos(q)) * 13.0 + Sa), wrapChannel(5.0 * q + Ca), 255);
}

CascadeCell cascadeCell(int a, int b, float cascadeTime, float countdown2)
{
    const float fa = asFloat(a);
    const float fb = asFloat(b);
    const double da = a;
    const double db = b;
    float dx = 0.0f;
    float dy = 0.0f;
    if (!(countdown2 > cascadeStill)) {
        const float A = narrow(da / 11.5);
        const float B = narrow(db / 25.5);
        const float D =
            A - ((3.0f * std::sqrt(fb) + std::cos(cascadeTime / 15.0f + fa / 5.0f)) + fa / 5.0f);
        const float s = std::sin(A) * B - fb / 5.0f;
        const float P = (B - s) / D;
        const float Q = (s - B) / D;
        dy = narrow(wide((fb / 30.0f) * std::sin(((fa / 20.0f) * cascadeTime) * cascadeSwing))
                    + wide(P) * std::pow(db, 2.0))
             * Q;

        const float R = cascadeTime / 10.0f;
        const float g = fa * std::sin(fb / cascadeSpin);
        const float E = (fa - 960.0f) - (std::cos(g * cascadeSpin) + (fa - 960.0f));
        const float N = ((((fb / 30.0f) * R) * cascadeSpin) * g - (fa / 3.0f + fb / 3.0f)) / E;
        const float M = narrow(std::cos(((wide(fb / 30.0f) * 0.5) * wide(R)) * wide(cascadeSpin))
                               + wide(std::cos(fa / 30.0f)));
        const float L = narrow(std::cos(((db * 0.5) * wide(R)) * wide(cascadeSpin))
                               * wide((fa / 3.0f + fb / 3.0f) - g))
                        / E;
        dx = narrow(wide((fb / 10.0f) * (std::cos(N - L) * M)) * 0.75
                    * wide(std::cos(R * cascadeSpin)));
    }
    return CascadeCell{cascadeFill(a, b),
                       sf::Vector2f(1100.0f + 9.0f * fa + dx, 1300.0f + 9.0f * fb + dy)};
}

ColumnCascadeTerms::ColumnCascadeTerms()
    : circleFill(columnCells * columnCells), inverseTen(columnCells + 1),
      squareTenth(columnCells + 1), kRoot(columnCells + 1), fRoot(columnCells + 1),
      hOf(columnCells + 1), mShift(columnCells + 1), squareFill(cascadeCells * cascadeCells),
      bMinusS(cascadeCells * cascadeCells), sMinusB(cascadeCells * cascadeCells),
      g(cascadeCells * cascadeCells), E(cascadeCells * cascadeCells),
      thirds(cascadeCells * cascadeCells), lFactor(cascadeCells * cascadeCells),
      aEleven(cascadeCells + 1), aFifth(cascadeCells + 1), aTwentieth(cascadeCells + 1),
      aCos(cascadeCells + 1), bSqrt3(cascadeCells + 1), bThirtieth(cascadeCells + 1),
      bThirtiethHalf(cascadeCells + 1), bHalf(cascadeCells + 1), bTenth(cascadeCells + 1),
      bSquare(cascadeCells + 1)
{
    for (int n = 1; n <= columnCells; ++n) {
        const float fn = asFloat(n);
        const std::size_t at = static_cast<std::size_t>(n);
        inverseTen[at] = std::pow(wide(fn), -1.0) * 10.0;
        squareTenth[at] = std::pow(wide(fn), 2.0) * 0.1;
        const float h = (fn - 66.0f) + fn;
        const double H = wide(h);
        hOf[at] = h;
        kRoot[at] = std::sqrt(5.0 - (2.0 - std::pow(H, 3.0)) * std::pow(H, 2.0)) + 2.5;
        fRoot[at] = std::sqrt(5.0 - std::pow(H, 2.0)) + 2.0;
        mShift[at] = 37.0f * std::atan(0.5f * fn);
    }
    for (int i = 1; i <= columnCells; ++i) {
        for (int j = 1; j <= columnCells; ++j) {
            circleFill[circle(i, j)] = columnFill(asFloat(i), asFloat(j));
        }
    }

    for (int n = 1; n <= cascadeCells; ++n) {
        const float fn = asFloat(n);
        const double dn = n;
        const std::size_t at = static_cast<std::size_t>(n);
        aEleven[at] = narrow(dn / 11.5);
        aFifth[at] = fn / 5.0f;
        aTwentieth[at] = fn / 20.0f;
        aCos[at] = wide(std::cos(fn / 30.0f));
        bSqrt3[at] = 3.0f * std::sqrt(fn);
        bThirtieth[at] = fn / 30.0f;
        bThirtiethHalf[at] = wide(fn / 30.0f) * 0.5;
        bHalf[at] = dn * 0.5;
        bTenth[at] = fn / 10.0f;
        bSquare[at] = std::pow(dn, 2.0);
    }
    for (int a = 1; a <= cascadeCells; ++a) {
        const float fa = asFloat(a);
        const float A = aEleven[static_cast<std::size_t>(a)];
        for (int b = 1; b <= cascadeCells; ++b) {
            const float fb = asFloat(b);
            const std::size_t at = square(a, b);
            const float B = narrow(static_cast<double>(b) / 25.5);
            const float s = std::sin(A) * B - fb / 5.0f;
            squareFill[at] = cascadeFill(a, b);
            bMinusS[at] = B - s;
            sMinusB[at] = s - B;
            g[at] = fa * std::sin(fb / cascadeSpin);
            E[at] = (fa - 960.0f) - (std::cos(g[at] * cascadeSpin) + (fa - 960.0f));
            thirds[at] = fa / 3.0f + fb / 3.0f;
            lFactor[at] = wide(thirds[at] - g[at]);
        }
    }
}

void ColumnCascadeTerms::columns(float columnTime, CircleGrid& grid)
{
    const ColumnCascadeTerms& t = *this;
    const double K = columnK();
    rowSin_.resize(columnCells + 1);
    rowCos_.resize(columnCells + 1);
    rowShift_.resize(columnCells + 1);

    // The terms of a frame, then of a row j.
    const float sway = std::sin(1.05f * columnTime);
    const float drift = std::sin(columnTime / 100.0f);
    const float lean = std::atan(columnTime / 100.0f);
    const float slow = columnTime / 77.0f;
    const double fCos = wide(15.0f * std::cos(slow));
    for (int j = 1; j <= columnCells; ++j) {
        const float fj = asFloat(j);
        const float u = narrow(0.1 * wide(sway) + 0.5 * wide(fj));
        rowSin_[at(j)] = std::sin(u / 5.0f);
        rowCos_[at(j)] = std::cos(u);
        rowShift_[at(j)] = t.squareTenth[at(j)] * wide(lean) / wide(fj / 10.0f);
    }

    for (int i = 1; i <= columnCells; ++i) {
        const float fi = asFloat(i);
        const double columnShift = t.inverseTen[at(i)] * wide(drift) / wide(fi);
        const double kRoot = t.kRoot[at(i)];
        const double fRoot = t.fRoot[at(i)];
        const double kSin = wide(15.0f * std::sin(t.hOf[at(i)] - slow));
        const float mShift = t.mShift[at(i)];
        const float left = 15.0f * fi + 150.0f;
        const float back = 5.0f * fi;
        for (int j = 1; j <= columnCells; ++j) {
            const float fj = asFloat(j);
            Circle& circle = grid.cell(i, j);
            circle.setFillColor(t.circleFill[ColumnCascadeTerms::circle(i, j)]);

            const float e = narrow(columnShift - (rowShift_[at(j)] + wide(fi)));
            const float posX = ((left + e) - back) + e;
            const float posY =
                (15.0f * fj + 30.0f) + ((fi * rowSin_[at(j)] * 0.5f) * fi - rowCos_[at(j)]);
            circle.setPosition(posX, posY);

            const float m = fj - mShift;
            const float k = narrow(kRoot * (0.1 * wide(m)) - kSin);
            const float F = narrow(fRoot * ((0.9 * wide(m)) * K) + fCos);
            circle.setRadius((k - std::sin(k - slow)) * F);
            circle.setPointCount(25);
            if (!sameBits(circle.getRotation(), 15.0f)) {  // SFML would store 15 again
                circle.setRotation(15.0f);
            }
        }
    }
}

void ColumnCascadeTerms::cascade(ShowClock& cascadeClock, float& cascadeTime, float countdown2,
                                 SquareGrid& grid)
{
    const ColumnCascadeTerms& t = *this;
    const bool still = countdown2 > cascadeStill;
    for (int a = 1; a <= cascadeCells; ++a) {
        const float baseX = 1100.0f + 9.0f * asFloat(a);
        const float A = t.aEleven[at(a)];
        const float aFifth = t.aFifth[at(a)];
        const float aTwentieth = t.aTwentieth[at(a)];
        const double aCos = t.aCos[at(a)];
        bool known = false;  // whether the terms below belong to the current cascadeTime
        float seen = 0.0f, R = 0.0f, ripple = 0.0f, wave = 0.0f, turn = 0.0f;
        for (int b = 1; b <= cascadeCells; ++b) {
            cascadeTime = cascadeTime + 10.0f * cascadeClock.getElapsedTime().asSeconds();
            cascadeClock.restart();

            const std::size_t n = ColumnCascadeTerms::square(a, b);
            Rect& square = grid.cell(a, b);
            square.setFillColor(t.squareFill[n]);
            square.setSize(sf::Vector2f(25.0f, 25.0f));
            const float baseY = 1300.0f + 9.0f * asFloat(b);
            if (still) {
                place(square, sf::Vector2f(baseX + 0.0f, baseY + 0.0f));
                continue;
            }
            const float ct = cascadeTime;
            if (!known || !sameBits(ct, seen)) {
                seen = ct;
                known = true;
                R = ct / 10.0f;
                ripple = std::cos(ct / 15.0f + aFifth);
                wave = std::sin((aTwentieth * ct) * cascadeSwing);
                turn = std::cos(R * cascadeSpin);
            }
            const float D = A - ((t.bSqrt3[at(b)] + ripple) + aFifth);
            const float P = t.bMinusS[n] / D;
            const float Q = t.sMinusB[n] / D;
            const float dy = narrow(wide(t.bThirtieth[at(b)] * wave) + wide(P) * t.bSquare[at(b)]) * Q;

            const float g = t.g[n];
            const float E = t.E[n];
            const float N = (((t.bThirtieth[at(b)] * R) * cascadeSpin) * g - t.thirds[n]) / E;
            const float M = narrow(std::cos((t.bThirtiethHalf[at(b)] * wide(R)) * wide(cascadeSpin))
                                   + aCos);
            const float L =
                narrow(std::cos((t.bHalf[at(b)] * wide(R)) * wide(cascadeSpin)) * t.lFactor[n]) / E;
            const float dx =
                narrow(wide(t.bTenth[at(b)] * (std::cos(N - L) * M)) * 0.75 * wide(turn));
            place(square, sf::Vector2f(baseX + dx, baseY + dy));
        }
    }
}

} // namespace tolva::cascade
