#pragma once

// Scene steps checked two ways: rows of settings (by the names the show gives its values, as the
// scene moments take them) with what each step must draw, sound and leave; and a frame's cells
// against the plain formulas, bit for bit.

#include "support/Bits.h"
#include "support/SceneMoments.h"
#include "support/ShowTest.h"

#include <optional>
#include <sstream>
#include <type_traits>

namespace tolva::testing {

// Equal as the show sees it: the same bits, or both not a number (which shows nothing).
inline bool same(float a, float b) { return bitsOf(a) == bitsOf(b) || (std::isnan(a) && std::isnan(b)); }

// The angle a shape reports once it has been given this one (SFML keeps angles in [0, 360)).
inline float reported(float angle)
{
    sf::Transformable shape;
    shape.setRotation(angle);
    return shape.getRotation();
}

// A cell as the picture takes it; what the expected look leaves out is not compared.
struct Look {
    sf::Color fill;
    sf::Vector2f position;
    std::optional<float> rotation{}, radius{};
    std::size_t points = 0;
};

inline bool sameLook(const Look& got, const Look& want)
{
    const auto both = [](std::optional<float> g, std::optional<float> w) { return !w || (g && same(*g, *w)); };
    return got.fill == want.fill && same(got.position.x, want.position.x) && same(got.position.y, want.position.y)
           && both(got.rotation, want.rotation) && both(got.radius, want.radius)
           && (want.points == 0 || got.points == want.points);
}

// Cells [1..side][1..side] in drawing order; `want` is called once per cell in that order.
template <class Got, class Want>
void everyCell(int side, Got got, Want want, const std::string& where)
{
    for (int i = 1; i <= side; ++i) {
        for (int j = 1; j <= side; ++j) {
            ASSERT_TRUE(sameLook(got(i, j), want(static_cast<float>(i), static_cast<float>(j))))
                << where << ", cell " << i << "," << j;
        }
    }
}

// The last step's cells of one grid, drawn in row order, against `want`.
template <class Want>
void expectDrawn(const Recorder& recorder, const char* grid, int side, Want want, const std::string& where = "")
{
    std::vector<Look> drawn;
    for (const RecordedOp& op : recorder.ops()) {
        const auto* c = std::get_if<CircleOp>(&op);
        const auto* r = std::get_if<RectOp>(&op);
        const CellRef* cell = c != nullptr ? &c->cell : r != nullptr ? &r->cell : nullptr;
        if (cell != nullptr && std::string(cell->grid) == grid) {
            const int n = static_cast<int>(drawn.size());
            ASSERT_EQ(std::make_pair(cell->i, cell->j), std::make_pair(1 + n / side, 1 + n % side));
            drawn.push_back(c != nullptr ? Look{c->fill, c->position, c->rotation, c->radius, c->points}
                                         : Look{r->fill, r->position, r->rotation, {}, 0});
        }
    }
    ASSERT_EQ(drawn.size(), static_cast<std::size_t>(side * side)) << grid;
    everyCell(side, [&](int i, int j) { return drawn[static_cast<std::size_t>((i - 1) * side + j - 1)]; }, want,
              grid + where);
}

// What a step drew and sounded, in order: a run of draws of one object or grid as name*count,
// sounds as +name (play) and -name (stop), then "closed" if the step closed the window.
inline std::string summary(const Recorder& recorder)
{
    std::vector<std::pair<std::string, int>> runs;
    for (const RecordedOp& op : recorder.ops()) {
        const std::string token = std::visit([](const auto& o) -> std::string {
            using Op = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<Op, CircleOp> || std::is_same_v<Op, RectOp>) {
                return o.cell.grid;
            } else if constexpr (std::is_same_v<Op, TextOp> || std::is_same_v<Op, SpriteOp>) {
                return o.ref.name;
            } else if constexpr (std::is_same_v<Op, SoundOp>) {
                return (o.play ? "+" : "-") + std::string(soundName(o.id));
            }
            return "";
        }, op);
        if (!token.empty() && !runs.empty() && runs.back().first == token) {
            ++runs.back().second;
        } else if (!token.empty()) {
            runs.emplace_back(token, 1);
        }
    }
    std::string out;
    for (const auto& [token, count] : runs) {
        out += (out.empty() ? "" : " ") + token + (count > 1 ? "*" + std::to_string(count) : "");
    }
    const bool presented = !recorder.ops().empty() && std::holds_alternative<DisplayOp>(recorder.ops().back());
    return out + (presented ? "" : " unpresented") + (recorder.isOpen() ? "" : " closed");
}

// The show stepped through `scene` once per row: a row's settings are those the scene moments
// take (frameDelta is 1/60 unless given), and after its step the summary must read as the row's
// expectation, whose name=value words are instead values the show must hold (flags as 0 or 1).
class SceneSteps : public ShowTest {
protected:
    void step(int scene, const std::string& settings)
    {
        recorder.forget();
        playMoment(*show, time, {"", scene, settings.c_str()}, recorder);
    }

    void expectSteps(int scene, std::initializer_list<std::pair<const char*, const char*>> rows)
    {
        for (const auto& [settings, expected] : rows) {
            SCOPED_TRACE(settings);
            step(scene, settings);
            std::string draws;
            std::istringstream words(expected);
            for (std::string word; words >> word;) {
                const std::size_t equals = word.find('=');
                const std::string name = word.substr(0, equals);
                if (equals == std::string::npos) {
                    draws += (draws.empty() ? "" : " ") + word;
                } else if (const double value = std::strtod(word.c_str() + equals + 1, nullptr);
                           show->floatValues().count(name) != 0) {
                    EXPECT_EQ(*show->floatValues().at(name), static_cast<float>(value)) << name;
                } else {
                    EXPECT_EQ(*show->flagValues().at(name), value != 0.0) << name;
                }
            }
            EXPECT_EQ(summary(recorder), draws);
        }
    }
};

} // namespace tolva::testing
