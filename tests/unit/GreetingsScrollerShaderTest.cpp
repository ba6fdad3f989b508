// The greetings line through the staged shader pair, rendered under the tests' X display: the pair
// compiles, and the wave moves the line off the place SFML alone would draw it.

#include "support/ShowTest.h"
#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Recorder.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Text.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace tolva {
namespace {

// Sends one step to two canvases: the first as the scene asks, the second with every shader left
// out, so the same frame is drawn both ways.
class ShaderlessTwin final : public Canvas {
public:
    ShaderlessTwin(Canvas& withShader, Canvas& without) : with_(withShader), without_(without) {}

    void clear(sf::Color color) override
    {
        with_.clear(color);
        without_.clear(color);
    }
    void draw(const Circle& c, CellRef cell) override
    {
        with_.draw(c, cell);
        without_.draw(c, cell);
    }
    void draw(const Rect& r, CellRef cell) override
    {
        with_.draw(r, cell);
        without_.draw(r, cell);
    }
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override
    {
        with_.draw(text, ref, shader);
        without_.draw(text, ref, nullptr);
    }
    void draw(const sf::Sprite& s, ObjectRef ref) override
    {
        with_.draw(s, ref);
        without_.draw(s, ref);
    }
    void setUniform(sf::Shader& shader, const char* name, float value) override
    {
        with_.setUniform(shader, name, value);
    }
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override
    {
        with_.setUniform(shader, name, value);
    }
    void display() override
    {
        with_.display();
        without_.display();
    }
    bool isOpen() const override { return true; }
    void close() override {}

private:
    Canvas& with_;
    Canvas& without_;
};

sf::Image rendered(sf::RenderTexture& target)
{
    target.display();
    return target.getTexture().copyToImage();
}

bool samePixel(const sf::Image& a, const sf::Image& b, unsigned x, unsigned y)
{
    return a.getPixel(x, y) == b.getPixel(x, y);
}

class GreetingsShader : public testing::ShowTest {
protected:
    void SetUp() override
    {
        ShowTest::SetUp();
        if (IsSkipped()) {
            return;
        }
    }

};

TEST_F(GreetingsShader, StagedPairCompiles)
{
    ASSERT_TRUE(sf::Shader::isAvailable());
    sf::Shader pair;
    EXPECT_TRUE(pair.loadFromFile("shaders/theSingularVertexC.vs", "shaders/ScrollerShaderE.frag"));
    // The show's own load of the same files took too.
    EXPECT_NE(show->objects.scrollerShader.getNativeHandle(), 0u);
}

TEST_F(GreetingsShader, WaveMovesTheLine)
{
    // Three seconds into the scene: the line's head stands near x = 1300.
    state.countdown[2] = -0.01f;
    state.scene3Pending = false;
    state.countdown[3] = 54.0f;
    state.frameDelta = sf::milliseconds(17);
    show->objects.scrollPhase = 18.0f;
    show->objects.scrollerClock.setElapsed(sf::seconds(3.0f));

    sf::RenderTexture shadedTarget;
    sf::RenderTexture plainTarget;
    ASSERT_TRUE(shadedTarget.create(1920, 1080));
    ASSERT_TRUE(plainTarget.create(1920, 1080));
    BatchCanvas shaded(&shadedTarget, nullptr);
    BatchCanvas plain(&plainTarget, nullptr);
    ShaderlessTwin twin(shaded, plain);
    // Two steps: from the second on, the line has its scene size and outline.
    show->run(3, twin);
    show->run(3, twin);
    const sf::Image withWave = rendered(shadedTarget);
    const sf::Image flat = rendered(plainTarget);

    // The rows the flat line covers, from the line alone on a clear target.
    sf::RenderTexture lineTarget;
    ASSERT_TRUE(lineTarget.create(1920, 1080));
    lineTarget.clear(sf::Color::Transparent);
    lineTarget.draw(show->objects.greetingsText);
    const sf::Image line = rendered(lineTarget);
    unsigned top = 1080;
    unsigned bottom = 0;
    for (unsigned y = 0; y < 1080; ++y) {
        for (unsigned x = 0; x < 1920; ++x) {
            if (line.getPixel(x, y).a != 0) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_LT(top, bottom) << "the line is not on screen";

    std::size_t differing = 0;
    std::size_t displaced = 0;  // differing pixels off the flat line's rows
    for (unsigned y = 0; y < 1080; ++y) {
        for (unsigned x = 0; x < 1920; ++x) {
            if (!samePixel(withWave, flat, x, y)) {
                ++differing;
                if (y + 4 < top || y > bottom + 4) {
                    ++displaced;
                }
            }
        }
    }
    EXPECT_GT(differing, 1000u);
    EXPECT_GT(displaced, 200u) << "rows " << top << " to " << bottom;
}

} // namespace
} // namespace tolva
