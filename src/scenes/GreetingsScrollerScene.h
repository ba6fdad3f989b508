#pragma once

#include "scenes/GreetingsScrollerFormulas.h"
#include "scenes/Scene.h"
#include "render/Shapes.h"

#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Text.hpp>

#include <vector>

namespace tolva {

// What scene 3 changes from frame to frame.
struct GreetingsScrollerState {
    explicit GreetingsScrollerState(TimeSource& time) : scrollerClock(time) {}

    CircleGrid scrollerGrid{greetings::fieldSize + 1, greetings::fieldSize + 1};
    sf::Text greetingsText;
    std::vector<sf::Text> welcomeLetters;
    float scrollPhase = 0.0f;
    ShowClock scrollerClock;  // the frame loop restarts it too, until scene 2 has ended

    void name(NamedValues& values)
    {
        values.floats["scrollPhase"] = &scrollPhase;
        values.clocks["scrollerElapsed"] = &scrollerClock;
    }
};

// Scene 3: a drifting field of ten-sided circles, the word Welcome in seven wandering letters, and
// the greetings line scrolling through the shader pair.
class GreetingsScrollerScene final : public SceneUnit {
public:
    GreetingsScrollerScene(GreetingsScrollerState& state, sf::Shader& shader) : own_(state), shader_(shader) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    GreetingsScrollerState& own_;
    sf::Shader& shader_;
    greetings::CircleTerms field_;
};

} // namespace tolva
