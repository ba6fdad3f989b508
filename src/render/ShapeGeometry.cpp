#include "render/ShapeGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

namespace tolva {
namespace {

// cos and sin of SFML's circle point angles, per point count. The angles depend on the count
// alone, so they are worked out once; the products with the radius stay per shape, as in SFML.
class UnitCircles {
public:
    const std::vector<std::pair<float, float>>& forCount(std::size_t count)
    {
        if (count >= tables_.size()) {
            tables_.resize(count + 1);
        }
        auto& table = tables_[count];
        if (!table) {
            table = std::make_unique<std::vector<std::pair<float, float>>>();
            table->reserve(count);
            static const float pi = 3.141592654f;
            for (std::size_t index = 0; index < count; ++index) {
                const float angle = static_cast<float>(index * 2) * pi
                                    / static_cast<float>(count) - pi / 2;
                table->emplace_back(std::cos(angle), std::sin(angle));
            }
        }
        return *table;
    }

private:
    std::vector<std::unique_ptr<std::vector<std::pair<float, float>>>> tables_;
};

// SFML's VertexArray::getBounds over the fan (vertex 0 is a copy of vertex 1 while the bounds
// are taken), then the centre as Shape::update places it.
void placeCentre(LocalFan& fan)
{
    if (fan.points.empty()) {
        return;
    }
    float left = fan.points[0].x;
    float top = fan.points[0].y;
    float right = left;
    float bottom = top;
    for (const sf::Vector2f& p : fan.points) {
        if (p.x < left) {
            left = p.x;
        } else if (p.x > right) {
            right = p.x;
        }
        if (p.y < top) {
            top = p.y;
        } else if (p.y > bottom) {
            bottom = p.y;
        }
    }
    const float width = right - left;
    const float height = bottom - top;
    fan.centre = sf::Vector2f(left + width / 2, top + height / 2);
}

bool finite(sf::Vector2f p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// Twice the signed area of the triangle (a, b, c), in double: its rounding is far below the
// margins it is compared with.
double turn(sf::Vector2f a, sf::Vector2f b, sf::Vector2f c)
{
    const double abx = static_cast<double>(b.x) - static_cast<double>(a.x);
    const double aby = static_cast<double>(b.y) - static_cast<double>(a.y);
    const double acx = static_cast<double>(c.x) - static_cast<double>(a.x);
    const double acy = static_cast<double>(c.y) - static_cast<double>(a.y);
    return abx * acy - aby * acx;
}

} // namespace

void circleFan(const Circle& circle, LocalFan& fan)
{
    static thread_local UnitCircles unit;
    fan.points.clear();
    const std::size_t count = circle.getPointCount();
    if (count < 3) {
        return;
    }
    const float radius = circle.getRadius();
    for (const auto& [c, s] : unit.forCount(count)) {
        const float x = c * radius;
        const float y = s * radius;
        fan.points.emplace_back(radius + x, radius + y);
    }
    placeCentre(fan);
}

void rectFan(const Rect& rect, LocalFan& fan)
{
    const sf::Vector2f size = rect.getSize();
    fan.points.assign({{0, 0}, {size.x, 0}, {size.x, size.y}, {0, size.y}});
    placeCentre(fan);
}

sf::Transform ModelTransforms::of(const sf::Transformable& shape)
{
    const float rotation = shape.getRotation();
    std::uint32_t bits = 0;
    std::memcpy(&bits, &rotation, sizeof bits);
    if (bits != rotationBits_) {
        const float angle = -rotation * 3.141592654f / 180.f;
        cosine_ = static_cast<float>(std::cos(angle));
        sine_ = static_cast<float>(std::sin(angle));
        rotationBits_ = bits;
    }
    const sf::Vector2f scale = shape.getScale();
    const sf::Vector2f origin = shape.getOrigin();
    const sf::Vector2f position = shape.getPosition();
    const float sxc = scale.x * cosine_;
    const float syc = scale.y * cosine_;
    const float sxs = scale.x * sine_;
    const float sys = scale.y * sine_;
    const float tx = -origin.x * sxc - origin.y * sys + position.x;
    const float ty = origin.x * sxs - origin.y * syc + position.y;
    return sf::Transform(sxc, sys, tx, -sxs, syc, ty, 0.f, 0.f, 1.f);
}

ClipTransform::ClipTransform(const sf::Transform& model, const sf::Transform& projection)
{
    // Column-major 4x4 matrices; element (row r, column c) at [c * 4 + r].
    const float* a = projection.getMatrix();
    const float* b = model.getMatrix();
    auto product = [&](int row, int column) {
        return ((a[row] * b[column * 4] + a[4 + row] * b[column * 4 + 1])
                + a[8 + row] * b[column * 4 + 2])
               + a[12 + row] * b[column * 4 + 3];
    };
    x0_ = product(0, 0);
    x1_ = product(0, 1);
    x3_ = product(0, 3);
    y0_ = product(1, 0);
    y1_ = product(1, 1);
    y3_ = product(1, 3);
}

void appendTriangles(const LocalFan& fan, const ClipTransform& transform, sf::Color color,
                     std::vector<sf::Vertex>& out, bool* wholeFan)
{
    if (wholeFan != nullptr) {
        *wholeFan = false;
    }
    const std::size_t count = fan.points.size();
    if (count < 3) {
        return;
    }
    const sf::Vector2f centre = transform.apply(fan.centre);
    if (!finite(centre)) {
        return;
    }
    static thread_local std::vector<sf::Vector2f> ring;
    ring.resize(count + 1);
    bool allFinite = true;
    // A shape with every point beyond one edge of clip space covers no pixel of the viewport
    // (clip space is the viewport's, letterboxed or not): it is left out.
    bool left = centre.x < -1.0f;
    bool right = centre.x > 1.0f;
    bool below = centre.y < -1.0f;
    bool above = centre.y > 1.0f;
    for (std::size_t k = 0; k < count; ++k) {
        const sf::Vector2f p = transform.apply(fan.points[k]);
        ring[k] = p;
        allFinite = allFinite && finite(p);
        left = left && p.x < -1.0f;
        right = right && p.x > 1.0f;
        below = below && p.y < -1.0f;
        above = above && p.y > 1.0f;
    }
    if (left || right || below || above) {
        return;
    }
    ring[count] = ring[0];
    out.reserve(out.size() + 3 * count);
    for (std::size_t k = 0; k < count; ++k) {
        if (allFinite || (finite(ring[k]) && finite(ring[k + 1]))) {
            out.emplace_back(centre, color);
            out.emplace_back(ring[k], color);
            out.emplace_back(ring[k + 1], color);
        }
    }
    if (wholeFan != nullptr && allFinite) {
        const double first = turn(centre, ring[0], ring[1]);
        bool oneWay = first != 0.0;
        for (std::size_t k = 1; k < count && oneWay; ++k) {
            const double next = turn(centre, ring[k], ring[k + 1]);
            oneWay = first > 0.0 ? next > 0.0 : next < 0.0;
        }
        *wholeFan = oneWay;
    }
}

float inscribedRadius(const LocalFan& fan)
{
    const std::size_t count = fan.points.size();
    double radius = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < count; ++k) {
        const sf::Vector2f from = fan.points[k];
        const sf::Vector2f to = fan.points[(k + 1) % count];
        const double dx = static_cast<double>(to.x) - static_cast<double>(from.x);
        const double dy = static_cast<double>(to.y) - static_cast<double>(from.y);
        const double cx = static_cast<double>(fan.centre.x) - static_cast<double>(from.x);
        const double cy = static_cast<double>(fan.centre.y) - static_cast<double>(from.y);
        const double length = std::sqrt(dx * dx + dy * dy);
        radius = std::min(radius, length > 0 ? std::abs(dx * cy - dy * cx) / length : 0.0);
    }
    // A hair less, for the rounding of the points once placed.
    return count >= 3 && std::isfinite(radius) ? static_cast<float>(radius * (1.0 - 1e-6)) : 0.0f;
}

} // namespace tolva
