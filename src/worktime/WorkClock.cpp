#include "worktime/WorkClock.h"

#include <stdexcept>

namespace tolva {

WorkClock::WorkClock(const WorkModel& model, int fps) : model_(model), fps_(fps)
{
    if (fps <= 0) {
        throw std::invalid_argument("frame rate must be positive");
    }
}

sf::Time WorkClock::now()
{
    const sf::Time reading = peek();
    ns_ += model_.readingNs;
    return reading;
}

sf::Time WorkClock::peek() const { return sf::microseconds(ns_ / 1000); }

std::int64_t WorkClock::headNs(long k) const
{
    // Exact in integers: k/fps seconds, floored to the nanosecond.
    return model_.startupNs + static_cast<std::int64_t>(k) * 1'000'000'000 / fps_;
}

void WorkClock::startIteration(long k)
{
    const std::int64_t head = headNs(k);
    if (head < ns_) {
        ++overruns_;
        return;
    }
    ns_ = head;
}

} // namespace tolva
