#include "render/ShapeGeometry.h"
#include "support/PixelCompare.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace tolva {
namespace {

// The fan the batch draws is the one SFML builds: same points, same centre, bit for bit.
TEST(ShapeGeometry, CircleFanIsSfmlsOwn)
{
    LocalFan fan;
    for (std::size_t count : {3u, 6u, 7u, 10u, 12u, 25u, 30u}) {
        for (float radius : {0.0f, 1.5f, 15.0f, -7.25f, 123456.7f, 3.0e8f}) {
            Circle circle;
            circle.setRadius(radius);
            circle.setPointCount(count);
            circleFan(circle, fan);
            const sf::CircleShape reference(radius, count);
            ASSERT_EQ(fan.points.size(), count);
            for (std::size_t k = 0; k < count; ++k) {
                EXPECT_EQ(fan.points[k], reference.getPoint(k)) << count << " " << radius << " " << k;
            }
            const sf::FloatRect bounds = reference.getLocalBounds();
            EXPECT_EQ(fan.centre.x, bounds.left + bounds.width / 2);
            EXPECT_EQ(fan.centre.y, bounds.top + bounds.height / 2);
        }
    }
}

// The batch works out each shape's matrix itself, keeping the last angle's cosine and sine.
TEST(ShapeGeometry, ModelMatrixIsSfmlsOwn)
{
    ModelTransforms models;
    std::mt19937 random(99);
    std::uniform_real_distribution<float> coordinate(-5000, 5000), angle(-1000, 1000);
    Circle shape;
    for (int k = 0; k < 2000; ++k) {
        shape.setPosition(coordinate(random), coordinate(random));
        if (k % 3 != 0) {  // runs of one angle, as the grids draw them
            shape.setRotation(angle(random));
        }
        const float* mine = models.of(shape).getMatrix();
        const float* sfml = shape.getTransform().getMatrix();
        for (int e = 0; e < 16; ++e) {
            ASSERT_EQ(std::memcmp(&mine[e], &sfml[e], sizeof(float)), 0) << k << " " << e;
        }
    }
}

TEST(ShapeGeometry, NotANumberShowsNothing)
{
    std::vector<sf::Vertex> out;
    LocalFan fan;
    Circle circle;
    circle.setRadius(std::numeric_limits<float>::quiet_NaN());
    circleFan(circle, fan);
    appendTriangles(fan, ClipTransform(circle.getTransform(), sf::Transform()), sf::Color::Red, out);
    EXPECT_TRUE(out.empty());

    circle.setRadius(10);
    circle.setPosition(std::numeric_limits<float>::quiet_NaN(), 5);
    circleFan(circle, fan);
    appendTriangles(fan, ClipTransform(circle.getTransform(), sf::Transform()), sf::Color::Red, out);
    EXPECT_TRUE(out.empty());
}

void drawMixture(Canvas& canvas)
{
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> x(-100, 2020), y(-100, 1180), r(0, 60), angle(-720, 720);
    std::uniform_int_distribution<int> byte(0, 255), points(3, 30);
    canvas.clear(sf::Color(20, 30, 40));
    for (int k = 0; k < 3000; ++k) {
        const sf::Color fill(static_cast<sf::Uint8>(byte(random)), static_cast<sf::Uint8>(byte(random)),
                             static_cast<sf::Uint8>(byte(random)), static_cast<sf::Uint8>(byte(random)));
        if (k % 2 == 0) {
            Circle circle;
            circle.setRadius(k % 97 == 0 ? -r(random) : r(random));
            circle.setPointCount(static_cast<std::size_t>(points(random)));
            circle.setPosition(x(random), y(random));
            circle.setRotation(angle(random));
            circle.setFillColor(fill);
            canvas.draw(circle, {"test", k, 0});
        } else {
            Rect rect;
            rect.setSize({r(random), r(random)});
            rect.setPosition(x(random), y(random));
            rect.setRotation(angle(random));
            rect.setFillColor(fill);
            canvas.draw(rect, {"test", k, 0});
        }
    }
    // Shapes that are not numbers show nothing either way.
    Circle vanishing;
    vanishing.setRadius(std::numeric_limits<float>::quiet_NaN());
    vanishing.setPosition(500, 500);
    canvas.draw(vanishing, {"test", -1, 0});
}

TEST(BatchCanvas, DrawsTheSamePixelsAsSfmlShapeByShape)
{
    const testing::PixelDifference difference = testing::compareBatchedWithDirect(drawMixture);
    EXPECT_EQ(difference.differing, 0u);
}

} // namespace
} // namespace tolva
