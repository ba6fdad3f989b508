#include "Raster.h"

namespace tolva::paint {

float ellipseDistance(Vec p, Vec centre, Vec radii, float angle)
{
    Vec q = rotated(p - centre, -angle);
    float u = q.x / radii.x, v = q.y / radii.y;
    float f = u * u + v * v - 1.0f;
    // f over its gradient's length: the distance near the edge, which is all the
    // anti-aliasing needs; far inside or outside only the sign matters.
    float gx = 2.0f * q.x / (radii.x * radii.x), gy = 2.0f * q.y / (radii.y * radii.y);
    float g = std::sqrt(gx * gx + gy * gy);
    if (g < 1e-6f) {
        return -std::min(radii.x, radii.y);
    }
    return f / g;
}

float segmentDistance(Vec p, Vec a, Vec b, float ra, float rb)
{
    Vec ab = b - a;
    float len2 = dot(ab, ab);
    float t = len2 > 0.0f ? clamp01(dot(p - a, ab) / len2) : 0.0f;
    Vec closest = a + ab * t;
    return length(p - closest) - lerp(ra, rb, t);
}

sf::Image Raster::toImage() const
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4u);
    auto toByte = [](float v) {
        return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f));
    };
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        float a = pixels_[i + 3];
        if (a <= 0.0f) {
            bytes[i] = bytes[i + 1] = bytes[i + 2] = bytes[i + 3] = 0;
            continue;
        }
        bytes[i] = toByte(pixels_[i] / a);
        bytes[i + 1] = toByte(pixels_[i + 1] / a);
        bytes[i + 2] = toByte(pixels_[i + 2] / a);
        bytes[i + 3] = toByte(a);
    }
    sf::Image image;
    image.create(static_cast<unsigned>(width_), static_cast<unsigned>(height_), bytes.data());
    return image;
}

std::uint32_t hash(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    // A few rounds of multiply-xorshift (lowbias32), mixing the three inputs in turn.
    std::uint32_t h = a * 0x9e3779b1u ^ (b + 0x7f4a7c15u) * 0x85ebca77u ^ (c + 0x165667b1u) * 0xc2b2ae3du;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float hash01(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    return static_cast<float>(hash(a, b, c) >> 8) * (1.0f / 16777216.0f);
}

float valueNoise(float x, float y, std::uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    auto ix = static_cast<std::uint32_t>(static_cast<std::int32_t>(fx));
    auto iy = static_cast<std::uint32_t>(static_cast<std::int32_t>(fy));
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    float a = hash01(ix, iy, seed), b = hash01(ix + 1u, iy, seed);
    float c = hash01(ix, iy + 1u, seed), d = hash01(ix + 1u, iy + 1u, seed);
    return lerp(lerp(a, b, tx), lerp(c, d, tx), ty);
}

float fbm(float x, float y, std::uint32_t seed, int octaves)
{
    float sum = 0.0f, amplitude = 0.5f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(x, y, seed + static_cast<std::uint32_t>(o) * 101u);
        norm += amplitude;
        amplitude *= 0.5f;
        x = x * 2.03f + 17.1f;
        y = y * 2.03f - 9.7f;
    }
    return sum / norm;
}

} // namespace tolva::paint
