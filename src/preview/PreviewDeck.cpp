#include "preview/PreviewDeck.h"

namespace tolva {

PreviewDeck::PreviewDeck(const WorkClock& clock, int fps, OpenAlDeck* speakers)
    : cues_(clock), fps_(fps), speakers_(speakers)
{
}

void PreviewDeck::loadSamples(SoundId id, const std::vector<sf::Int16>& samples, unsigned sampleRate)
{
    cues_.loadSamples(id, samples, sampleRate);
    if (speakers_ != nullptr) {
        speakers_->loadSamples(id, samples, sampleRate);
    }
}

void PreviewDeck::loadFile(SoundId id, const std::string& path)
{
    cues_.loadFile(id, path);
    if (speakers_ != nullptr) {
        speakers_->loadFile(id, path);
    }
}

void PreviewDeck::createSound(SoundId id, bool loop, float pitch)
{
    cues_.createSound(id, loop, pitch);
    if (speakers_ != nullptr) {
        speakers_->createSound(id, loop, pitch);
    }
}

void PreviewDeck::play(SoundId id)
{
    cues_.play(id);
    if (audible_ && speakers_ != nullptr) {
        speakers_->play(id);
    }
}

void PreviewDeck::stop(SoundId id)
{
    cues_.stop(id);
    if (audible_ && speakers_ != nullptr) {
        speakers_->stop(id);
    }
}

std::vector<SoundAt> PreviewDeck::playingAt(long k) const
{
    std::vector<SoundAt> out;
    const std::int64_t n = sampleAt(k, fps_);
    for (const Playback& play : cues_.playbacks(fps_, k)) {
        const auto frames = static_cast<std::int64_t>(play.clip->frames());
        if (n < play.start || n >= play.stop || frames == 0) {
            continue;
        }
        const std::int64_t step = resampleStep(play.clip->sampleRate, play.pitch);
        const ReadPosition read = readPosition(play, frames, step, n);
        if (read.playedOut) {
            continue;
        }
        // The read position in the clip's frames, fixed point, to the nearest microsecond of the
        // clip (sf::Time's unit).
        const std::int64_t position = (read.frame << fractionBits) + read.fraction;
        const std::int64_t unit = std::int64_t{play.clip->sampleRate} << fractionBits;
        const std::int64_t us = (position * 1'000'000 + unit / 2) / unit;
        for (std::size_t s = 0; s < soundCount; ++s) {
            const auto id = static_cast<SoundId>(s);
            if (&cues_.clip(id) == play.clip) {
                out.push_back({id, sf::microseconds(us)});
            }
        }
    }
    return out;
}

void PreviewDeck::placeAt(long k)
{
    silence();
    if (speakers_ != nullptr) {
        for (const SoundAt& sound : playingAt(k)) {
            speakers_->playFrom(sound.id, sound.offset);
        }
    }
}

void PreviewDeck::silence()
{
    if (speakers_ != nullptr) {
        speakers_->stopAll();
    }
}

} // namespace tolva
