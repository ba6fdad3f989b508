#pragma once

#include "scenes/ColumnCascadeFormulas.h"
#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 2: circle columns and square cascade.
class ColumnCascadeScene final : public SceneUnit {
public:
    explicit ColumnCascadeScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
    ColumnCascadeTerms terms_;
};

} // namespace tolva
