#pragma once

#include "driver/Show.h"
#include "show/TimeSource.h"
#include "web/WebCanvas.h"
#include "web/WebDeck.h"
#include "worktime/WorkCanvas.h"
#include "worktime/WorkClock.h"

#include <array>

namespace tolva {

// Each scene's steps and the time they took, and the frames shown: what the page reports at the
// end of a live run.
class StepTimes {
public:
    void note(const IterationReport& report, double ms);
    void frameShown(double now);
    // The lines the page writes to the console.
    void print() const;

private:
    std::array<double, 9> ms_{};
    std::array<long, 9> steps_{};
    long frames_ = 0;
    double first_ = 0;
    double last_ = 0;
};

// One way of running the show in the page. Made as soon as the page has loaded, it gets ready
// while the page waits for the gesture (ready() once an animation frame until it returns true),
// then begin() is called on the gesture and frame() once an animation frame until it returns
// false.
class Run {
public:
    virtual ~Run() = default;
    virtual bool ready() { return true; }
    virtual void begin() {}
    virtual bool frame(bool escapeDown) = 0;
};

// The steady clock, stopped while the page waits for the gesture: the show's clocks then count
// its start-up and what follows the gesture, as natively they count the start-up and what follows.
class HeldTimeSource final : public TimeSource {
public:
    sf::Time now() override { return held_ ? heldAt_ : clock_.getElapsedTime() - pause_; }
    void hold();
    void release();

private:
    sf::Clock clock_;
    sf::Time pause_;
    sf::Time heldAt_;
    bool held_ = false;
};

// The show as natively: on the steady clock, each callback runs iterations until one has presented
// a frame. Its start-up runs when it is made, before the gesture, so that the first frame follows
// the gesture at once.
class LiveRun final : public Run {
public:
    explicit LiveRun(WebCanvas& canvas) : canvas_(canvas) { time_.hold(); }
    void begin() override { time_.release(); }
    bool frame(bool escapeDown) override;

private:
    WebCanvas& canvas_;
    HeldTimeSource time_;
    ShowState state_{time_};
    WebDeck deck_;
    Show show_{state_, deck_};
    StepTimes times_;
};

// The show on the capture's virtual time, each iteration k starting k/60 s after the first: run
// up, unseen and unheard, to the iteration of the second asked for (the first frame the capture
// writes from it), then either that frame alone (a still) or live from there, the iterations paced
// by the steady clock as the preview paces them.
class RehearsedRun final : public Run {
public:
    static constexpr int fps = 60;

    RehearsedRun(WebCanvas& canvas, double seconds, bool still);
    // The run-up, a slice a callback.
    bool ready() override;
    bool frame(bool escapeDown) override;

private:
    // Runs the next iteration, drawn on the page's canvas or not; false once the show has ended.
    bool step(bool drawn, bool escapeDown = false);
    bool live(bool escapeDown);
    void anchor();

    WebCanvas& canvas_;
    double seconds_;
    long target_;
    bool still_;
    WorkClock clock_{WorkModel{}, fps};
    ShowState state_{clock_};
    WebDeck deck_{&clock_};
    Show show_{state_, deck_};
    WorkCanvas work_{clock_};
    long next_ = 0;
    long shown_ = -1;
    long anchor_ = 0;
    double anchorTime_ = 0;  // ms on the page's clock
    bool ended_ = false;
    StepTimes times_;
};

} // namespace tolva
