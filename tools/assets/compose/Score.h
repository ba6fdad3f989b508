#pragma once

// The show's two pieces of music.
//
// "klez": a klezmer suite in D freygish (D Eb F# G A Bb C) that starts with
// scene 2 and plays once; each of its sections begins where a scene begins, so
// the music turns with the picture:
//   doina      rubato clarinet over a held chord      scene 2
//   freylekhs  the dance                               scene 3, greetings
//   hora       a limping 3/4 in G misheberakh          scene 4
//   bulgar     faster, 3+3+2                           scene 5
//   tsimbl     the band drops out, a slow build        scene 6
//   finale     everything, fastest, a "tsu-tsu" end    scene 7
// "endOfTolva": a 30-second lullaby on the same mode for the ending, with the
// pool's drops and frogs, fading to nothing.

#include "Synth.h"

#include <string>
#include <vector>

namespace tolva::compose {

constexpr double klezmerSeconds = 254.0;
constexpr double closingSeconds = 30.0;

struct Section {
    std::string name;
    double start;   // seconds into the track
    double length;  // seconds
};

// The sections of the klezmer suite as the score times them.
std::vector<Section> klezmerSections();

// The mixed pieces (before mastering).
Buffer performKlezmer();
Buffer performClosing();

} // namespace tolva::compose
