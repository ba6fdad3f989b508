#pragma once

#include "sound/SoundDeck.h"

#include <SFML/Config.hpp>
#include <SFML/Graphics/Color.hpp>

#include <array>
#include <cstdint>
#include <vector>

namespace tolva {

constexpr std::size_t sampleCount = 44100;
constexpr unsigned sampleRate = 44100;
constexpr double phaseStep = 0.009977324263038548;  // 440 / 44100

using SampleArray = std::vector<sf::Int16>;

// A computed value to a stored sample: truncated to 32 bits, the low 16 bits kept. NaN and
// values beyond the 32-bit range store 0.
sf::Int16 wrapSample(double x);

struct FirstThree {
    SampleArray one, two, three;
};
FirstThree computeFirstThree();
SampleArray computeFourth();

// Start-up steps, in the order the start-up runs them. synthesizeFirstThree fills three buffers
// and creates their voices; synthesizeFourth fills the fourth buffer and returns its samples,
// whose colour the wandering line takes before createVoiceFour makes the voice.
void synthesizeFirstThree(SoundDeck& deck);
SampleArray synthesizeFourth(SoundDeck& deck);
void createVoiceFour(SoundDeck& deck);
void loadSoundFiles(SoundDeck& deck);

// The colour the wandering line takes from the fourth tone: its samples 1 to 3, as stored.
sf::Color wanderColour(const SampleArray& four);

} // namespace tolva
