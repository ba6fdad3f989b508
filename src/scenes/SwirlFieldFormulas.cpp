#include "scenes/SwirlFieldFormulas.h"

#include "scenes/Formula.h"

#include <algorithm>
#include <cmath>

namespace tolva::swirl {

Frame frameOf(float swirlPhase, float countdown4)
{
    const double qd = wide(swirlPhase);
    return {swirlPhase, qd, narrow(qd * 0.3), countdown4};
}

float advancePhase(float phase, float frameSeconds)
{
    return narrow(wide(frameSeconds) * 15.0 + wide(phase));
}

bool middleColours(float c4) { return c4 >= 21.5f && c4 <= 23.5f; }

namespace {

// The bands of countdown4 in which waveOffset changes form. Both ends are inclusive, and the two
// bands share 22.5, where the sine form meets the row-dependent v.
bool rowDependentV(float d) { return d >= 19.0f && d <= 22.5f; }
bool sineForm(float d) { return d >= 22.5f && d <= 25.75f; }

} // namespace

float waveOffset(float a, float b, float p, float d)
{
    const float w = 2.0f * narrow(wide(p) / 15.0);
    float v = 10.0f;
    if (rowDependentV(d)) {
        v = std::atan2(a, b) * (a / 10.0f) * w * 0.5f;
    }
    const float amp = narrow(std::sin(wide(a) * 7.5 + wide(p / 75.0f)) * wide(std::sqrt(v) * 50.0f));
    if (sineForm(d)) {
        return narrow(wide(std::sin((b / 15.0f) * v) * amp) * std::cos(wide(w / 1.5f)));
    }
    return std::cos(a / b + p / 50.0f) * (std::atan2(b, a) * amp);
}

float bezierOffset(float i, float j, float e)
{
    const float t = narrow(wide(e) * 0.1 * 0.1);
    const float u = 1.0f - t;
    const float A = i;
    const float B = narrow(wide(j) + 1.3);
    const float C = i + j;
    const float D = i + std::sqrt(j);
    const float E = u * A + B * t;
    const float F = u * B + C * t;
    const float G = u * C + D * t;
    const float H = u * E + F * t;
    const float K = u * F + G * t;
    return narrow(std::cos(wide(C) - 0.5 * wide(D))
                  + (0.75 * wide(K) + wide(A) + wide(C - D) + wide(std::atan2(i, j))
                     - (0.5 * wide(H) + 1.3 * wide(K))
                     + wide(std::sin(e / 200.0f + std::sqrt(10.0f * j))) - 1.5 * wide(E)));
}

namespace {

sf::Color outerColour(float i, float j)
{
    const int red = (truncate32(wide(i)) / 20) ^ (truncate32(wide(std::atan2(j, i))) + 50);
    return sf::Color(low8(red), wrapChannel(i / 5.0f * std::sqrt(j) + 10.0f * std::sin(i / 20.0f)),
                     wrapChannel(narrow(wide(j / 20.0f) * 3.0 * wide(std::max(i, j)))), 255);
}

sf::Color middleColour(float i, float j)
{
    return sf::Color(wrapChannel(10.0f * std::sin(j) + 20.0f * std::atan2(j, i)),
                     wrapChannel(std::cos(j / 20.0f) * std::sqrt(i * 0.5f) * 10.0f),
                     wrapChannel(narrow(wide(std::min(j / 20.0f, i)) * std::pow(wide(i), 2.0))),
                     255);
}

} // namespace

HeptagonCell heptagonCell(float i, float j, const Frame& frame)
{
    HeptagonCell cell;
    cell.fill = middleColours(frame.c4) ? middleColour(i, j) : outerColour(i, j);
    const float W = waveOffset(i, j, frame.q, frame.c4);
    cell.position = sf::Vector2f(W + ((i + 750.0f) - bezierOffset(i, j, frame.q)),
                                 W + ((j + 551.0f) - bezierOffset(i, j, i)));
    cell.radius = narrow(wide(std::sin(frame.q)) * 0.1 + 15.0);
    cell.rotation =
        narrow(std::sin(-frame.qd * 0.1) * 15.451 - wide(std::atan(i / j)) + frame.qd);
    return cell;
}

sf::Color squareFill(float k, float c)
{
    const std::uint8_t blue0 = low8(truncate32(wide(2.0f * k) * std::cos(wide(k))));
    const std::uint8_t red = low8(truncate32(wide(k) * std::atan2(wide(c), wide(k)) * 5.0));
    return sf::Color(red, 75, low8(blue0 + red), 255);
}

SquareCell squareCell(float k, float c, const Frame& frame)
{
    const float Ck = std::cos(k / 5.0f + frame.S / 15.0f);
    const float sk = std::sin(k / 11.0f);
    const float Ak = narrow(wide(std::cos(k / 5.0f - frame.S / 5.0f)) * 0.5 * wide(k / 25.0f));
    const float cos2S = std::cos(frame.S + frame.S);

    SquareCell cell;
    cell.fill = squareFill(k, c);

    const float Z = std::sin((c / 15.0f) * 7.0f) * cos2S - (k / 15.0f) / 30.0f - c * 0.5f;
    const float Q = (c / 15.0f - Ak) / (k / 15.0f - Z);
    const float X = ((std::sqrt(k) * Q) * k + (k + 50.0f)) + 11.0f * k - 55.0f;
    const float Pk = (c / 25.0f - (sk * (c / 25.0f) - c / 5.0f))
                     / (k / 11.0f - ((3.0f * std::sqrt(c) + Ck) + k / 5.0f));
    const float Y = narrow(2.0 * (wide(Pk) * std::pow(wide(c), 2.0))) + 1055.0f;
    cell.position = sf::Vector2f(X, Y);
    return cell;
}

sf::Color clearColour(const Frame& frame)
{
    const std::uint8_t blue =
        low8(truncate32(wide(std::sin(frame.S * 0.5f) * 5.0f) + 47.699999999999996));
    return sf::Color(17, 39, blue, 255);
}

HeptagonTerms::HeptagonTerms()
{
    constexpr std::size_t cells = heptagonSize * heptagonSize;
    outer_.resize(cells);
    middle_.resize(cells);
    ratio_.resize(cells);
    atanBA_.resize(cells);
    atanAB_.resize(cells);
    bezierFixed_.resize(cells);
    cosCD_.resize(cells);
    diffCD_.resize(cells);
    atanRatio_.resize(cells);
    for (auto* v : {&aTenth_, &rowStart_, &bFifteenth_, &sinB10_, &bControl_, &rootJ_, &root10J_,
                    &columnStart_, &amp10_}) {
        v->resize(heptagonSize);
    }
    aSeven_.resize(heptagonSize);
    sinRow_.resize(heptagonSize);
    sinE_.resize(heptagonSize);

    root10Amp_ = wide(std::sqrt(10.0f) * 50.0f);
    for (int n = 1; n <= heptagonSize; ++n) {
        const float f = asFloat(n);
        aTenth_[line(n)] = f / 10.0f;
        aSeven_[line(n)] = wide(f) * 7.5;
        rowStart_[line(n)] = f + 750.0f;
        bFifteenth_[line(n)] = f / 15.0f;
        sinB10_[line(n)] = std::sin((f / 15.0f) * 10.0f);
        bControl_[line(n)] = narrow(wide(f) + 1.3);
        rootJ_[line(n)] = std::sqrt(f);
        root10J_[line(n)] = std::sqrt(10.0f * f);
        columnStart_[line(n)] = f + 551.0f;
    }
    for (int i = 1; i <= heptagonSize; ++i) {
        for (int j = 1; j <= heptagonSize; ++j) {
            const float fi = asFloat(i);
            const float fj = asFloat(j);
            const std::size_t c = at(i, j);
            outer_[c] = outerColour(fi, fj);
            middle_[c] = middleColour(fi, fj);
            ratio_[c] = fi / fj;
            atanBA_[c] = std::atan2(fj, fi);
            atanAB_[c] = std::atan2(fi, fj);
            const float C = fi + fj;
            const float D = fi + std::sqrt(fj);
            cosCD_[c] = std::cos(wide(C) - 0.5 * wide(D));
            diffCD_[c] = wide(C - D);
            atanRatio_[c] = wide(std::atan(fi / fj));
            bezierFixed_[c] = bezierOffset(fi, fj, fi);
        }
    }
}

void HeptagonTerms::beginFrame(const Frame& frame)
{
    const float p = frame.q;
    middle_scheme_ = middleColours(frame.c4);
    bandV_ = rowDependentV(frame.c4);
    sineForm_ = sineForm(frame.c4);
    w_ = 2.0f * narrow(wide(p) / 15.0);
    pFiftieth_ = p / 50.0f;
    cosW_ = std::cos(wide(w_ / 1.5f));
    const double pSeventyFifth = wide(p / 75.0f);
    for (int n = 1; n <= heptagonSize; ++n) {
        sinRow_[line(n)] = std::sin(aSeven_[line(n)] + pSeventyFifth);
        amp10_[line(n)] = narrow(sinRow_[line(n)] * root10Amp_);
    }
    t_ = narrow(wide(p) * 0.1 * 0.1);
    u_ = 1.0f - t_;
    const float e200 = p / 200.0f;
    for (int n = 1; n <= heptagonSize; ++n) {
        sinE_[line(n)] = wide(std::sin(e200 + root10J_[line(n)]));
    }
    radius_ = narrow(wide(std::sin(p)) * 0.1 + 15.0);
    qd_ = frame.qd;
    turn_ = std::sin(-frame.qd * 0.1) * 15.451;
}

float HeptagonTerms::wave(int i, int j) const
{
    const std::size_t c = at(i, j);
    float v = 10.0f;
    float amp = amp10_[line(i)];
    if (bandV_) {
        v = atanAB_[c] * aTenth_[line(i)] * w_ * 0.5f;
        amp = narrow(sinRow_[line(i)] * wide(std::sqrt(v) * 50.0f));
    }
    if (sineForm_) {
        const float s = bandV_ ? std::sin(bFifteenth_[line(j)] * v) : sinB10_[line(j)];
        return narrow(wide(s * amp) * cosW_);
    }
    return std::cos(ratio_[c] + pFiftieth_) * (atanBA_[c] * amp);
}

float HeptagonTerms::bezierByPhase(int i, int j) const
{
    const std::size_t c = at(i, j);
    const float t = t_;
    const float u = u_;
    const float A = asFloat(i);
    const float B = bControl_[line(j)];
    const float C = A + asFloat(j);
    const float D = A + rootJ_[line(j)];
    const float E = u * A + B * t;
    const float F = u * B + C * t;
    const float G = u * C + D * t;
    const float H = u * E + F * t;
    const float K = u * F + G * t;
    return narrow(cosCD_[c]
                  + (0.75 * wide(K) + wide(A) + diffCD_[c] + wide(atanAB_[c])
                     - (0.5 * wide(H) + 1.3 * wide(K)) + sinE_[line(j)] - 1.5 * wide(E)));
}

HeptagonCell HeptagonTerms::cell(int i, int j) const
{
    const std::size_t c = at(i, j);
    HeptagonCell cell;
    cell.fill = middle_scheme_ ? middle_[c] : outer_[c];
    const float W = wave(i, j);
    cell.position = sf::Vector2f(W + (rowStart_[line(i)] - bezierByPhase(i, j)),
                                 W + (columnStart_[line(j)] - bezierFixed_[c]));
    cell.radius = radius_;
    cell.rotation = narrow(turn_ - atanRatio_[c] + qd_);
    return cell;
}

SquareTerms::SquareTerms()
{
    fill_.resize(squareSize * squareSize);
    for (auto* v : {&c15_, &sinC7_, &cHalf_, &c25_, &c5_, &root3C_, &rootK_, &k15_, &k15by30_,
                    &kPlus50_, &k11times_, &k11_, &k5_, &sk_, &Ak_, &Ck_}) {
        v->resize(squareSize);
    }
    cSquared_.resize(squareSize);
    for (int n = 1; n <= squareSize; ++n) {
        const float f = asFloat(n);
        const std::size_t x = line(n);
        c15_[x] = f / 15.0f;
        sinC7_[x] = std::sin((f / 15.0f) * 7.0f);
        cHalf_[x] = f * 0.5f;
        c25_[x] = f / 25.0f;
        c5_[x] = f / 5.0f;
        root3C_[x] = 3.0f * std::sqrt(f);
        cSquared_[x] = std::pow(wide(f), 2.0);
        rootK_[x] = std::sqrt(f);
        k15_[x] = f / 15.0f;
        k15by30_[x] = (f / 15.0f) / 30.0f;
        kPlus50_[x] = f + 50.0f;
        k11times_[x] = 11.0f * f;
        k11_[x] = f / 11.0f;
        k5_[x] = f / 5.0f;
        sk_[x] = std::sin(f / 11.0f);
    }
    for (int k = 1; k <= squareSize; ++k) {
        for (int c = 1; c <= squareSize; ++c) {
            fill_[at(k, c)] = squareFill(asFloat(k), asFloat(c));
        }
    }
}

void SquareTerms::beginFrame(const Frame& frame)
{
    const float S = frame.S;
    cos2S_ = std::cos(S + S);
    const float S15 = S / 15.0f;
    const float S5 = S / 5.0f;
    for (int n = 1; n <= squareSize; ++n) {
        const float f = asFloat(n);
        Ck_[line(n)] = std::cos(f / 5.0f + S15);
        Ak_[line(n)] = narrow(wide(std::cos(f / 5.0f - S5)) * 0.5 * wide(f / 25.0f));
    }
}

SquareCell SquareTerms::cell(int k, int c) const
{
    const std::size_t r = line(k);
    const std::size_t x = line(c);
    const float fk = asFloat(k);
    const float Z = sinC7_[x] * cos2S_ - k15by30_[r] - cHalf_[x];
    const float Q = (c15_[x] - Ak_[r]) / (k15_[r] - Z);
    const float X = ((rootK_[r] * Q) * fk + kPlus50_[r]) + k11times_[r] - 55.0f;
    const float Pk = (c25_[x] - (sk_[r] * c25_[x] - c5_[x])) / (k11_[r] - ((root3C_[x] + Ck_[r]) + k5_[r]));
    const float Y = narrow(2.0 * (wide(Pk) * cSquared_[x])) + 1055.0f;
    return {fill_[at(k, c)], {X, Y}};
}

} // namespace tolva::swirl
