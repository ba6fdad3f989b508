#include "web/WebDeck.h"

#include "worktime/WorkClock.h"

#include <emscripten.h>

namespace tolva {

// The page's sound functions (page.js); each does nothing without Web Audio.
EM_JS(void, tolva_sound_samples, (int id, const short* samples, int count, int rate), {
    Module.tolvaSound.samples(id, HEAP16.subarray(samples >> 1, (samples >> 1) + count), rate);
});
EM_JS(void, tolva_sound_file, (int id, const char* path), {
    Module.tolvaSound.file(id, UTF8ToString(path));
});
EM_JS(void, tolva_sound_create, (int id, int loop, double pitch), {
    Module.tolvaSound.create(id, loop !== 0, pitch);
});
EM_JS(void, tolva_sound_play, (int id, double offset), {
    Module.tolvaSound.play(id, offset);
});
EM_JS(void, tolva_sound_stop, (int id), {
    Module.tolvaSound.stop(id);
});

namespace {
int index(SoundId id) { return static_cast<int>(id); }
} // namespace

void WebDeck::loadSamples(SoundId id, const std::vector<sf::Int16>& samples, unsigned sampleRate)
{
    tolva_sound_samples(index(id), samples.data(), static_cast<int>(samples.size()), static_cast<int>(sampleRate));
}

void WebDeck::loadFile(SoundId id, const std::string& path)
{
    tolva_sound_file(index(id), path.c_str());
}

void WebDeck::createSound(SoundId id, bool loop, float pitch)
{
    slots_[static_cast<std::size_t>(id)].pitch = pitch;
    tolva_sound_create(index(id), loop ? 1 : 0, static_cast<double>(pitch));
}

double WebDeck::runUpSeconds() const
{
    return static_cast<double>(runUp_->peek().asMicroseconds()) / 1e6;
}

void WebDeck::play(SoundId id)
{
    if (live()) {
        tolva_sound_play(index(id), 0.0);
        return;
    }
    Slot& slot = slots_[static_cast<std::size_t>(id)];
    slot.playing = true;  // a sound played again starts again from its beginning
    slot.since = runUpSeconds();
}

void WebDeck::stop(SoundId id)
{
    if (live()) {
        tolva_sound_stop(index(id));
        return;
    }
    slots_[static_cast<std::size_t>(id)].playing = false;
}

void WebDeck::goLive()
{
    if (live()) {
        return;
    }
    const double now = runUpSeconds();
    runUp_ = nullptr;
    for (std::size_t k = 0; k < soundCount; ++k) {
        const Slot& slot = slots_[k];
        if (slot.playing) {
            // The offset in the sound's own time: a pitched sound moves through it faster.
            tolva_sound_play(static_cast<int>(k), (now - slot.since) * static_cast<double>(slot.pitch));
        }
    }
}

} // namespace tolva
