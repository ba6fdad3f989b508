#pragma once

#include "capture/Mixer.h"
#include "worktime/WorkClock.h"
#include "sound/SoundDeck.h"

#include <array>
#include <string>
#include <vector>

namespace tolva {

// A sound cue as the capture saw it: which iteration of the frame loop (one video frame each)
// and the virtual time at which the show asked for it.
struct Cue {
    SoundId id;
    bool play;
    long iteration;
    sf::Time time;
};

// The capture's sound deck: keeps the samples the show loads at start-up and notes every play
// and stop, to be mixed offline afterwards.
class CaptureDeck final : public SoundDeck {
public:
    explicit CaptureDeck(const WorkClock& clock) : clock_(clock) {}

    void loadSamples(SoundId id, const std::vector<sf::Int16>& samples,
                     unsigned sampleRate) override;
    void loadFile(SoundId id, const std::string& path) override;
    void createSound(SoundId id, bool loop, float pitch) override;
    void play(SoundId id) override;
    void stop(SoundId id) override;

    // The iteration the following cues belong to.
    void setIteration(long k) { iteration_ = k; }
    // Forgets the cues of iteration k and later, for a show taken back to the head of k.
    void forgetFrom(long k);

    const std::vector<Cue>& cues() const { return cues_; }
    const SoundClip& clip(SoundId id) const { return voices_[slot(id)].clip; }
    // Files not used, each with why ("sounds/klez.wav (could not be read)"): loaded by the show's
    // rules, so their sounds are silent in the show as well.
    const std::vector<std::string>& unused() const { return unused_; }

    // Every playing of the show's sounds, on the output's sample clock, with cues of video frame
    // k sounding from the frame's first sample. Only cues before iteration `until` count.
    std::vector<Playback> playbacks(int fps, long until) const;

private:
    struct Voice {
        SoundClip clip;
        bool created = false;
        bool loop = false;
        float pitch = 1.0f;
    };
    static std::size_t slot(SoundId id) { return static_cast<std::size_t>(id); }
    void note(SoundId id, bool play);

    const WorkClock& clock_;
    std::array<Voice, soundCount> voices_;
    std::vector<Cue> cues_;
    std::vector<std::string> unused_;
    long iteration_ = 0;
};

} // namespace tolva
