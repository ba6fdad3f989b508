// The page letterboxes the picture into its canvas as the native show does into its window: the
// same picture rectangle, to the pixel, for canvases of every shape.

#include "render/Letterbox.h"
#include "web/Picture.h"

#include <SFML/Graphics/RenderTarget.hpp>

#include <gtest/gtest.h>

namespace {

// A render target of any size that needs no GL context: the letterbox only asks for its size
// and sets its view.
class SizedTarget : public sf::RenderTarget {
public:
    explicit SizedTarget(sf::Vector2u size) : size_(size) {}
    sf::Vector2u getSize() const override { return size_; }

private:
    sf::Vector2u size_;
};

TEST(WebLetterbox, PictureLiesWhereTheNativeLetterboxPutsIt)
{
    // 16:9 at and off the show's size, wider and taller screens, odd sizes that round, phones.
    const sf::Vector2u sizes[] = {{1920, 1080}, {1280, 720},  {3840, 2160}, {2560, 1080}, {1000, 1000},
                                  {1366, 768},  {1921, 1081}, {1917, 1079}, {800, 1280},  {390, 844},
                                  {1440, 900},  {1, 1}};
    for (const sf::Vector2u size : sizes) {
        SizedTarget target(size);
        tolva::fitShowView(target);
        const sf::IntRect native = target.getViewport(target.getView());
        const tolva::PixelRect page = tolva::web::picturePixels(static_cast<int>(size.x), static_cast<int>(size.y));
        SCOPED_TRACE(testing::Message() << size.x << "x" << size.y);
        EXPECT_EQ(page.left, native.left);
        EXPECT_EQ(page.bottom, static_cast<int>(size.y) - (native.top + native.height));  // GL counts from the bottom
        EXPECT_EQ(page.width, native.width);
        EXPECT_EQ(page.height, native.height);
    }
}

} // namespace
