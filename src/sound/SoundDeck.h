#pragma once

#include <SFML/Config.hpp>
#include <SFML/System/Time.hpp>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tolva {

// The show's six sounds, in the order they are created.
enum class SoundId { voiceOne, voiceTwo, voiceThree, voiceFour, klezSound, endSound };
constexpr std::size_t soundCount = 6;

const char* soundName(SoundId id);

// Scenes start and stop sounds through a deck; start-up fills it. The show's deck plays through
// OpenAL; the recorder's only notes what was asked of it.
class SoundDeck {
public:
    virtual ~SoundDeck() = default;

    // Start-up: fill a sound's buffer, then create the sound on it with its loop and pitch.
    virtual void loadSamples(SoundId id, const std::vector<sf::Int16>& samples,
                             unsigned sampleRate) = 0;
    virtual void loadFile(SoundId id, const std::string& path) = 0;
    virtual void createSound(SoundId id, bool loop, float pitch) = 0;

    virtual void play(SoundId id) = 0;
    virtual void stop(SoundId id) = 0;
};

// The deck of the show: six buffers and six sf::Sound objects.
class OpenAlDeck final : public SoundDeck {
public:
    OpenAlDeck();
    ~OpenAlDeck() override;
    OpenAlDeck(const OpenAlDeck&) = delete;
    OpenAlDeck& operator=(const OpenAlDeck&) = delete;

    void loadSamples(SoundId id, const std::vector<sf::Int16>& samples,
                     unsigned sampleRate) override;
    void loadFile(SoundId id, const std::string& path) override;
    void createSound(SoundId id, bool loop, float pitch) override;
    void play(SoundId id) override;
    void stop(SoundId id) override;

    // For tools that move about in the show: start a sound part of the way into its buffer
    // (offset in the buffer's own time, whatever the pitch), and silence every sound.
    void playFrom(SoundId id, sf::Time offset);
    void stopAll();

private:
    struct Slots;
    std::unique_ptr<Slots> slots_;
};

} // namespace tolva
