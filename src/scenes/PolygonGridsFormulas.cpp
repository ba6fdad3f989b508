#include "scenes/PolygonGridsFormulas.h"

#include "scenes/Formula.h"

#include <cmath>
#include <cstdint>

namespace tolva::polygon {

float advanceGridTime(float gridTime, float midFrameDelta)
{
    return narrow(wide(midFrameDelta) + 0.05 + wide(gridTime));
}

GridFrame gridFrame(float gridTime)
{
    return {gridTime, gridTime * 14.0f, narrow(wide(gridTime) * 1.2)};
}

sf::Color clearColour(float gridTime)
{
    const auto red = low8(intOf(std::sin(gridTime / 20.0f) * 20.0f + 51.0f));
    const auto blue = low8(intOf(std::cos(gridTime / 20.0f) * 15.0f + 70.0f));
    return sf::Color(red, 25, blue, 255);
}

float burnFuse(float colourFuse, float fuseTick)
{
    return narrow(wide(colourFuse) - wide(fuseTick) * 4.7e-5);
}

BlendWeights::BlendWeights(float u)
{
    const double w = wide(u);
    const double threeU = wide(3.0f * u);  // the linear terms are formed in float
    w0 = std::pow(-w, 3.0) + 3.0 * std::pow(w, 2.0) - threeU + 1.0;
    w1 = 3.0 * std::pow(w, 3.0) - 12.0 + threeU;
    w2 = 3.0 * std::pow(w, 2.0) - 3.0 * std::pow(w, 3.0);
    w3 = std::pow(w, 3.0);
}

double cubicBlend(float u, float p0, float p1, float p2, float p3)
{
    return BlendWeights(u).blend(wide(p0), wide(p1), wide(p2), wide(p3));
}

float pentagonOffsetY(float i, float j, float f)
{
    const float a = narrow(std::pow(wide(j), 3.0) * wide(i - i / 10.0f));
    const float v = f / 300.0f;
    // NaN from row 3 on (s1) and from row 2 on (s2): only row 1 of the pentagons ever shows.
    const double s1 = std::sqrt(5.0 - std::pow(wide(i), 2.0));
    const double s2 = std::sqrt(5.0 - std::pow(wide(i), 2.0) * 3.0);
    const float m = i * a / narrow(std::pow(wide(a), 3.0) * wide(j))
                    + (std::sin(j - f / 3.0f / 30.0f) + j * 3.0f);
    const float n = narrow(cubicBlend(v, narrow(s1 + 2.0), narrow(2.0 - s1), narrow(s2 + 20.0),
                                      narrow(20.0 - s2)));
    return m + n;
}

float heptagonRipple(float i, float j)
{
    const double s = std::sqrt(5.0 - std::pow(wide(i) / wide(j), 2.0));
    const float pa = narrow(s + 2.0);
    const double t = std::sqrt(5.0 - std::pow(wide(i) / 100.0, 2.0));
    const float q = narrow(wide(i) * 0.3 - t);
    const float g = (narrow(2.0 - s) * j + i * pa + 1.5707963f + pa * 1.5707963f) * (i * 0.5f * j);
    return std::sin(std::cos(g) * std::sin(j) - (i + i)) * narrow(wide(q / i) * 0.5)
           * (std::sin(j / 100.0f + j / 20.0f) * 30.0f + std::cos(q) * 20.0f);
}

float heptagonOffsetY(float i, float j, float p)
{
    const float h = p * 0.5f;
    const float r = heptagonRipple(i, j);
    if (p < 29.0f) {
        return narrow(wide(r) - std::cos(wide(j * 3.0f) + 2.0 * (wide(h) * 0.75))
                                    * wide(i * 0.5f * 3.0f));
    }
    if (p > 29.0f && p < 33.0f) {
        return std::atan2(i, j) * r * (p / 7.0f * 2.0f) / 5.0f * std::cos(j - h);
    }
    if (p > 33.0f) {
        return r - std::cos(j + h) * i;
    }
    // Exactly 29 or 33 (or a phase that is not a number): the band rests on its base line for
    // that frame. Zero is finite for every cell, also where r is not.
    return 0.0f;
}

sf::Color decagonFill(float i, float j)
{
    return sf::Color(low8(intOf(20.0f * i) ^ (intOf(std::sqrt(j)) / intOf(j))),
                     low8(14 * low8(intOf(std::atan2(i, j)))) ^ low8(14 * low8(intOf(std::sqrt(j * 0.5f)))),
                     low8(intOf(asFloat(intOf(j) ^ intOf(i)) + std::sqrt(i))), 255);
}

sf::Color pentagonRedGreen(float i, float j)
{
    return sf::Color(low8(truncate32(std::sin(std::pow(wide(i), -1.0)) * 15.0
                                     + wide(i / j * 550.0f * std::atan2(j, i)))),
                     low8(truncate32(wide(std::sqrt(j / i)) * 3.141592) ^ intOf(std::atan(j - i / 10.0f))),
                     0, 255);
}

PolygonCell decagonCell(float i, float j, float gridTime)
{
    const float a = gridTime / 10.0f;


    const float p = std::cos(2.0f * i / (narrow(std::sin(std::pow(wide(i), 3.0) + 10.0)) - (i + a)));
    const float yA = p * 4.0f * 10.0f + 3.0f * i + std::sin(j / i);
    const float he = std::cos(j / 20.0f + a) * 10.0f * 30.0f + i;
    const float c2 = narrow(std::cos(std::pow(wide(j), 2.0) + 10.0));
    const float q = ((c2 + c2) * 0.5f + he - 24.0f * j) / 50.0f * a - j * 0.25f * i;
    const float x =
        narrow((10.0 * wide(i) + wide(he) + (wide(std::sin(q)) + wide(a)) * 10.0) * 1.5) + 300.0f;
    const float y = yA / 14.0f * j + 120.0f;
    return {decagonFill(i, j), {x, y}};
}

PolygonCell pentagonCell(float i, float j, float gridTime, float fastPhase)
{
    sf::Color fill = pentagonRedGreen(i, j);
    fill.b = low8(intOf(i / 3.0f * 7.0f * std::atan(gridTime / 15.0f) + j * 13.0f));

    const float t = (i - std::tan(j) * 4.0f) * 40.0f * std::cos(j / 10.0f);
    const float u = fastPhase / 1000.0f;
    const float b = narrow(cubicBlend(u, i / 10.0f, j * 0.25f, j * 3.0f + i, j * 4.0f));
    const float x = std::sin(b) * 10.0f + std::atan2(t, i) * 10.0f + (i + 1770.0f);
    const float y =
        narrow(wide(pentagonOffsetY(i, j, fastPhase)) + (wide(j) * 7.3141592 + 319.0));
    return {fill, {x, y}};
}

PolygonCell heptagonCell(float i, float j, float slowPhase, float colourFuse)
{
    const float h = slowPhase * 0.5f;

    // Once the fuse has burnt below 1 the red channel changes formula, from that cell on.
    const auto red = colourFuse < 1.0f
                         ? low8((9 * intOf(std::cos(i / j + slowPhase / 110.0f))) ^ (9 * intOf(i)))
                         : low8(intOf(std::sin(j / i + slowPhase / 20.0f) * 9.0f));
    const auto green = low8(intOf(std::atan2(i, j) - i / 30.0f * 70.0f + slowPhase));
    const auto blue = low8(truncate32(std::sqrt(std::pow(wide(i), 3.0) + 15.0) * 10.0
                                      - wide(std::cos((slowPhase + slowPhase) / 100.0f))));

    // NaN where i / j exceeds the square root of 5: those cells do not show.
    const double hRoot = std::sqrt(5.0 - std::pow(wide(i) / wide(j), 2.0));
    const float pa = narrow(hRoot + 2.0);
    const float pb = narrow(2.0 - hRoot);
    const float g = i * 0.5f * j * (pa * 1.5707963f + (pb * j + pa * i + 1.5707963f));
    const float d = std::cos(g) * std::sin(j) - i * 2.0f;
    const float e = std::sin(j) + i / j;
    const float w = narrow((std::sqrt(5.0 - std::pow(wide(i) / 100.0, 2.0)) + 2.0)
                               * (wide(std::sin(h / 100.0f)) * 5.0)
                           + std::sin(2.0 * (wide(slowPhase) / 7.0)) * (wide(i) / 20.0));
    const float l = std::cos(h / 10.0f + w);
    const float x = (i * 9.0f - 10.0f) + (l * (j * i) * e / d * i / 25.0f + i);
    const float y = heptagonOffsetY(i, j, slowPhase) + (j + 610.0f);
    return {sf::Color(red, green, blue, 255), {x, y}};
}

// ---------------------------------------------------------------------------------------------
// The fast path.

namespace {

float counter(int k) { return asFloat(k); }

constexpr int n = cellsPerSide;
constexpr std::size_t cells = static_cast<std::size_t>(n * n);

std::size_t at(int i, int j) { return static_cast<std::size_t>((i - 1) * n + (j - 1)); }

} // namespace

DecagonTerms::DecagonTerms() : fill_(cells), sinJOverI_(cells)
{
    for (int k = 1; k <= n; ++k) {
        const float i = counter(k);
        const float j = counter(k);
        sineOfCube_[k] = narrow(std::sin(std::pow(wide(i), 3.0) + 10.0));
        const float c2 = narrow(std::cos(std::pow(wide(j), 2.0) + 10.0));
        halfTwoC2_[k] = (c2 + c2) * 0.5f;
    }
    for (int ri = 1; ri <= n; ++ri) {
        for (int rj = 1; rj <= n; ++rj) {
            const float i = counter(ri);
            const float j = counter(rj);
            fill_[at(ri, rj)] = decagonFill(i, j);
            sinJOverI_[at(ri, rj)] = std::sin(j / i);
        }
    }
}

void DecagonTerms::beginFrame(float gridTime)
{
    a_ = gridTime / 10.0f;
    for (int k = 1; k <= n; ++k) {
        const float i = counter(k);
        const float p = std::cos(2.0f * i / (sineOfCube_[k] - (i + a_)));
        yBase_[k] = p * 4.0f * 10.0f + 3.0f * i;
        heWave_[k] = std::cos(counter(k) / 20.0f + a_) * 10.0f * 30.0f;
    }
}

PolygonCell DecagonTerms::cell(int ri, int rj) const
{
    const float i = counter(ri);
    const float j = counter(rj);
    const float he = heWave_[rj] + i;
    const float q = (halfTwoC2_[rj] + he - 24.0f * j) / 50.0f * a_ - j * 0.25f * i;
    const float x = narrow((10.0 * wide(i) + wide(he) + (wide(std::sin(q)) + wide(a_)) * 10.0) * 1.5) + 300.0f;
    const float yA = yBase_[ri] + sinJOverI_[at(ri, rj)];
    const float y = yA / 14.0f * j + 120.0f;
    return {fill_[at(ri, rj)], {x, y}};
}

PentagonTerms::PentagonTerms() : fill_(cells), atanTerm_(cells), p2_(cells), mFirst_(cells)
{
    for (int k = 1; k <= n; ++k) {
        const float i = counter(k);
        blueRow_[k] = i / 3.0f * 7.0f;
        const double s1 = std::sqrt(5.0 - std::pow(wide(i), 2.0));
        const double s2 = std::sqrt(5.0 - std::pow(wide(i), 2.0) * 3.0);
        blendPoints_[0][k] = wide(narrow(s1 + 2.0));
        blendPoints_[1][k] = wide(narrow(2.0 - s1));
        blendPoints_[2][k] = wide(narrow(s2 + 20.0));
        blendPoints_[3][k] = wide(narrow(20.0 - s2));
    }
    for (int ri = 1; ri <= n; ++ri) {
        for (int rj = 1; rj <= n; ++rj) {
            const float i = counter(ri);
            const float j = counter(rj);
            const std::size_t c = at(ri, rj);
            fill_[c] = pentagonRedGreen(i, j);
            const float t = (i - std::tan(j) * 4.0f) * 40.0f * std::cos(j / 10.0f);
            atanTerm_[c] = std::atan2(t, i) * 10.0f;
            p2_[c] = wide(j * 3.0f + i);
            const float a = narrow(std::pow(wide(j), 3.0) * wide(i - i / 10.0f));
            mFirst_[c] = i * a / narrow(std::pow(wide(a), 3.0) * wide(j));
        }
    }
}

void PentagonTerms::beginFrame(float gridTime, float fastPhase)
{
    blueSlope_ = std::atan(gridTime / 15.0f);
    shape_ = BlendWeights(fastPhase / 1000.0f);
    const BlendWeights offset(fastPhase / 300.0f);
    for (int k = 1; k <= n; ++k) {
        n2_[k] = narrow(offset.blend(blendPoints_[0][k], blendPoints_[1][k], blendPoints_[2][k],
                                     blendPoints_[3][k]));
        const float j = counter(k);
        mWave_[k] = std::sin(j - fastPhase / 3.0f / 30.0f) + j * 3.0f;
        yTail_[k] = wide(j) * 7.3141592 + 319.0;
    }
}

PolygonCell PentagonTerms::cell(int ri, int rj) const
{
    const float i = counter(ri);
    const float j = counter(rj);
    const std::size_t c = at(ri, rj);
    const float b = narrow(shape_.blend(wide(i / 10.0f), wide(j * 0.25f), p2_[c], wide(j * 4.0f)));
    const float x = std::sin(b) * 10.0f + atanTerm_[c] + (i + 1770.0f);
    const float offsetY = mFirst_[c] + mWave_[rj] + n2_[ri];
    const float y = narrow(wide(offsetY) + yTail_[rj]);
    sf::Color fill = fill_[c];
    fill.b = low8(intOf(blueRow_[ri] * blueSlope_ + j * 13.0f));
    return {fill, {x, y}};
}

HeptagonTerms::HeptagonTerms()
    : jOverI_(cells), iOverJ_(cells), greenBase_(cells), d_(cells), e_(cells), r_(cells), atanR_(cells)
{
    for (int k = 1; k <= n; ++k) {
        const float i = counter(k);
        blueBase_[k] = std::sqrt(std::pow(wide(i), 3.0) + 15.0) * 10.0;
        wRoot_[k] = std::sqrt(5.0 - std::pow(wide(i) / 100.0, 2.0)) + 2.0;
    }
    for (int ri = 1; ri <= n; ++ri) {
        for (int rj = 1; rj <= n; ++rj) {
            const float i = counter(ri);
            const float j = counter(rj);
            const std::size_t c = at(ri, rj);
            jOverI_[c] = j / i;
            iOverJ_[c] = i / j;
            greenBase_[c] = std::atan2(i, j) - i / 30.0f * 70.0f;
            const double hRoot = std::sqrt(5.0 - std::pow(wide(i) / wide(j), 2.0));
            const float pa = narrow(hRoot + 2.0);
            const float pb = narrow(2.0 - hRoot);
            const float g = i * 0.5f * j * (pa * 1.5707963f + (pb * j + pa * i + 1.5707963f));
            d_[c] = std::cos(g) * std::sin(j) - i * 2.0f;
            e_[c] = std::sin(j) + i / j;
            const float r = heptagonRipple(i, j);
            r_[c] = r;
            atanR_[c] = std::atan2(i, j) * r;
        }
    }
}

HeptagonTerms::Regime HeptagonTerms::regimeOf(float slowPhase)
{
    return slowPhase < 29.0f                          ? Regime::early
           : slowPhase > 29.0f && slowPhase < 33.0f ? Regime::middle
           : slowPhase > 33.0f                      ? Regime::late
                                                    : Regime::resting;
}

void HeptagonTerms::beginFrame(float slowPhase)
{
    slowPhase_ = slowPhase;
    h_ = slowPhase * 0.5f;
    redShiftCos_ = slowPhase / 110.0f;
    redShiftSin_ = slowPhase / 20.0f;
    regime_ = regimeOf(slowPhase);
    middleScale_ = slowPhase / 7.0f * 2.0f;
    waveTerms();
    rowTerms(slowPhase);
}

void HeptagonTerms::waveTerms()
{
    for (int k = 1; k <= n; ++k) {
        const float j = counter(k);
        if (regime_ == Regime::early) {
            earlyWave_[k] = std::cos(wide(j * 3.0f) + 2.0 * (wide(h_) * 0.75));
        } else if (regime_ == Regime::middle) {
            wave_[k] = std::cos(j - h_);
        } else if (regime_ == Regime::late) {
            wave_[k] = std::cos(j + h_);
        }
    }
}

void HeptagonTerms::rowTerms(float slowPhase)
{
    const double blueShift = wide(std::cos((slowPhase + slowPhase) / 100.0f));
    const double wSine = wide(std::sin(h_ / 100.0f)) * 5.0;
    const double wSwing = std::sin(2.0 * (wide(slowPhase) / 7.0));
    const float lShift = h_ / 10.0f;
    for (int k = 1; k <= n; ++k) {
        const float i = counter(k);
        const float w = narrow(wRoot_[k] * wSine + wSwing * (wide(i) / 20.0));
        l_[k] = std::cos(lShift + w);
        blue_[k] = low8(truncate32(blueBase_[k] - blueShift));
    }
}

PolygonCell HeptagonTerms::cell(int ri, int rj, float colourFuse) const
{
    const float i = counter(ri);
    const float j = counter(rj);
    const std::size_t c = at(ri, rj);
    // Once the fuse has burnt below 1 the red channel changes formula, from this cell on.
    const auto red = colourFuse < 1.0f
                         ? low8((9 * intOf(std::cos(iOverJ_[c] + redShiftCos_))) ^ (9 * intOf(i)))
                         : low8(intOf(std::sin(jOverI_[c] + redShiftSin_) * 9.0f));
    const auto green = low8(intOf(greenBase_[c] + slowPhase_));
    const float x = (i * 9.0f - 10.0f) + (l_[ri] * (j * i) * e_[c] / d_[c] * i / 25.0f + i);
    float offsetY = 0.0f;
    switch (regime_) {
    case Regime::early:
        offsetY = narrow(wide(r_[c]) - earlyWave_[rj] * wide(i * 0.5f * 3.0f));
        break;
    case Regime::middle:
        offsetY = atanR_[c] * middleScale_ / 5.0f * wave_[rj];
        break;
    case Regime::late:
        offsetY = r_[c] - wave_[rj] * i;
        break;
    case Regime::resting:
        break;
    }
    const float y = offsetY + (j + 610.0f);
    return {sf::Color(red, green, blue_[ri], 255), {x, y}};
}

} // namespace tolva::polygon
