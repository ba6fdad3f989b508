#include "preview/Rehearsal.h"

#include <cstdlib>
#include <unordered_set>

namespace tolva {

Rehearsal::Rehearsal(OpenAlDeck* speakers)
    : clock_(WorkModel{}, fps), state_(clock_), deck_(clock_, fps, speakers), show_(state_, deck_),
      canvas_(clock_)
{
    checkpoint(true);
}

IterationReport Rehearsal::step(Canvas* target, bool audible)
{
    const long k = next_;
    if (k % checkpointEvery == 0 && checkpoints_.count(k) == 0) {
        checkpoint(false);
    }
    clock_.startIteration(k);
    deck_.setIteration(k);
    deck_.setAudible(audible);
    canvas_.renderTo(target);
    IterationReport report = show_.iterate(canvas_, false);
    canvas_.renderTo(nullptr);
    deck_.setAudible(false);
    ++next_;
    if (!report.scenes.empty()) {
        scene_ = report.scenes.back();
    }
    if (ended() && !last_) {
        last_ = k;
    }
    for (int scene : report.scenes) {
        if (!sceneStarts_[static_cast<std::size_t>(scene)]) {
            sceneStarts_[static_cast<std::size_t>(scene)] = k;
            pinSceneStart(k);
        }
    }
    return report;
}

void Rehearsal::goTo(long k, const std::function<bool()>& poll)
{
    if (last_ && k > *last_ + 1) {
        k = *last_ + 1;
    }
    const ShowSnapshot* from = atOrBefore(k);
    if (k < next_ || (from != nullptr && from->iteration() > next_)) {
        restore(*from);
    }
    while (next_ < k && !ended()) {
        step(nullptr, false);
        if (poll && next_ % 64 == 0 && !poll()) {
            return;
        }
    }
}

std::optional<long> Rehearsal::sceneStart(int scene) const
{
    return sceneStarts_[static_cast<std::size_t>(scene)];
}

void Rehearsal::checkpoint(bool kept)
{
    auto snapshot = std::make_unique<ShowSnapshot>(show_, clock_, next_);
    checkpoints_[next_] = Checkpoint{std::move(snapshot), kept};
    std::size_t periodic = 0;
    for (const auto& entry : checkpoints_) {
        periodic += entry.second.kept ? 0 : 1;
    }
    if (periodic <= periodicKept) {
        return;
    }
    auto farthest = checkpoints_.end();
    for (auto at = checkpoints_.begin(); at != checkpoints_.end(); ++at) {
        if (!at->second.kept &&
            (farthest == checkpoints_.end() || std::labs(at->first - next_) > std::labs(farthest->first - next_))) {
            farthest = at;
        }
    }
    checkpoints_.erase(farthest);
}

void Rehearsal::restore(const ShowSnapshot& snapshot)
{
    snapshot.restore(show_, clock_);
    next_ = snapshot.iteration();
    deck_.forgetFrom(next_);
    canvas_.reopen();
}

const ShowSnapshot* Rehearsal::atOrBefore(long k) const
{
    auto at = checkpoints_.upper_bound(k);
    return at == checkpoints_.begin() ? nullptr : std::prev(at)->second.snapshot.get();
}

// A scene's first iteration is known only once it has run: go back to the checkpoint before it,
// run up to its head again (unseen, unheard: the same frames and cues) and keep that head.
void Rehearsal::pinSceneStart(long k)
{
    if (auto found = checkpoints_.find(k); found != checkpoints_.end()) {
        found->second.kept = true;
        return;
    }
    const long resume = next_;
    restore(*atOrBefore(k));
    while (next_ < k) {
        step(nullptr, false);
    }
    checkpoint(true);
    while (next_ < resume) {
        step(nullptr, false);
    }
}

std::size_t Rehearsal::checkpointBytes() const
{
    std::unordered_set<const void*> seen;
    std::size_t bytes = 0;
    for (const auto& entry : checkpoints_) {
        bytes += entry.second.snapshot->bytes(seen);
    }
    return bytes;
}

} // namespace tolva
