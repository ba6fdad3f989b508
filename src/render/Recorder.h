#pragma once

#include "render/Canvas.h"
#include "sound/SoundDeck.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <string>
#include <variant>
#include <vector>

namespace tolva {

// One operation of a scene step, with every property it drew with.
struct ClearOp { sf::Color color; };
struct CircleOp {
    CellRef cell;
    sf::Color fill;
    sf::Vector2f position;
    float radius;
    std::size_t points;
    float rotation;
};
struct RectOp {
    CellRef cell;
    sf::Color fill;
    sf::Vector2f position;
    sf::Vector2f size;
    float rotation;
};
struct TextOp {
    ObjectRef ref;
    std::string string;
    unsigned size;
    sf::Color fill;
    sf::Color outlineColor;
    float outline;
    sf::Vector2f position;
    float rotation;
    sf::Vector2f scale;
    bool shader;
};
struct SpriteOp {
    ObjectRef ref;
    sf::Vector2f position;
    float rotation;
    sf::Vector2f scale;
};
struct UniformOp {
    std::string name;
    std::vector<float> value;
};
struct SoundOp {
    SoundId id;
    bool play;
};
struct MeasureOp { std::vector<std::pair<std::string, double>> values; };
struct DisplayOp {};
using RecordedOp = std::variant<ClearOp, CircleOp, RectOp, TextOp, SpriteOp, UniformOp, SoundOp,
                                MeasureOp, DisplayOp>;

std::string toJson(const RecordedOp& op);

// Canvas and sound deck in one, keeping every operation in the order the step made it. With
// shapes off it keeps only clears, texts, sprites, sounds and presents: enough to follow a whole
// timeline without holding millions of shapes.
class Recorder final : public Canvas, public SoundDeck {
public:
    explicit Recorder(bool keepShapes = true) : keepShapes_(keepShapes) {}

    void clear(sf::Color color) override;
    void draw(const Circle& circle, CellRef cell) override;
    void draw(const Rect& rect, CellRef cell) override;
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override;
    void draw(const sf::Sprite& sprite, ObjectRef ref) override;
    void setUniform(sf::Shader& shader, const char* name, float value) override;
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override;
    void display() override;
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    void measure(std::initializer_list<std::pair<const char*, double>> values) override;

    void loadSamples(SoundId, const std::vector<sf::Int16>&, unsigned) override {}
    void loadFile(SoundId, const std::string&) override {}
    void createSound(SoundId, bool, float) override {}
    void play(SoundId id) override { ops_.push_back(SoundOp{id, true}); }
    void stop(SoundId id) override { ops_.push_back(SoundOp{id, false}); }

    const std::vector<RecordedOp>& ops() const { return ops_; }
    void forget() { ops_.clear(); }
    unsigned framesPresented() const { return frames_; }

    // The ops of one kind, for tests.
    template <class Op>
    std::vector<Op> only() const
    {
        std::vector<Op> out;
        for (const auto& op : ops_) {
            if (const auto* hit = std::get_if<Op>(&op)) {
                out.push_back(*hit);
            }
        }
        return out;
    }

private:
    bool keepShapes_;
    bool open_ = true;
    unsigned frames_ = 0;
    std::vector<RecordedOp> ops_;
};

} // namespace tolva
