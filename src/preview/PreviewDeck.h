#pragma once

#include "capture/CaptureDeck.h"
#include "sound/SoundDeck.h"

#include <SFML/System/Time.hpp>

#include <vector>

namespace tolva {

// A sound of the show as it stands at some moment: which, and how far into its buffer.
struct SoundAt {
    SoundId id;
    sf::Time offset;  // in the buffer's own time, whatever the pitch
};

// The preview's sound deck. Every cue is noted as the capture notes it, per iteration, so that at
// any moment it is known which sound plays since when, as the capture's offline mix has it; cues
// reach the speakers only while the preview is live. After a jump the sounds playing at the new
// moment start at the offsets the mix has there.
class PreviewDeck final : public SoundDeck {
public:
    // speakers: null for a preview without sound output.
    PreviewDeck(const WorkClock& clock, int fps, OpenAlDeck* speakers);

    void loadSamples(SoundId id, const std::vector<sf::Int16>& samples, unsigned sampleRate) override;
    void loadFile(SoundId id, const std::string& path) override;
    void createSound(SoundId id, bool loop, float pitch) override;
    void play(SoundId id) override;
    void stop(SoundId id) override;

    void setIteration(long k) { cues_.setIteration(k); }
    void forgetFrom(long k) { cues_.forgetFrom(k); }
    // Whether cues go to the speakers as they come.
    void setAudible(bool audible) { audible_ = audible; }

    // The sounds playing at the head of iteration k (from the cues of the iterations before it).
    std::vector<SoundAt> playingAt(long k) const;
    // Silence, then every sound playing at the head of iteration k started where it is then.
    void placeAt(long k);
    void silence();

private:
    CaptureDeck cues_;
    int fps_;
    OpenAlDeck* speakers_;
    bool audible_ = false;
};

} // namespace tolva
