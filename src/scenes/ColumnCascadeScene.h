#pragma once

#include "scenes/ColumnCascadeFormulas.h"
#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;
class ShowClock;

// Scene 2: circle columns and square cascade.
class ColumnCascadeScene final : public SceneUnit {
public:
    explicit ColumnCascadeScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    void updateColumns(float columnTime);
    void updateCascade(ShowClock& cascadeClock, float countdown2);

    ShowObjects& show_;
    ColumnCascadeTerms terms_;
    // Per-row terms of the columns that change with columnTime, worked out once a frame.
    std::vector<float> rowSin_, rowCos_;
    std::vector<double> rowShift_;
};

} // namespace tolva
