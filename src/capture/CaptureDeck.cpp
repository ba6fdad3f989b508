#include "capture/CaptureDeck.h"

#include <SFML/Audio/InputSoundFile.hpp>

namespace tolva {

void CaptureDeck::loadSamples(SoundId id, const std::vector<sf::Int16>& samples, unsigned sampleRate)
{
    SoundClip& clip = voices_[slot(id)].clip;
    clip.channels = 1;
    clip.sampleRate = sampleRate;
    clip.samples = samples;
}

void CaptureDeck::loadFile(SoundId id, const std::string& path)
{
    SoundClip& clip = voices_[slot(id)].clip;
    clip = SoundClip{};
    sf::InputSoundFile file;
    if (!file.openFromFile(path) || file.getChannelCount() == 0) {
        unreadable_.push_back(path);  // an empty buffer: the sound plays silence
        return;
    }
    clip.channels = file.getChannelCount();
    clip.sampleRate = file.getSampleRate();
    clip.samples.resize(static_cast<std::size_t>(file.getSampleCount()));
    const sf::Uint64 read = file.read(clip.samples.data(), clip.samples.size());
    clip.samples.resize(static_cast<std::size_t>(read));
}

void CaptureDeck::createSound(SoundId id, bool loop, float pitch)
{
    Voice& voice = voices_[slot(id)];
    voice.created = true;
    voice.loop = loop;
    voice.pitch = pitch;
}

void CaptureDeck::note(SoundId id, bool play)
{
    if (!voices_[slot(id)].created) {
        return;  // the show's deck has no sound to start or stop yet either
    }
    cues_.push_back({id, play, iteration_, clock_.peek()});
}

void CaptureDeck::play(SoundId id) { note(id, true); }

void CaptureDeck::stop(SoundId id) { note(id, false); }

std::vector<Playback> CaptureDeck::playbacks(int fps, long until) const
{
    std::vector<Playback> out;
    std::array<long, soundCount> playing;  // index into out, or -1
    playing.fill(-1);
    for (const Cue& cue : cues_) {
        if (cue.iteration >= until) {
            break;
        }
        const std::size_t s = slot(cue.id);
        const std::int64_t at = sampleAt(cue.iteration, fps);
        // Stopping, or playing a sound that plays already, ends the current playing: play()
        // starts a sound again from its beginning.
        if (playing[s] >= 0) {
            Playback& current = out[static_cast<std::size_t>(playing[s])];
            current.stop = std::min(current.stop, at);
            playing[s] = -1;
        }
        if (cue.play) {
            const Voice& voice = voices_[s];
            playing[s] = static_cast<long>(out.size());
            out.push_back({&voice.clip, voice.loop, voice.pitch, at, neverStopped});
        }
    }
    return out;
}

} // namespace tolva
