#include "scenes/ColumnCascadeScene.h"

#include "show/ShowObjects.h"

#include <cmath>
#include <cstring>

namespace tolva {

namespace {

std::size_t at(int n) { return static_cast<std::size_t>(n); }

bool sameBits(float x, float y) { return std::memcmp(&x, &y, sizeof x) == 0; }

// A square that stays where it was keeps SFML's cached transform.
void place(Rect& square, sf::Vector2f position)
{
    const sf::Vector2f now = square.getPosition();
    if (!sameBits(now.x, position.x) || !sameBits(now.y, position.y)) {
        square.setPosition(position);
    }
}

} // namespace

void ColumnCascadeScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    // Made anew each frame: its first reading covers everything since the frame step began.
    ShowClock cascadeClock(*state.time);
    if (state.scene2Pending) {
        deck.stop(SoundId::voiceThree);
        deck.play(SoundId::klezSound);
        state.scene2Pending = false;
        state.sceneTime = 0.0f;
    }
    show_.columnTime = show_.columnTime + 10.0f * state.frameSeconds();
    state.frameClock.restart();

    updateColumns(show_.columnTime);
    updateCascade(cascadeClock, state.countdown[2]);

    canvas.clear(show_.clearBrown);
    for (int i = 1; i <= columnCells; ++i) {
        for (int j = 1; j <= columnCells; ++j) {
            canvas.draw(show_.circleGrid.at(at(i), at(j)), {"circleGrid", i, j});
        }
    }
    // Element [1] of each square cell keeps size 0 and shows nothing, so it is not drawn.
    for (int a = 1; a <= cascadeCells; ++a) {
        for (int b = 1; b <= cascadeCells; ++b) {
            canvas.draw(show_.squareGrid.at(at(a), at(b)), {"squareGrid", a, b});
        }
    }
    const float sceneTime = state.sceneTime;
    if (sceneTime > 7.0f) {
        canvas.draw(show_.personOneSprite, {"personOneSprite"});
    }
    if (sceneTime > 12.0f && sceneTime < 19.0f) {
        canvas.draw(show_.wanderText, {"wanderText"});
    }
    if (sceneTime > 26.0f && sceneTime < 33.0f) {
        // The line keeps its new words and size after the scene.
        show_.wanderText.setScale(1.5f, 1.5f);
        show_.wanderText.setString("Looks like Listenbourg.");
        canvas.draw(show_.wanderText, {"wanderText"});
    }
    canvas.display();
}

void ColumnCascadeScene::updateColumns(float columnTime)
{
    const tolva::ColumnCascadeTerms& t = terms_;
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
            Circle& circle = show_.circleGrid.at(at(i), at(j));
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

// Every square reads and restarts the clock before its own update, so cascadeTime grows cell by
// cell with the time the update takes. The clock counts whole microseconds, so cascadeTime often
// stays put from one square to the next: the terms that depend on it (and on the row a) alone are
// kept until it moves.
void ColumnCascadeScene::updateCascade(ShowClock& cascadeClock, float countdown2)
{
    const tolva::ColumnCascadeTerms& t = terms_;
    float& cascadeTime = show_.cascadeTime;
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
            Rect& square = show_.squareGrid.at(at(a), at(b));
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

} // namespace tolva
