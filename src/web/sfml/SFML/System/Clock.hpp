#pragma once

#include <SFML/System/Time.hpp>

namespace sf {

// A steady clock: the page's performance clock in the browser, the steady clock elsewhere.
class Clock {
public:
    Clock();
    Time getElapsedTime() const;
    Time restart();

private:
    Time m_startTime;
};

} // namespace sf
