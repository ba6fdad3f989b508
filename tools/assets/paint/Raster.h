#pragma once

// A small anti-aliased painter for the show's pictures. Every shape is a signed
// distance function: a pixel is covered by clamp(0.5 - distance) of the shape, so
// edges are smooth at any size without supersampling. The canvas keeps
// premultiplied RGBA floats, so painting on a transparent ground (the sprites)
// and on an opaque one (the frogs) is the same "over" operation.

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tolva::paint {

struct Colour {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

constexpr Colour rgb(int r, int g, int b, float a = 1.0f)
{
    return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
            static_cast<float>(b) / 255.0f, a};
}

inline float clamp01(float x) { return std::min(1.0f, std::max(0.0f, x)); }
inline float lerp(float a, float b, float t) { return a + (b - a) * t; }
inline float smooth(float e0, float e1, float x)
{
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}
inline Colour mix(Colour a, Colour b, float t)
{
    return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t), lerp(a.a, b.a, t)};
}
inline Colour scaled(Colour c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
inline Colour withAlpha(Colour c, float a) { return {c.r, c.g, c.b, a}; }

struct Vec {
    float x = 0.0f, y = 0.0f;
};
inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
inline Vec operator*(Vec a, float k) { return {a.x * k, a.y * k}; }
inline float dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
inline float length(Vec a) { return std::sqrt(dot(a, a)); }
inline Vec rotated(Vec a, float radians)
{
    float c = std::cos(radians), s = std::sin(radians);
    return {a.x * c - a.y * s, a.x * s + a.y * c};
}

struct Box {
    float x0, y0, x1, y1;
};

// Signed distances (negative inside).
float ellipseDistance(Vec p, Vec centre, Vec radii, float angle);
float segmentDistance(Vec p, Vec a, Vec b, float ra, float rb);

class Raster {
public:
    Raster(int width, int height) : width_(width), height_(height),
        pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u, 0.0f) {}

    int width() const { return width_; }
    int height() const { return height_; }

    // Source-over of one colour with a coverage in [0, 1].
    void blend(int x, int y, Colour c, float coverage)
    {
        float a = c.a * coverage;
        if (a <= 0.0f) {
            return;
        }
        float* p = &pixels_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)
                             + static_cast<std::size_t>(x)) * 4u];
        float keep = 1.0f - a;
        p[0] = c.r * a + p[0] * keep;
        p[1] = c.g * a + p[1] * keep;
        p[2] = c.b * a + p[2] * keep;
        p[3] = a + p[3] * keep;
    }

    // Straight (not premultiplied) colour of a pixel; black where nothing was painted.
    Colour at(int x, int y) const
    {
        const float* p = &pixels_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)
                                   + static_cast<std::size_t>(x)) * 4u];
        if (p[3] <= 0.0f) {
            return {0.0f, 0.0f, 0.0f, 0.0f};
        }
        return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
    }

    // Every pixel of a rectangle (clipped) with the colour a function gives.
    template <class Paint>
    void fillRows(int y0, int y1, Paint paint)
    {
        y0 = std::max(0, y0);
        y1 = std::min(height_, y1);
        for (int y = y0; y < y1; ++y) {
            for (int x = 0; x < width_; ++x) {
                blend(x, y, paint(x, y), 1.0f);
            }
        }
    }

    // A shape given by its signed distance inside a bounding box; its colour may
    // vary over the shape (paint receives the pixel centre).
    template <class Distance, class Paint>
    void fillShape(Box box, Distance distance, Paint paint)
    {
        int x0 = std::max(0, static_cast<int>(std::floor(box.x0)) - 1);
        int y0 = std::max(0, static_cast<int>(std::floor(box.y0)) - 1);
        int x1 = std::min(width_, static_cast<int>(std::ceil(box.x1)) + 2);
        int y1 = std::min(height_, static_cast<int>(std::ceil(box.y1)) + 2);
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                Vec p{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
                float cover = clamp01(0.5f - distance(p));
                if (cover > 0.0f) {
                    blend(x, y, paint(p), cover);
                }
            }
        }
    }

    template <class Distance>
    void fillShape(Box box, Distance distance, Colour colour)
    {
        fillShape(box, distance, [colour](Vec) { return colour; });
    }

    template <class Paint>
    void ellipse(Vec centre, Vec radii, float angle, Paint paint)
    {
        float r = std::max(radii.x, radii.y);
        fillShape({centre.x - r, centre.y - r, centre.x + r, centre.y + r},
                  [=](Vec p) { return ellipseDistance(p, centre, radii, angle); }, paint);
    }
    template <class Paint>
    void circle(Vec centre, float radius, Paint paint) { ellipse(centre, {radius, radius}, 0.0f, paint); }

    // A stroke from a to b whose half-width goes from ra to rb, round at both ends.
    template <class Paint>
    void stroke(Vec a, Vec b, float ra, float rb, Paint paint)
    {
        float r = std::max(ra, rb);
        fillShape({std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r,
                   std::max(a.y, b.y) + r},
                  [=](Vec p) { return segmentDistance(p, a, b, ra, rb); }, paint);
    }

    // A quadratic curve as a chain of strokes, tapering from ra to rb.
    template <class Paint>
    void curve(Vec a, Vec control, Vec b, float ra, float rb, Paint paint, int pieces = 12)
    {
        Vec previous = a;
        for (int k = 1; k <= pieces; ++k) {
            float t = static_cast<float>(k) / static_cast<float>(pieces);
            float u = 1.0f - t;
            Vec next = a * (u * u) + control * (2.0f * u * t) + b * (t * t);
            float r0 = lerp(ra, rb, static_cast<float>(k - 1) / static_cast<float>(pieces));
            float r1 = lerp(ra, rb, t);
            stroke(previous, next, r0, r1, paint);
            previous = next;
        }
    }

    // 8-bit straight-alpha RGBA, rounded; the picture as PNG wants it.
    sf::Image toImage() const;

private:
    int width_;
    int height_;
    std::vector<float> pixels_;
};

// Deterministic hashing and value noise: the pictures must come out the same
// bytes on every build, so nothing here reads a clock or a library generator.
std::uint32_t hash(std::uint32_t a, std::uint32_t b = 0u, std::uint32_t c = 0u);
float hash01(std::uint32_t a, std::uint32_t b = 0u, std::uint32_t c = 0u);
float valueNoise(float x, float y, std::uint32_t seed);
float fbm(float x, float y, std::uint32_t seed, int octaves);

// A small deterministic generator for placing things.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : state_(seed) {}
    float next() { return hash01(state_++, 0x9e3779b9u); }
    float between(float lo, float hi) { return lo + (hi - lo) * next(); }

private:
    std::uint32_t state_;
};

} // namespace tolva::paint
