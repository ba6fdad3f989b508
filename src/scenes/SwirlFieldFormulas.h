#pragma once

// Scene 4, the swirl field, as pure functions of the indices and the frame's values, and the same
// functions with their frame-invariant and single-index terms worked out ahead of the cells.

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>
#include <vector>

namespace tolva::swirl {

constexpr int heptagonSize = 110;  // rows and columns 1 to 110
constexpr int squareSize = 124;    // rows and columns 1 to 124

constexpr float squareSide = 25.0f;

// The values every cell of one frame reads.
struct Frame {
    float q;    // swirlPhase after this frame's advance
    double qd;  // q widened
    float S;    // float(q_d x 0.3)
    float c4;   // countdown4 after this frame's decrease
};

Frame frameOf(float swirlPhase, float countdown4);

// swirlPhase grows by 15 per second of frameDelta, in double.
float advancePhase(float phase, float frameSeconds);

// The heptagons' second colour scheme holds from c4 = 23.5 down to 21.5, both ends included.
bool middleColours(float c4);

// The heptagons' positions. a, b (and i, j): row and column; p and e: phases; d: the countdown.
float waveOffset(float a, float b, float p, float d);
float bezierOffset(float i, float j, float e);

struct HeptagonCell {
    sf::Color fill;
    sf::Vector2f position;
    float radius;
    float rotation;  // degrees, as given to setRotation
};

struct SquareCell {
    sf::Color fill;
    sf::Vector2f position;
};

// A square's colour, which depends on its indices alone.
sf::Color squareFill(float k, float c);

// The plain formulas, cell by cell.
HeptagonCell heptagonCell(float i, float j, const Frame& frame);
SquareCell squareCell(float k, float c, const Frame& frame);

sf::Color clearColour(const Frame& frame);

// The heptagons with their invariant terms held: colours of both schemes, the angles, the Bezier
// offset whose phase is the row itself, and everything that hangs on one index or on the frame.
class HeptagonTerms {
public:
    HeptagonTerms();
    void beginFrame(const Frame& frame);
    HeptagonCell cell(int i, int j) const;

    // The parts of cell, for the tests.
    float wave(int i, int j) const;
    float bezierByPhase(int i, int j) const;  // bezierOffset(i, j, q)
    float bezierByRow(int i, int j) const { return bezierFixed_[at(i, j)]; }  // bezierOffset(i, j, i)

private:
    static std::size_t at(int i, int j)
    {
        return static_cast<std::size_t>((i - 1) * heptagonSize + (j - 1));
    }
    static std::size_t line(int n) { return static_cast<std::size_t>(n - 1); }

    // For good, per cell.
    std::vector<sf::Color> outer_, middle_;
    std::vector<float> ratio_, atanBA_, atanAB_, bezierFixed_;
    std::vector<double> cosCD_, diffCD_, atanRatio_;
    // For good, per row and per column.
    std::vector<float> aTenth_, rowStart_, bFifteenth_, sinB10_, bControl_, rootJ_, root10J_,
        columnStart_;
    std::vector<double> aSeven_;
    double root10Amp_;
    // Per frame.
    bool middle_scheme_ = false, bandV_ = false, sineForm_ = false;
    float w_ = 0, pFiftieth_ = 0, t_ = 0, u_ = 0, radius_ = 0;
    double cosW_ = 0, qd_ = 0, turn_ = 0;
    std::vector<double> sinRow_, sinE_;
    std::vector<float> amp10_;
};

// The squares with their invariant terms held: the colours, and every term of one index.
class SquareTerms {
public:
    SquareTerms();
    void beginFrame(const Frame& frame);
    SquareCell cell(int k, int c) const;

private:
    static std::size_t at(int k, int c)
    {
        return static_cast<std::size_t>((k - 1) * squareSize + (c - 1));
    }
    static std::size_t line(int n) { return static_cast<std::size_t>(n - 1); }

    std::vector<sf::Color> fill_;
    // Columns.
    std::vector<float> c15_, sinC7_, cHalf_, c25_, c5_, root3C_;
    std::vector<double> cSquared_;
    // Rows.
    std::vector<float> rootK_, k15_, k15by30_, kPlus50_, k11times_, k11_, k5_, sk_;
    // Per frame.
    float cos2S_ = 0;
    std::vector<float> Ak_, Ck_;
};

} // namespace tolva::swirl
