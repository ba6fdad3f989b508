// tolva-asset-sheet RUNDIR DOCSDIR: the README's pictures of the show's content,
// made from the staged files: the logo and the two characters blown up without
// smoothing (as the show draws them), and the pond picture scaled down.

#include <SFML/Graphics/Image.hpp>

#include <cstdio>
#include <string>

namespace {

sf::Image load(const std::string& path)
{
    sf::Image image;
    if (!image.loadFromFile(path)) {
        std::fprintf(stderr, "tolva-asset-sheet: cannot read %s\n", path.c_str());
    }
    return image;
}

// Nearest-neighbour enlargement of `source` by `factor`, laid over `ground` at (x, y).
void paste(sf::Image& ground, const sf::Image& source, unsigned factor, unsigned x, unsigned y)
{
    for (unsigned sy = 0; sy < source.getSize().y * factor; ++sy) {
        for (unsigned sx = 0; sx < source.getSize().x * factor; ++sx) {
            unsigned gx = x + sx, gy = y + sy;
            if (gx >= ground.getSize().x || gy >= ground.getSize().y) {
                continue;
            }
            sf::Color s = source.getPixel(sx / factor, sy / factor), g = ground.getPixel(gx, gy);
            unsigned a = s.a;
            auto over = [a](sf::Uint8 top, sf::Uint8 bottom) {
                return static_cast<sf::Uint8>((top * a + bottom * (255u - a) + 127u) / 255u);
            };
            ground.setPixel(gx, gy, sf::Color(over(s.r, g.r), over(s.g, g.g), over(s.b, g.b)));
        }
    }
}

// Box-filtered reduction by an integer factor.
sf::Image shrink(const sf::Image& source, unsigned factor)
{
    sf::Image out;
    out.create(source.getSize().x / factor, source.getSize().y / factor);
    for (unsigned y = 0; y < out.getSize().y; ++y) {
        for (unsigned x = 0; x < out.getSize().x; ++x) {
            unsigned r = 0, g = 0, b = 0;
            for (unsigned dy = 0; dy < factor; ++dy) {
                for (unsigned dx = 0; dx < factor; ++dx) {
                    sf::Color c = source.getPixel(x * factor + dx, y * factor + dy);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
            }
            unsigned n = factor * factor;
            out.setPixel(x, y, sf::Color(static_cast<sf::Uint8>((r + n / 2) / n), static_cast<sf::Uint8>((g + n / 2) / n),
                                         static_cast<sf::Uint8>((b + n / 2) / n)));
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tolva-asset-sheet RUNDIR DOCSDIR\n");
        return 2;
    }
    std::string run = argv[1], docs = argv[2];
    sf::Image title = load(run + "/graphics/demoname.png");
    sf::Image one = load(run + "/graphics/personOne1.png");
    sf::Image two = load(run + "/graphics/personTwo2.png");
    sf::Image pond = load(run + "/graphics/PirtasFrogs.png");

    sf::Image logo;
    logo.create(title.getSize().x * 5 + 40, title.getSize().y * 5 + 40, sf::Color(0, 0, 0));
    paste(logo, title, 5, 20, 20);

    // The characters on scene 2's brown ground, at twice their size.
    sf::Image people;
    people.create(one.getSize().x * 2 + two.getSize().x * 2 + 60, two.getSize().y * 2 + 40, sf::Color(39, 17, 11));
    paste(people, one, 2, 20, people.getSize().y - 20 - one.getSize().y * 2);
    paste(people, two, 2, 40 + one.getSize().x * 2, 20);

    bool ok = logo.saveToFile(docs + "/content-title.png") && people.saveToFile(docs + "/content-characters.png")
              && shrink(pond, 4).saveToFile(docs + "/content-pond.png");
    return ok ? 0 : 1;
}
