#pragma once

#include "render/Json.h"

#include <string>
#include <vector>

namespace tolva {

// The scenes as chapters of a video: each begins at the first frame the scene's own picture is
// the one shown (in a hand-over iteration the new scene presents last, so its first frame is the
// video's). The lead-in's black frames open the first scene's chapter: video sites want a first
// chapter at 0:00 and ignore every chapter if one lasts under ten seconds, and the lead-in lasts
// a third of a second.
struct Chapter {
    int scene;         // 1 to 8
    long firstFrame;   // in the video written
};

// The scene's name, as the README's scene table gives it, for scenes 1 to 8.
const char* chapterTitle(int scene);

// Notes frame `frame` of the video, whose iteration ran `scenes` (in the order they presented).
void noteFrame(std::vector<Chapter>& chapters, long frame, const std::vector<int>& scenes);

// The chapters of a video of `frames` frames as an ffmetadata file, for ffmpeg's -map_chapters.
std::string ffmetadata(const std::vector<Chapter>& chapters, long frames, int fps);

// Chapter n's line in a capture's log, for a video of `frames` frames whose first is iteration
// `firstIteration` of the frame loop.
JsonLine chapterLogLine(const std::vector<Chapter>& chapters, std::size_t n, long frames,
                        long firstIteration, int fps);

// The chapters as video sites read them from a description, "0:00 Title" a line: the start in
// whole seconds, rounded down, so the scene's first frame always lies in its chapter's first second.
std::string descriptionLines(const std::vector<Chapter>& chapters, int fps);

} // namespace tolva
