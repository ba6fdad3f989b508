#include "scenes/GreetingsScrollerFormulas.h"

#include "scenes/Formula.h"

#include <cmath>

namespace tolva::greetings {

float advancePhase(float phase, float t, float midFrameDelta)
{
    return narrow(wide(t * midFrameDelta) + 0.1 + wide(phase));
}

CircleCell circleCell(float i, float j, float P, float spin)
{
    CircleCell cell;

    const int red = (static_cast<int>(j) % 50)
                    + wrapChannel(std::atan(j / 10.0f)) * wrapChannel(std::sin(i * 0.5f * P));
    const std::uint8_t green = wrapChannel(std::atan2(i, -j) * 15.0f);
    const std::uint8_t blue = wrapChannel(
        asFloat((131 % static_cast<int>(i)) * truncate32(wide(std::sqrt(j / 10.0f))))
        * std::atan2(i, j));
    const std::uint8_t alpha =
        low8(15 * wrapChannel(std::sqrt(i)) + 10 * wrapChannel(std::sin(i)))
        ^ low8(wrapChannel(std::cos(i)) * wrapChannel(std::sqrt((j + j) * P)));
    cell.fill = sf::Color(low8(red) ^ 0xD2, green, blue, alpha);

    const float E = narrow(wide(std::cos((P / 10.0f) * twoPointOne))
                           + std::pow((960.0 - (wide(i) * 10.0) * 0.5) / wide(j)
                                          + wide(std::cos(P / 10.0f + j)),
                                      2.0));
    const float x = (j / 20.0f + 50.0f)
                    + (3.0f * std::sqrt(j * 0.5f) * std::cos((P * twoPointOne) / 10.0f)
                       + std::sin(twoPointOne) * E);
    const float A = narrow(wide(std::cos(P * twoPointOne * 0.5f)) * wide(std::sqrt(i))
                           + std::pow(wide(j), 2.0) + 5.0);
    const float B = narrow(0.75 * wide(A) + wide(std::cos(540.0f))
                           + wide(20.0f * std::sin((i / twoPointOne) * P / 100.0f)));
    const float C = narrow(wide(B) - std::pow(wide(P / 10.0f - std::sqrt(i)), 2.0));
    const float y = (std::sin((P / 10.0f) * twoPointOne) + C) + 50.0f;
    cell.position = sf::Vector2f(x, y);

    cell.turn = narrow(std::sin(0.5 * wide(i)) * (0.5 * wide(std::atan(j))) * 0.5 + wide(spin));
    return cell;
}

CircleTerms::CircleTerms()
    : green_(fieldSize * fieldSize), blue_(fieldSize * fieldSize), eBase_(fieldSize * fieldSize),
      turnBase_(fieldSize * fieldSize), redBase_(fieldSize), atanByte_(fieldSize),
      alphaLeft_(fieldSize), cosByte_(fieldSize), xBase_(fieldSize), swayScale_(fieldSize),
      rootI_(fieldSize), iOverTwoPointOne_(fieldSize), jSquared_(fieldSize),
      sinTwoPointOne_(std::sin(twoPointOne)), cos540_(wide(std::cos(540.0f))),
      cosColumn_(fieldSize), rootByte_(fieldSize), sinByte_(fieldSize), aRow_(fieldSize),
      bRow_(fieldSize), cRow_(fieldSize)
{
    for (int n = 1; n <= fieldSize; ++n) {
        const float f = asFloat(n);
        // Columns.
        redBase_[line(n)] = static_cast<int>(f) % 50;
        atanByte_[line(n)] = wrapChannel(std::atan(f / 10.0f));
        xBase_[line(n)] = f / 20.0f + 50.0f;
        swayScale_[line(n)] = 3.0f * std::sqrt(f * 0.5f);
        jSquared_[line(n)] = std::pow(wide(f), 2.0);
        // Rows.
        alphaLeft_[line(n)] = low8(15 * wrapChannel(std::sqrt(f)) + 10 * wrapChannel(std::sin(f)));
        cosByte_[line(n)] = wrapChannel(std::cos(f));
        rootI_[line(n)] = std::sqrt(f);
        iOverTwoPointOne_[line(n)] = f / twoPointOne;
    }
    for (int i = 1; i <= fieldSize; ++i) {
        for (int j = 1; j <= fieldSize; ++j) {
            const float fi = asFloat(i);
            const float fj = asFloat(j);
            green_[at(i, j)] = wrapChannel(std::atan2(fi, -fj) * 15.0f);
            blue_[at(i, j)] = wrapChannel(
                asFloat((131 % static_cast<int>(fi)) * truncate32(wide(std::sqrt(fj / 10.0f))))
                * std::atan2(fi, fj));
            eBase_[at(i, j)] = (960.0 - (wide(fi) * 10.0) * 0.5) / wide(fj);
            turnBase_[at(i, j)] = std::sin(0.5 * wide(fi)) * (0.5 * wide(std::atan(fj))) * 0.5;
        }
    }
}

void CircleTerms::beginFrame(float P, float spin)
{
    const float tenth = P / 10.0f;
    cosE_ = wide(std::cos(tenth * twoPointOne));
    cosX_ = std::cos((P * twoPointOne) / 10.0f);
    cosA_ = wide(std::cos(P * twoPointOne * 0.5f));
    sinY_ = std::sin(tenth * twoPointOne);
    spin_ = wide(spin);
    for (int n = 1; n <= fieldSize; ++n) {
        const float f = asFloat(n);
        // Columns.
        cosColumn_[line(n)] = wide(std::cos(tenth + f));
        rootByte_[line(n)] = wrapChannel(std::sqrt((f + f) * P));
        // Rows.
        sinByte_[line(n)] = wrapChannel(std::sin(f * 0.5f * P));
        aRow_[line(n)] = cosA_ * wide(rootI_[line(n)]);
        bRow_[line(n)] = wide(20.0f * std::sin(iOverTwoPointOne_[line(n)] * P / 100.0f));
        cRow_[line(n)] = std::pow(wide(tenth - rootI_[line(n)]), 2.0);
    }
}

CircleCell CircleTerms::cell(int i, int j) const
{
    const std::size_t c = at(i, j);
    const std::size_t r = line(i);
    const std::size_t k = line(j);
    CircleCell cell;
    const int red = redBase_[k] + atanByte_[k] * sinByte_[r];
    cell.fill = sf::Color(low8(red) ^ 0xD2, green_[c], blue_[c],
                          alphaLeft_[r] ^ low8(cosByte_[r] * rootByte_[k]));
    const float E = narrow(cosE_ + std::pow(eBase_[c] + cosColumn_[k], 2.0));
    const float x = xBase_[k] + (swayScale_[k] * cosX_ + sinTwoPointOne_ * E);
    const float A = narrow(aRow_[r] + jSquared_[k] + 5.0);
    const float B = narrow(0.75 * wide(A) + cos540_ + bRow_[r]);
    const float C = narrow(wide(B) - cRow_[r]);
    cell.position = sf::Vector2f(x, (sinY_ + C) + 50.0f);
    cell.turn = narrow(turnBase_[c] + spin_);
    return cell;
}

sf::Vector2f linePosition(float t, float ex, float P)
{
    const float x = narrow(1793.0 - 165.0 * wide(t));
    const float y = narrow((575.0 - 20.0 * wide(std::atan(ex)))
                           - wide(20.0f * std::sin(onePointOhFive * P)));
    return {x, y};
}

std::uint8_t letterBlue(float W, unsigned CS)
{
    return low8(truncate32(wide(5.0f * std::atan(W)) + 5.0 * static_cast<double>(CS)));
}

LetterCell letterCell(int k, float W, unsigned CS, float ey, float t, float P)
{
    const double dk = static_cast<double>(k);
    const std::uint8_t red = wrapChannel(asFloat(15 * k) * (5.0f * std::sin(W))
                                         + 10.0f * std::cos(static_cast<float>(CS)));
    // floor(k / 10) is 0 for all seven letters: the green is decided by the sign of ey alone.
    const std::uint8_t green =
        low8(truncate32(std::atan2(wide(ey), static_cast<double>(k / 10)) * 10.0 + 50.0 + 15.0 * dk));
    const float x = narrow(1725.0 - 61.0 * wide(t)
                           + 75.0 * dk * std::cos(std::sqrt(dk) + 25.0 - 0.13 * wide(P)));
    const float s = narrow(std::sqrt(dk) * std::sin(dk));
    const float y = narrow((std::sin(std::sqrt(7.3 * dk) - wide(P)) + 1.03 * wide(s))
                               * (5.0 * std::sin(5.0 * dk + wide(P)) * std::sqrt(dk + 1.0))
                           + 155.0 - 0.03 * wide(P));
    return {sf::Color(red, green, letterBlue(W, CS), 255), {x, y}};
}

sf::Color clearColour(float P) { return sf::Color(15, 15, wrapChannel(P / 10.0f + 15.0f), 255); }

unsigned lineCharacterSize(float t)
{
    return static_cast<unsigned>(truncate32(wide(std::atan(t) + 119.0f)));
}

float wavePhase(float t)
{
    return narrow(wide(std::cos(t)) + wide(std::sin(onePointOhFive * t)));
}

sf::Glsl::Vec2 waveAmplitude(float countdown3, float P)
{
    return {std::abs(std::sin(countdown3 * twoPointOne)) + 25.0f,
            narrow(std::atan2(wide(P), 255.0) + 55.0)};
}

sf::Color lineColour(float amplitudeY)
{
    return sf::Color(0, wrapChannel(std::sin(amplitudeY) * 5.0f + 155.0f), 0, 255);
}

} // namespace tolva::greetings
