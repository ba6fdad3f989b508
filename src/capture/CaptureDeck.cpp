#include "capture/CaptureDeck.h"

#include "sound/SoundFile.h"

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
    // The show's rules: what SFML's sf::SoundBuffer refuses plays silence there, so here too.
    SoundClip& clip = voices_[slot(id)].clip;
    clip = SoundClip{};
    auto unused = [&](const char* why) { unused_.push_back(path + " (" + why + ")"); };
    if (!soundFileHoldsWhatItDeclares(path)) {
        unused("holds fewer samples than its header declares");
        return;
    }
    sf::InputSoundFile file;
    if (!file.openFromFile(path)) {
        unused("could not be read");
        return;
    }
    const unsigned channels = file.getChannelCount();
    if ((channels != 1 && channels != 2) || file.getSampleRate() == 0) {
        unused("is not mono or stereo sound");
        return;
    }
    // Read in steps, so that memory follows what the file holds, whatever its header claims.
    std::vector<sf::Int16> samples;
    std::vector<sf::Int16> step(1 << 16);
    while (const sf::Uint64 read = file.read(step.data(), step.size())) {
        samples.insert(samples.end(), step.begin(), step.begin() + static_cast<std::ptrdiff_t>(read));
    }
    if (samples.empty() || samples.size() != file.getSampleCount()) {
        unused(samples.empty() ? "holds no sound" : "holds fewer samples than its header declares");
        return;
    }
    clip.channels = channels;
    clip.sampleRate = file.getSampleRate();
    clip.samples = std::move(samples);
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

void CaptureDeck::forgetFrom(long k)
{
    while (!cues_.empty() && cues_.back().iteration >= k) {
        cues_.pop_back();
    }
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
