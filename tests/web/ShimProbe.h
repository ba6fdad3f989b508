#pragma once

// The browser build's stand-ins for SFML, compiled natively under a namespace of their own, seen
// through plain types so that one test can hold them to the real SFML next to them.

#include <array>
#include <string>
#include <vector>

namespace tolva::shim {

using Matrix = std::array<float, 16>;
using Box = std::array<float, 4>;  // left, top, width, height
using Point = std::array<float, 2>;

struct Placement {
    float x = 0;
    float y = 0;
    float rotation = 0;
    float scaleX = 1;
    float scaleY = 1;
    float originX = 0;
    float originY = 0;
};

// One step of a chain of transforms: kind 0 translate (a, b), 1 rotate (a), 2 rotate (a) about
// (b, c), 3 scale (a, b), 4 scale (a, b) about (c, d), 5 combine with a placement's transform.
struct TransformStep {
    int kind;
    float a, b, c, d;
    Placement placement;
};

struct ChainResult {
    Matrix matrix;
    Matrix inverse;
    Point point;
    Box rect;
};

ChainResult chain(const std::vector<TransformStep>& steps, Point point, Box rect);
Matrix placed(const Placement& placement, float moveX, float moveY, float turn, float grow);
float placedRotation(const Placement& placement, float turn);
Matrix view(float centerX, float centerY, float width, float height, float rotation);

struct TextSettings {
    std::string string;
    unsigned size = 30;
    float outline = 0;
    unsigned style = 0;
    float letterSpacing = 1;
    float lineSpacing = 1;
    Placement placement;
};

struct TextLayout {
    Box local;
    Box global;
    std::vector<Point> characters;  // findCharacterPos of every index, the end included
};

// False when the font's glyph export does not load.
bool loadFont(const std::string& fontPath);
TextLayout layText(const TextSettings& settings);

struct GlyphProbe {
    float advance;
    Box bounds;
    std::array<int, 4> textureRect;
};
GlyphProbe glyph(unsigned codePoint, unsigned size, float outline);
float kerning(unsigned first, unsigned second, unsigned size);
float lineSpacing(unsigned size);

Box spriteBounds(int textureWidth, int textureHeight, std::array<int, 4> rect, const Placement& placement,
                 bool global);

// A picture file loaded as a texture, over an area (all of it when empty): its size and RGBA
// pixels, and the size of its pixels.
struct Picture {
    bool loaded;
    unsigned width;
    unsigned height;
    std::vector<unsigned char> pixels;
};
Picture loadTexture(const std::string& path, std::array<int, 4> area);

float secondsThroughTime(float seconds);
long long microsecondsOf(float seconds);

} // namespace tolva::shim
