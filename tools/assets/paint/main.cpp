// tolva-paint OUTDIR [name...]: paints the show's pictures into OUTDIR/graphics.
// Without names it paints all four.

#include "Pictures.h"
#include "PngFile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tolva-paint OUTDIR [demoname|personOne1|personTwo2|PirtasFrogs]...\n");
        return 2;
    }
    struct Picture {
        const char* name;
        std::function<sf::Image()> paint;
    };
    const std::vector<Picture> pictures{
        {"demoname", tolva::paint::paintTitle},
        {"personOne1", tolva::paint::paintDreamer},
        {"personTwo2", tolva::paint::paintTraveller},
        {"PirtasFrogs", tolva::paint::paintPond},
    };
    std::filesystem::path dir = std::filesystem::path(argv[1]) / "graphics";
    std::filesystem::create_directories(dir);
    int failures = 0;
    for (const Picture& picture : pictures) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i) {
            wanted = wanted || std::strcmp(argv[i], picture.name) == 0;
        }
        if (!wanted) {
            continue;
        }
        std::string path = (dir / (std::string(picture.name) + ".png")).string();
        if (!tolva::paint::writePng(picture.paint(), path)) {
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
