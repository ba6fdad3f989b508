#pragma once

#include "scenes/ColumnCascadeFormulas.h"
#include "scenes/Scene.h"
#include "scenes/SharedState.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

namespace tolva {

// What scene 2 changes from frame to frame (its columns are circleGrid, its background
// clearBrown, both shared).
struct ColumnCascadeState {
    float columnTime = 0.0f;
    SquareGrid squareGrid{cascade::cascadeCells + 1, cascade::cascadeCells + 1};
    float cascadeTime = 0.0f;
    sf::Sprite personOneSprite;
    sf::Text wanderText;  // keeps its new words and size after the scene

    void name(NamedValues& values)
    {
        values.floats["columnTime"] = &columnTime;
        values.floats["cascadeTime"] = &cascadeTime;
    }
};

// Scene 2: circle columns and square cascade.
class ColumnCascadeScene final : public SceneUnit {
public:
    ColumnCascadeScene(ColumnCascadeState& state, SharedState& shared) : own_(state), shared_(shared) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ColumnCascadeState& own_;
    SharedState& shared_;
    cascade::ColumnTerms columns_;
    cascade::CascadeTerms cascade_;
};

} // namespace tolva
