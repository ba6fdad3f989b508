#pragma once

#include "sound/SoundDeck.h"

#include <array>

namespace tolva {

class WorkClock;

// The show's six sounds in the browser, through the page's Web Audio (page.js): the voices from
// their samples, the two tracks as the page decoded them before the show started (a file that is
// missing or does not decode is silent). Loop and pitch as natively.
//
// Made with a work clock, the deck plays nothing while the show runs up on it: it notes which
// sounds would be playing and since when, and goLive() starts them where they would be by then.
class WebDeck final : public SoundDeck {
public:
    explicit WebDeck(const WorkClock* runUp = nullptr) : runUp_(runUp) {}

    void loadSamples(SoundId id, const std::vector<sf::Int16>& samples, unsigned sampleRate) override;
    void loadFile(SoundId id, const std::string& path) override;
    void createSound(SoundId id, bool loop, float pitch) override;
    void play(SoundId id) override;
    void stop(SoundId id) override;

    // From now on sounds are heard; those the run-up left playing start part of the way in.
    void goLive();
    bool live() const { return runUp_ == nullptr; }

private:
    struct Slot {
        float pitch = 1.0f;
        bool playing = false;  // in the run-up
        double since = 0;      // the run-up's seconds when it started
    };
    double runUpSeconds() const;

    const WorkClock* runUp_;
    std::array<Slot, soundCount> slots_{};
};

} // namespace tolva
