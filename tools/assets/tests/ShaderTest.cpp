// The greetings scroller's shader pair, compiled and run by SFML as scene 3 runs it: on the
// greetings font at the scene's size, with uniforms in the scene's range.

#include <SFML/Graphics.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Ink {
    unsigned pixels = 0, greenish = 0;
    int top = 100000, bottom = -1, left = 100000;
};

Ink ink(const sf::Image& image)
{
    Ink k;
    for (unsigned y = 0; y < image.getSize().y; ++y) {
        for (unsigned x = 0; x < image.getSize().x; ++x) {
            const sf::Color c = image.getPixel(x, y);
            if (c.r + c.g + c.b >= 60) {
                ++k.pixels;
                k.greenish += c.g > c.r + 40 && c.g > c.b + 40;
                k.top = std::min(k.top, static_cast<int>(y));
                k.bottom = std::max(k.bottom, static_cast<int>(y));
                k.left = std::min(k.left, static_cast<int>(x));
            }
        }
    }
    return k;
}

TEST(ScrollerShader, DrawsTheTextAsAReadableWaveThatTheUniformsDrive)
{
    sf::Shader shader;
    sf::Font font;
    sf::RenderTexture target;
    ASSERT_TRUE(sf::Shader::isAvailable());
    ASSERT_TRUE(shader.loadFromFile("shaders/theSingularVertexC.vs", "shaders/ScrollerShaderE.frag"));
    ASSERT_TRUE(font.loadFromFile("fonts/Noot.ttf"));
    ASSERT_TRUE(target.create(1920, 1080));
    sf::Text text("...Greetings to Moss Cartel, Fieldmice & You!", font, 120);
    text.setFillColor(sf::Color(0, 155, 0));
    text.setOutlineThickness(2.75f);
    text.setPosition(200.0f, 500.0f);
    auto draw = [&](bool shaded, float phase, sf::Vector2f amplitude, float time) {
        shader.setUniform("wave_phase", phase);
        shader.setUniform("wave_amplitude", amplitude);
        shader.setUniform("uTime", time);
        target.clear(sf::Color::Black);
        target.draw(text, sf::RenderStates(shaded ? &shader : nullptr));
        target.display();
        return target.getTexture().copyToImage();
    };
    const Ink flat = ink(draw(false, 0.0f, {0.0f, 0.0f}, 0.0f));
    ASSERT_GT(flat.pixels, 10000u);
    const sf::Image still = draw(true, 0.5f, {0.0f, 0.0f}, 4.0f);
    EXPECT_NEAR(ink(still).top, flat.top, 2) << "without amplitude the text stands where SFML put it";
    EXPECT_NEAR(ink(still).bottom, flat.bottom, 2);
    for (float time : {0.0f, 3.0f, 17.5f, 55.0f}) {
        const Ink waved = ink(draw(true, std::cos(time) + std::sin(1.05f * time), {25.9f, 56.5f}, time));
        // The glyphs in the text's own green, moved by the wave but no further than its amplitude
        // (plus the slant of a glyph riding it): the line keeps together and can be read.
        EXPECT_GT(waved.pixels, flat.pixels * 7 / 10) << "t = " << time;
        EXPECT_GT(waved.greenish, waved.pixels / 2) << "t = " << time;
        EXPECT_NE(waved.top, flat.top) << "t = " << time;
        EXPECT_GE(waved.top, flat.top - 70) << "t = " << time;
        EXPECT_LE(waved.bottom, flat.bottom + 70) << "t = " << time;
        EXPECT_NEAR(waved.left, flat.left, 30) << "t = " << time;
    }
    // Amplitude, time and phase each move it.
    const sf::Image a = draw(true, 0.5f, {25.0f, 55.0f}, 4.0f);
    for (const sf::Image& other : {still, draw(true, 0.5f, {25.0f, 70.0f}, 4.0f),
                                   draw(true, 0.5f, {25.0f, 55.0f}, 4.4f), draw(true, 1.5f, {25.0f, 55.0f}, 4.0f)}) {
        unsigned n = 0;
        for (unsigned i = 0; i < 1920 * 1080; ++i) {
            n += a.getPixel(i % 1920, i / 1920) != other.getPixel(i % 1920, i / 1920);
        }
        EXPECT_GT(n, 4000u);
    }
}

} // namespace
