// tolva-icon INPUT OUTPUT SIZE: the menu icon, made from the title picture.
//
// The title picture is wider than it is tall, so it is fitted whole into a SIZE x SIZE square,
// centred, on a transparent background; nothing is cropped. Each icon pixel is the area-weighted
// mean of the picture pixels it covers, averaged with premultiplied alpha so that transparent
// picture pixels do not darken the edges of what they border.

#include "IconScaling.h"

#include <SFML/Graphics/Image.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: tolva-icon INPUT.png OUTPUT.png SIZE\n");
        return 2;
    }
    const int size = std::atoi(argv[3]);
    if (size < 1 || size > 4096) {
        std::fprintf(stderr, "tolva-icon: SIZE must be between 1 and 4096, not %s\n", argv[3]);
        return 2;
    }
    sf::Image picture;
    if (!picture.loadFromFile(argv[1])) {
        std::fprintf(stderr, "tolva-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const sf::Vector2u extent = picture.getSize();
    tolva::icon::Pixels source;
    source.width = static_cast<int>(extent.x);
    source.height = static_cast<int>(extent.y);
    const sf::Uint8* bytes = picture.getPixelsPtr();
    source.rgba.assign(bytes, bytes + static_cast<std::size_t>(extent.x) * extent.y * 4U);

    const tolva::icon::Pixels icon = tolva::icon::fitSquare(source, size);
    sf::Image out;
    out.create(static_cast<unsigned>(icon.width), static_cast<unsigned>(icon.height),
               icon.rgba.data());
    if (!out.saveToFile(argv[2])) {
        std::fprintf(stderr, "tolva-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
