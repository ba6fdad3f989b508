#pragma once

#include "worktime/WorkClock.h"
#include "render/Canvas.h"

namespace tolva {

// The canvas the captured show draws on: it charges every operation to the work clock, then
// hands it to the canvas that renders, or to none for an iteration that is not kept. Either way
// the show's state and clocks come out the same, so a capture may start anywhere in the show.
class WorkCanvas final : public Canvas {
public:
    explicit WorkCanvas(WorkClock& clock) : clock_(clock) {}

    // Where the operations go from now on; null renders nothing.
    void renderTo(Canvas* target) { target_ = target; }

    void clear(sf::Color color) override;
    void draw(const Circle& circle, CellRef cell) override;
    void draw(const Rect& rect, CellRef cell) override;
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override;
    void draw(const sf::Sprite& sprite, ObjectRef ref) override;
    void setUniform(sf::Shader& shader, const char* name, float value) override;
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override;
    void display() override;
    bool isOpen() const override { return open_; }
    void close() override;
    // Open again, for a show taken back to before its end.
    void reopen() { open_ = true; }
    void measure(std::initializer_list<std::pair<const char*, double>> values) override;

    unsigned long presents() const { return presents_; }

private:
    WorkClock& clock_;
    Canvas* target_ = nullptr;
    bool open_ = true;
    unsigned long presents_ = 0;
};

} // namespace tolva
