#pragma once

#include <SFML/System/Clock.hpp>
#include <SFML/System/Time.hpp>

namespace tolva {

// Every clock of the show reads one time source: the steady clock in the show, a scripted one in
// the tools and tests, so that the same frame loop runs on real or virtual time.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual sf::Time now() = 0;
};

class SteadyTimeSource final : public TimeSource {
public:
    sf::Time now() override { return clock_.getElapsedTime(); }

private:
    sf::Clock clock_;
};

// Virtual time: it only moves when told to.
class ManualTimeSource final : public TimeSource {
public:
    sf::Time now() override { return now_; }
    void advance(sf::Time by) { now_ += by; }
    void set(sf::Time to) { now_ = to; }

private:
    sf::Time now_ = sf::Time::Zero;
};

// The show's sf::Clock, on a chosen time source.
class ShowClock {
public:
    explicit ShowClock(TimeSource& source) : source_(&source), start_(source.now()) {}

    sf::Time getElapsedTime() const { return source_->now() - start_; }

    sf::Time restart()
    {
        const sf::Time now = source_->now();
        const sf::Time elapsed = now - start_;
        start_ = now;
        return elapsed;
    }

    // For the inspector and the tests: make the clock read `elapsed` now.
    void setElapsed(sf::Time elapsed) { start_ = source_->now() - elapsed; }

private:
    TimeSource* source_;
    sf::Time start_;
};

} // namespace tolva
