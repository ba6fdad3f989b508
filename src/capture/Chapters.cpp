#include "capture/Chapters.h"

#include "capture/Progress.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace tolva {

const char* chapterTitle(int scene)
{
    static const std::array<const char*, 8> titles = {
        "Spiral circle grid, credits, title", "Circle columns and square cascade", "Greetings scroller",
        "Swirl field", "Polygon grids", "Rotating square lattice", "Heptagon vortex and field", "Ending"};
    return titles.at(static_cast<std::size_t>(scene - 1));
}

void noteFrame(std::vector<Chapter>& chapters, long frame, const std::vector<int>& scenes)
{
    // An iteration that presented nothing leaves the last picture on the screen, and so its scene.
    const int shown = !scenes.empty() ? std::max(1, scenes.back())
                      : !chapters.empty() ? chapters.back().scene : 1;
    if (chapters.empty() || chapters.back().scene != shown) {
        chapters.push_back({shown, frame});
    }
}

JsonLine chapterLogLine(const std::vector<Chapter>& chapters, std::size_t n, long frames,
                        long firstIteration, int fps)
{
    const long first = chapters[n].firstFrame;
    const long end = n + 1 < chapters.size() ? chapters[n + 1].firstFrame : frames;
    return JsonLine()
        .add("chapter", static_cast<int>(n + 1))
        .add("scene", chapters[n].scene)
        .add("title", chapterTitle(chapters[n].scene))
        .add("frame", first)
        .add("iteration", firstIteration + first)
        .add("start", static_cast<double>(first) / fps)
        .add("end", static_cast<double>(end) / fps);
}

std::string ffmetadata(const std::vector<Chapter>& chapters, long frames, int fps)
{
    std::string text = ";FFMETADATA1\n";
    for (std::size_t k = 0; k < chapters.size(); ++k) {
        const long end = k + 1 < chapters.size() ? chapters[k + 1].firstFrame : frames;
        text += fmt::format("[CHAPTER]\nTIMEBASE=1/{}\nSTART={}\nEND={}\ntitle={}\n", fps,
                            chapters[k].firstFrame, end, chapterTitle(chapters[k].scene));
    }
    return text;
}

std::string descriptionLines(const std::vector<Chapter>& chapters, int fps)
{
    std::string lines;
    for (const Chapter& chapter : chapters) {
        lines += fmt::format("{} {}\n", clockText(static_cast<double>(chapter.firstFrame / fps)),
                             chapterTitle(chapter.scene));
    }
    return lines;
}

} // namespace tolva
