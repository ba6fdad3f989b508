#pragma once

// Scene 3, the greetings scroller, as pure functions of the indices and the frame's values.
// Every float/double switch is deliberate: the field's colours and drift come from it.

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Glsl.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolva::greetings {

// The field is 74 by 74 circles, rows and columns 1 to 74.
constexpr int fieldSize = 74;

// The scroller's 2.1 and 1.05 are single-precision values wherever they appear.
constexpr float twoPointOne = 2.1f;
constexpr float onePointOhFive = 1.05f;

// Every circle of the field is a decagon of radius 15.
constexpr float circleRadius = 15.0f;
constexpr std::size_t circlePoints = 10;

// The welcome letters, W-e-l-c-o-m-e, and the outlines of the letters and of the line.
constexpr int welcomeLetterCount = 7;
constexpr float letterOutline = 2.1f;
constexpr float lineOutline = 2.75f;

// One circle of the field in one frame: its fill, its place and how far it turns this frame.
struct CircleCell {
    sf::Color fill;
    sf::Vector2f position;
    float turn;  // degrees, added to the rotation it already has
};

// The phase after this frame's advance: t x midFrameDelta in float, the two additions in double.
float advancePhase(float phase, float t, float midFrameDelta);

// The circle at row i, column j (1 to 74), for phase P and spin = 25 x midFrameDelta. The plain
// formula: the field cache below must give these bits.
CircleCell circleCell(float i, float j, float P, float spin);

// The fast path: the same circles with every term that depends on one index, or on none, worked
// out once per frame or once for good. Tests hold it to circleCell on every cell.
class CircleTerms {
public:
    CircleTerms();
    void beginFrame(float P, float spin);
    CircleCell cell(int i, int j) const;

private:
    static std::size_t at(int i, int j) { return static_cast<std::size_t>((i - 1) * fieldSize + (j - 1)); }
    static std::size_t line(int n) { return static_cast<std::size_t>(n - 1); }

    // For good.
    std::vector<std::uint8_t> green_, blue_;
    std::vector<double> eBase_, turnBase_;
    std::vector<int> redBase_;
    std::vector<std::uint8_t> atanByte_, alphaLeft_, cosByte_;
    std::vector<float> xBase_, swayScale_, rootI_, iOverTwoPointOne_;
    std::vector<double> jSquared_;
    float sinTwoPointOne_;
    double cos540_;
    // Per frame.
    double cosE_ = 0, cosA_ = 0, spin_ = 0;
    float cosX_ = 0, sinY_ = 0;
    std::vector<double> cosColumn_;
    std::vector<std::uint8_t> rootByte_, sinByte_;
    std::vector<double> aRow_, bRow_, cRow_;
};

// The greetings line's place, from the scroller time, the end of the line as it stood and P.
sf::Vector2f linePosition(float t, float ex, float P);

// The letters' common blue, from the line's width and character size as they stood.
std::uint8_t letterBlue(float W, unsigned CS);

struct LetterCell {
    sf::Color fill;
    sf::Vector2f position;
};

// Welcome letter k (0 to welcomeLetterCount - 1).
LetterCell letterCell(int k, float W, unsigned CS, float ey, float t, float P);

sf::Color clearColour(float P);
unsigned lineCharacterSize(float t);
float wavePhase(float t);
sf::Glsl::Vec2 waveAmplitude(float countdown3, float P);
sf::Color lineColour(float amplitudeY);

} // namespace tolva::greetings
