#include "sound/SoundDeck.h"

#include <array>

namespace tolva {

const char* soundName(SoundId id)
{
    static const std::array<const char*, soundCount> names = {
        "voiceOne", "voiceTwo", "voiceThree", "voiceFour", "klezSound", "endSound"};
    return names[static_cast<std::size_t>(id)];
}

} // namespace tolva
