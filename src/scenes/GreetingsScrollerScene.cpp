#include "scenes/GreetingsScrollerScene.h"

#include "scenes/Formula.h"

#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Text.hpp>

namespace tolva {

using namespace greetings;

namespace {

void apply(Circle& circle, const CircleCell& cell)
{
    circle.setFillColor(cell.fill);
    circle.setRadius(circleRadius);
    circle.setPointCount(circlePoints);
    circle.setPosition(cell.position);
    circle.rotate(cell.turn);  // the turns add up from frame to frame
}

} // namespace

void GreetingsScrollerScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    const float midFrameDelta = state.frameClock.restart().asSeconds();
    state.warpTime = state.warpTime + state.warpClock.getElapsedTime().asSeconds() * midFrameDelta;
    // Read once, before the first frame restarts the clock: this frame keeps using it.
    const float t = own_.scrollerClock.getElapsedTime().asSeconds();
    own_.scrollPhase = advancePhase(own_.scrollPhase, t, midFrameDelta);
    const float P = own_.scrollPhase;
    if (state.scene3Pending) {
        own_.scrollerClock.restart();
        deck.stop(SoundId::voiceFour);
        state.scene3Pending = false;
    }

    field_.beginFrame(P, 25.0f * midFrameDelta);
    forCells(fieldSize, [&](int i, int j) { apply(own_.scrollerGrid.cell(i, j), field_.cell(i, j)); });

    // The line as the previous frame left it: its size, its width and where its end stood.
    sf::Text& line = own_.greetingsText;
    const float W = line.getLocalBounds().width;
    const unsigned CS = line.getCharacterSize();
    const sf::Vector2f end = line.findCharacterPos(line.getString().getSize());
    canvas.measure({{"W", wide(W)}, {"CS", CS}, {"ex", wide(end.x)}, {"ey", wide(end.y)}});
    line.setPosition(linePosition(t, end.x, P));

    for (int k = 0; k < welcomeLetterCount; ++k) {
        const LetterCell cell = letterCell(k, W, CS, end.y, t, P);
        sf::Text& text = own_.welcomeLetters[static_cast<std::size_t>(k)];
        text.setOutlineThickness(letterOutline);
        text.setPosition(cell.position);
        text.setFillColor(cell.fill);
    }

    canvas.clear(clearColour(P));
    drawCells(canvas, own_.scrollerGrid, fieldSize, "scrollerGrid");
    for (int k = 0; k < welcomeLetterCount; ++k) {
        canvas.draw(own_.welcomeLetters[static_cast<std::size_t>(k)], {"welcomeLetters", k});
    }

    line.setCharacterSize(lineCharacterSize(t));
    const sf::Glsl::Vec2 amplitude = waveAmplitude(state.countdown[3], P);
    canvas.setUniform(shader_, "wave_phase", wavePhase(t));
    canvas.setUniform(shader_, "wave_amplitude", amplitude);
    canvas.setUniform(shader_, "uTime", t);
    line.setFillColor(lineColour(amplitude.y));
    line.setOutlineThickness(lineOutline);
    canvas.draw(line, {"greetingsText"}, &shader_);
    canvas.display();
}

} // namespace tolva
