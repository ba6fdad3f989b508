#include "driver/Show.h"

#include "driver/StartUp.h"

#include <string>

namespace tolva {

Show::Show(ShowState& showState, SoundDeck& soundDeck)
    : state(showState), deck(soundDeck), scenes(*showState.time)
{
    startUp(state, deck, assets, scenes);
}

NamedValues Show::named()
{
    NamedValues values;
    state.name(values);
    scenes.name(values);
    return values;
}

} // namespace tolva
