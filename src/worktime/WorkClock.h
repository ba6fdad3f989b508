#pragma once

#include "show/TimeSource.h"

#include <cstdint>

namespace tolva {

// How much virtual time the capture lets pass inside one iteration of the frame loop. The show's
// own clocks measure work: scene 2's square cascade reads its clock at every cell and moves by
// what passed between readings, and after a hand-over the new scene's midFrameDelta holds the
// previous scene's whole step. On bare virtual time nothing would pass inside an iteration and the
// cascade would stand still, so every clock reading and every drawing operation costs a fixed
// amount instead.
//
// The amounts come from the show's own steps timed on a steady clock (a 2.1 GHz core, the quickest
// of many runs):
// scene 2's cascade grows by about 0.014 a frame, ten times the 1.4 ms its updates take, that is
// about 90 ns for each of its 15376 cells; the scenes' steps take 50 to 150 ns per shape they draw.
//  - A reading stands for the work between two readings of the cascade: the cascade then grows by
//    10 x 15376 x 89 ns a frame whether the scene reads its clock once or twice per cell (only the
//    time between a restart and the next reading counts, and that holds on whole microseconds only
//    if the readings do not fall into step with them: 89 ns, not 90, whose double divides 1000 ns
//    into a pattern that counts 4 microseconds in 9).
//  - A shape stands for its update and its drawing, so a scene's step lasts about as long as it
//    does on the screen, and so does the midFrameDelta of the scene after it in a hand-over.
//  - A present stands for the hand-over to the GPU without waiting for the vertical blank.
// In an ordinary frame this leaves midFrameDelta at a reading or two (it reads 0 us, as on a fast
// machine), and a whole iteration well within a 60 Hz frame (scene 2, the busiest: about 6 ms).
struct WorkModel {
    // Start-up of the show with its window, about a quarter of a second on a desktop: it counts
    // into sceneTime (the voice switches of scene 1) and warpTime, as the first frameDelta.
    std::int64_t startupNs = 250'000'000;  // before the head of the first iteration
    std::int64_t readingNs = 89;           // each reading of a clock (restart or elapsed time)
    std::int64_t shapeNs = 100;            // each circle or square drawn
    std::int64_t textNs = 20'000;          // each text or sprite drawn
    std::int64_t clearNs = 100'000;        // each clear
    std::int64_t presentNs = 1'000'000;    // each display
};

// Virtual time in nanoseconds, read as SFML reads a steady clock: whole microseconds, truncated.
// The head of iteration k lies exactly k/fps after the first head; inside an iteration time
// moves only by the costs of the model.
class WorkClock final : public TimeSource {
public:
    WorkClock(const WorkModel& model, int fps);

    // A reading: the time now, after which the reading's own cost passes.
    sf::Time now() override;

    // Virtual time without a reading (for logs): costs nothing.
    sf::Time peek() const;
    std::int64_t nanoseconds() const { return ns_; }

    void spend(std::int64_t ns) { ns_ += ns; }

    // Moves to the head of iteration k. If the previous iteration's work ran past that head the
    // clock stays where it is (time never runs back) and the overrun is counted.
    void startIteration(long k);
    std::int64_t headNs(long k) const;
    long overruns() const { return overruns_; }

    const WorkModel& model() const { return model_; }

private:
    WorkModel model_;
    int fps_;
    std::int64_t ns_ = 0;
    long overruns_ = 0;
};

} // namespace tolva
