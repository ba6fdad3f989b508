#include "sound/SoundDeck.h"

#include "sound/SoundFile.h"

#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>

#include <array>
#include <memory>

namespace tolva {

namespace {
std::size_t slot(SoundId id) { return static_cast<std::size_t>(id); }
} // namespace

// Buffers and sounds are created when start-up reaches them; each lives until the deck goes.
struct OpenAlDeck::Slots {
    std::array<std::unique_ptr<sf::SoundBuffer>, soundCount> buffers;
    std::array<std::unique_ptr<sf::Sound>, soundCount> sounds;
};

OpenAlDeck::OpenAlDeck() : slots_(std::make_unique<Slots>()) {}

OpenAlDeck::~OpenAlDeck()
{
    // Sounds before their buffers, last created first.
    for (std::size_t k = soundCount; k-- > 0;) {
        slots_->sounds[k].reset();
    }
    for (std::size_t k = soundCount; k-- > 0;) {
        slots_->buffers[k].reset();
    }
}

void OpenAlDeck::loadSamples(SoundId id, const std::vector<sf::Int16>& samples,
                             unsigned sampleRate)
{
    auto& buffer = slots_->buffers[slot(id)];
    buffer = std::make_unique<sf::SoundBuffer>();
    buffer->loadFromSamples(samples.data(), samples.size(), 1, sampleRate);
}

void OpenAlDeck::loadFile(SoundId id, const std::string& path)
{
    auto& buffer = slots_->buffers[slot(id)];
    buffer = std::make_unique<sf::SoundBuffer>();
    // A missing file, one cut short or one that claims more than it holds leaves the buffer
    // empty and its sound silent.
    if (soundFileHoldsWhatItDeclares(path)) {
        buffer->loadFromFile(path);
    }
}

void OpenAlDeck::createSound(SoundId id, bool loop, float pitch)
{
    auto& sound = slots_->sounds[slot(id)];
    sound = std::make_unique<sf::Sound>();
    if (const auto& buffer = slots_->buffers[slot(id)]) {
        sound->setBuffer(*buffer);
    }
    sound->setLoop(loop);
    if (pitch != 1.0f) {
        sound->setPitch(pitch);
    }
}

void OpenAlDeck::play(SoundId id)
{
    if (const auto& sound = slots_->sounds[slot(id)]) {
        sound->play();
    }
}

void OpenAlDeck::playFrom(SoundId id, sf::Time offset)
{
    if (const auto& sound = slots_->sounds[slot(id)]) {
        // Stopped, the source takes the offset and starts from it when played.
        sound->stop();
        sound->setPlayingOffset(offset);
        sound->play();
    }
}

void OpenAlDeck::stopAll()
{
    for (const auto& sound : slots_->sounds) {
        if (sound) {
            sound->stop();
        }
    }
}

void OpenAlDeck::stop(SoundId id)
{
    if (const auto& sound = slots_->sounds[slot(id)]) {
        sound->stop();
    }
}

} // namespace tolva
