#pragma once

#include "worktime/WorkCanvas.h"
#include "worktime/WorkClock.h"
#include "driver/Show.h"
#include "preview/PreviewDeck.h"
#include "preview/ShowSnapshot.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace tolva {

// The show on the capture's virtual time, one iteration at a time, able to go back: iteration k
// starts exactly k/fps after the first, so every frame is the one the capture writes for that
// moment, whether it is drawn or not. Checkpoints of the whole show are kept at the head of
// iteration 0, of every scene's first iteration, and every few seconds of show time as the
// iterations pass (a bounded number of these, the ones farthest from where the show stands
// dropped first); going to an iteration resumes from the nearest checkpoint at or before it.
class Rehearsal {
public:
    static constexpr int fps = 60;
    static constexpr long checkpointEvery = 5 * fps;  // iterations
    static constexpr std::size_t periodicKept = 48;

    // speakers: null to stay silent. Needs an X display (the show's fonts and textures).
    explicit Rehearsal(OpenAlDeck* speakers);

    // Runs the next iteration, drawing on `target` (null: not drawn), its cues heard or not.
    IterationReport step(Canvas* target, bool audible);
    // To the head of iteration k, or to the show's end if it comes first, unseen and unheard.
    // `poll` is asked now and then whether to go on (false: stop where it stands).
    void goTo(long k, const std::function<bool()>& poll = {});

    long next() const { return next_; }            // the next iteration to run
    bool ended() const { return !canvas_.isOpen(); }
    std::optional<long> lastIteration() const { return last_; }  // once the end was passed
    std::optional<long> sceneStart(int scene) const;              // once the scene was passed
    // The scene whose frame the last iteration presented last.
    int scene() const { return scene_; }
    double seconds(long k) const { return static_cast<double>(k) / fps; }

    Show& show() { return show_; }
    PreviewDeck& deck() { return deck_; }
    std::size_t checkpointCount() const { return checkpoints_.size(); }
    std::size_t checkpointBytes() const;

private:
    struct Checkpoint {
        std::unique_ptr<ShowSnapshot> snapshot;
        bool kept;  // the start or a scene start: never dropped
    };
    void checkpoint(bool kept);
    void restore(const ShowSnapshot& snapshot);
    const ShowSnapshot* atOrBefore(long k) const;
    void pinSceneStart(long k);

    WorkClock clock_;
    ShowState state_;
    PreviewDeck deck_;
    Show show_;
    WorkCanvas canvas_;
    long next_ = 0;
    int scene_ = 0;
    std::optional<long> last_;
    std::array<std::optional<long>, 9> sceneStarts_{};
    std::map<long, Checkpoint> checkpoints_;
};

} // namespace tolva
