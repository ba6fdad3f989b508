#include "render/Letterbox.h"

#include <SFML/Graphics/RectangleShape.hpp>

#include <algorithm>

namespace tolva {

void fitShowView(sf::RenderTarget& target)
{
    const sf::Vector2u size = target.getSize();
    if (size.x == showWidth && size.y == showHeight) {
        return;
    }
    const float width = static_cast<float>(size.x);
    const float height = static_cast<float>(size.y);
    const float scale = std::min(width / static_cast<float>(showWidth),
                                 height / static_cast<float>(showHeight));
    const float viewportWidth = static_cast<float>(showWidth) * scale / width;
    const float viewportHeight = static_cast<float>(showHeight) * scale / height;
    sf::View view(sf::FloatRect(0, 0, static_cast<float>(showWidth), static_cast<float>(showHeight)));
    view.setViewport(sf::FloatRect((1 - viewportWidth) / 2, (1 - viewportHeight) / 2,
                                   viewportWidth, viewportHeight));
    target.setView(view);
}

bool letterboxed(const sf::RenderTarget& target)
{
    const sf::FloatRect viewport = target.getView().getViewport();
    return viewport != sf::FloatRect(0, 0, 1, 1);
}

unsigned clearPicture(sf::RenderTarget& target, sf::Color color)
{
    if (!letterboxed(target)) {
        target.clear(color);
        return 0;
    }
    // A clear covers the whole window; the bars beside the picture stay black.
    target.clear(sf::Color::Black);
    const sf::View& view = target.getView();
    sf::RectangleShape picture(view.getSize());
    picture.setPosition(view.getCenter() - view.getSize() / 2.0f);
    picture.setFillColor(color);
    target.draw(picture, sf::BlendNone);
    return 1;
}

} // namespace tolva
