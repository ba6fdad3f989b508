#include "scenes/ColumnCascadeFormulas.h"

#include <cmath>

namespace tolva::cascade {

namespace {

constexpr float centre = 35.0f;

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

// ---------------------------------------------------------------------------------------------
// The fast path.

ColumnTerms::ColumnTerms()
    : fill_(columnCells * columnCells), inverseTen_(columnCells + 1), squareTenth_(columnCells + 1),
      kRoot_(columnCells + 1), fRoot_(columnCells + 1), hOf_(columnCells + 1),
      mShift_(columnCells + 1), K_(columnK()), rowSin_(columnCells + 1), rowCos_(columnCells + 1),
      rowShift_(columnCells + 1), columnShift_(columnCells + 1), kSin_(columnCells + 1)
{
    for (int n = 1; n <= columnCells; ++n) {
        const float fn = asFloat(n);
        inverseTen_[at(n)] = std::pow(wide(fn), -1.0) * 10.0;
        squareTenth_[at(n)] = std::pow(wide(fn), 2.0) * 0.1;
        const float h = (fn - 66.0f) + fn;
        const double H = wide(h);
        hOf_[at(n)] = h;
        kRoot_[at(n)] = std::sqrt(5.0 - (2.0 - std::pow(H, 3.0)) * std::pow(H, 2.0)) + 2.5;
        fRoot_[at(n)] = std::sqrt(5.0 - std::pow(H, 2.0)) + 2.0;
        mShift_[at(n)] = 37.0f * std::atan(0.5f * fn);
    }
    for (int i = 1; i <= columnCells; ++i) {
        for (int j = 1; j <= columnCells; ++j) {
            fill_[at(i, j)] = columnFill(asFloat(i), asFloat(j));
        }
    }
}

void ColumnTerms::beginFrame(float columnTime)
{
    const float sway = std::sin(1.05f * columnTime);
    const float drift = std::sin(columnTime / 100.0f);
    const float lean = std::atan(columnTime / 100.0f);
    slow_ = columnTime / 77.0f;
    fCos_ = wide(15.0f * std::cos(slow_));
    for (int n = 1; n <= columnCells; ++n) {
        const float fn = asFloat(n);
        // As the row j.
        const float u = narrow(0.1 * wide(sway) + 0.5 * wide(fn));
        rowSin_[at(n)] = std::sin(u / 5.0f);
        rowCos_[at(n)] = std::cos(u);
        rowShift_[at(n)] = squareTenth_[at(n)] * wide(lean) / wide(fn / 10.0f);
        // As the column i.
        columnShift_[at(n)] = inverseTen_[at(n)] * wide(drift) / wide(fn);
        kSin_[at(n)] = wide(15.0f * std::sin(hOf_[at(n)] - slow_));
    }
}

ColumnCell ColumnTerms::cell(int i, int j) const
{
    const float fi = asFloat(i);
    const float fj = asFloat(j);
    const float e = narrow(columnShift_[at(i)] - (rowShift_[at(j)] + wide(fi)));
    const float posX = (((15.0f * fi + 150.0f) + e) - 5.0f * fi) + e;
    const float posY = (15.0f * fj + 30.0f) + ((fi * rowSin_[at(j)] * 0.5f) * fi - rowCos_[at(j)]);

    const float m = fj - mShift_[at(i)];
    const float k = narrow(kRoot_[at(i)] * (0.1 * wide(m)) - kSin_[at(i)]);
    const float F = narrow(fRoot_[at(i)] * ((0.9 * wide(m)) * K_) + fCos_);
    return ColumnCell{fill_[at(i, j)], sf::Vector2f(posX, posY), (k - std::sin(k - slow_)) * F};
}

CascadeTerms::CascadeTerms()
    : fill_(cascadeCells * cascadeCells), bMinusS_(cascadeCells * cascadeCells),
      sMinusB_(cascadeCells * cascadeCells), g_(cascadeCells * cascadeCells),
      E_(cascadeCells * cascadeCells), thirds_(cascadeCells * cascadeCells),
      lFactor_(cascadeCells * cascadeCells), aEleven_(cascadeCells + 1), aFifth_(cascadeCells + 1),
      aTwentieth_(cascadeCells + 1), aCos_(cascadeCells + 1), bSqrt3_(cascadeCells + 1),
      bThirtieth_(cascadeCells + 1), bThirtiethHalf_(cascadeCells + 1), bHalf_(cascadeCells + 1),
      bTenth_(cascadeCells + 1), bSquare_(cascadeCells + 1)
{
    lineTerms();
    squareTerms();
}

// The terms of one index.
void CascadeTerms::lineTerms()
{
    for (int n = 1; n <= cascadeCells; ++n) {
        const float fn = asFloat(n);
        const double dn = n;
        aEleven_[at(n)] = narrow(dn / 11.5);
        aFifth_[at(n)] = fn / 5.0f;
        aTwentieth_[at(n)] = fn / 20.0f;
        aCos_[at(n)] = wide(std::cos(fn / 30.0f));
        bSqrt3_[at(n)] = 3.0f * std::sqrt(fn);
        bThirtieth_[at(n)] = fn / 30.0f;
        bThirtiethHalf_[at(n)] = wide(fn / 30.0f) * 0.5;
        bHalf_[at(n)] = dn * 0.5;
        bTenth_[at(n)] = fn / 10.0f;
        bSquare_[at(n)] = std::pow(dn, 2.0);
    }
}

// The terms of both indices.
void CascadeTerms::squareTerms()
{
    for (int a = 1; a <= cascadeCells; ++a) {
        const float fa = asFloat(a);
        const float A = aEleven_[at(a)];
        for (int b = 1; b <= cascadeCells; ++b) {
            const float fb = asFloat(b);
            const std::size_t n = at(a, b);
            const float B = narrow(static_cast<double>(b) / 25.5);
            const float s = std::sin(A) * B - fb / 5.0f;
            fill_[n] = cascadeFill(a, b);
            bMinusS_[n] = B - s;
            sMinusB_[n] = s - B;
            g_[n] = fa * std::sin(fb / cascadeSpin);
            E_[n] = (fa - 960.0f) - (std::cos(g_[n] * cascadeSpin) + (fa - 960.0f));
            thirds_[n] = fa / 3.0f + fb / 3.0f;
            lFactor_[n] = wide(thirds_[n] - g_[n]);
        }
    }
}

void CascadeTerms::beginFrame(float countdown2)
{
    still_ = countdown2 > cascadeStill;
    known_ = false;
}

CascadeCell CascadeTerms::cell(int a, int b, float cascadeTime)
{
    const std::size_t n = at(a, b);
    const float baseX = 1100.0f + 9.0f * asFloat(a);
    const float baseY = 1300.0f + 9.0f * asFloat(b);
    if (still_) {
        return CascadeCell{fill_[n], sf::Vector2f(baseX + 0.0f, baseY + 0.0f)};
    }
    const float ct = cascadeTime;
    if (!known_ || knownRow_ != a || !sameBits(ct, seen_)) {
        known_ = true;
        knownRow_ = a;
        seen_ = ct;
        R_ = ct / 10.0f;
        ripple_ = std::cos(ct / 15.0f + aFifth_[at(a)]);
        wave_ = std::sin((aTwentieth_[at(a)] * ct) * cascadeSwing);
        turn_ = std::cos(R_ * cascadeSpin);
    }
    const float D = aEleven_[at(a)] - ((bSqrt3_[at(b)] + ripple_) + aFifth_[at(a)]);
    const float P = bMinusS_[n] / D;
    const float Q = sMinusB_[n] / D;
    const float dy = narrow(wide(bThirtieth_[at(b)] * wave_) + wide(P) * bSquare_[at(b)]) * Q;

    const float N = (((bThirtieth_[at(b)] * R_) * cascadeSpin) * g_[n] - thirds_[n]) / E_[n];
    const float M =
        narrow(std::cos((bThirtiethHalf_[at(b)] * wide(R_)) * wide(cascadeSpin)) + aCos_[at(a)]);
    const float L = narrow(std::cos((bHalf_[at(b)] * wide(R_)) * wide(cascadeSpin)) * lFactor_[n]) / E_[n];
    const float dx = narrow(wide(bTenth_[at(b)] * (std::cos(N - L) * M)) * 0.75 * wide(turn_));
    return CascadeCell{fill_[n], sf::Vector2f(baseX + dx, baseY + dy)};
}

} // namespace tolva::cascade
