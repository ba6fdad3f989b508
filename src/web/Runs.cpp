#include "web/Runs.h"

#include "worktime/FrameRange.h"

#include <emscripten.h>

#include <cstdio>
#include <optional>

namespace tolva {

// The page's own lines (page.js): progress of a run-up, and the end of the show.
EM_JS(void, tolva_page_note, (const char* text), { Module.tolvaPage.note(UTF8ToString(text)); });
EM_JS(void, tolva_page_ended, (), { Module.tolvaPage.ended(); });
EM_JS(void, tolva_page_first_frame, (), { Module.tolvaPage.firstFrame(); });

void StepTimes::note(const IterationReport& report, double ms)
{
    if (report.scenes.empty()) {
        return;
    }
    const auto scene = static_cast<std::size_t>(report.scenes.back());
    ms_[scene] += ms;
    ++steps_[scene];
}

void StepTimes::frameShown(double now)
{
    if (frames_ == 0) {
        first_ = now;
        tolva_page_first_frame();
    }
    last_ = now;
    ++frames_;
}

void StepTimes::print() const
{
    std::printf("tolva: %ld frames in %.2f s\n", frames_, (last_ - first_) / 1000.0);
    for (std::size_t scene = 0; scene < ms_.size(); ++scene) {
        if (steps_[scene] > 0) {
            std::printf("tolva: scene %zu: %.3f ms a step (%ld steps)\n", scene,
                        ms_[scene] / static_cast<double>(steps_[scene]), steps_[scene]);
        }
    }
    std::fflush(stdout);
}

void HeldTimeSource::hold()
{
    heldAt_ = now();
    held_ = true;
}

void HeldTimeSource::release()
{
    if (held_) {
        pause_ = clock_.getElapsedTime() - heldAt_;
        held_ = false;
    }
}

bool LiveRun::frame(bool escapeDown)
{
    const unsigned long before = canvas_.presents();
    // An iteration presents a frame in every scene but may, between two, present none.
    for (int spins = 0; spins < 1000 && canvas_.isOpen() && canvas_.presents() == before; ++spins) {
        const double start = emscripten_get_now();
        const IterationReport report = show_.iterate(canvas_, escapeDown);
        times_.note(report, emscripten_get_now() - start);
    }
    if (canvas_.presents() != before) {
        times_.frameShown(emscripten_get_now());
    }
    if (!canvas_.isOpen()) {
        times_.print();
        tolva_page_ended();
        return false;
    }
    return true;
}

RehearsedRun::RehearsedRun(WebCanvas& canvas, double seconds, bool still)
    : canvas_(canvas), seconds_(seconds), target_(frameRange(fps, seconds, std::nullopt).first), still_(still)
{
}

bool RehearsedRun::step(bool drawn, bool escapeDown)
{
    if (ended_) {
        return false;
    }
    clock_.startIteration(next_);
    work_.renderTo(drawn ? &canvas_ : nullptr);
    const double start = emscripten_get_now();
    const IterationReport report = show_.iterate(work_, escapeDown);
    if (drawn) {
        times_.note(report, emscripten_get_now() - start);
    }
    work_.renderTo(nullptr);
    ++next_;
    ended_ = !work_.isOpen();
    return !ended_;
}

// A slice of the run-up each callback, so that the page stays responsive and says how far it is.
bool RehearsedRun::ready()
{
    if (next_ >= target_ || ended_) {
        return true;
    }
    const double start = emscripten_get_now();
    while (next_ < target_ && !ended_ && emscripten_get_now() - start < 40.0) {
        step(false);
    }
    char note[96];
    std::snprintf(note, sizeof note, "running up to %.2f s: %.2f s", seconds_, static_cast<double>(next_) / fps);
    tolva_page_note(note);
    return next_ >= target_ || ended_;
}

bool RehearsedRun::frame(bool escapeDown)
{
    if (shown_ < 0) {
        if (ended_) {
            std::printf("tolva: %.3f s is past the end of the show\n", seconds_);
            std::fflush(stdout);
            tolva_page_ended();
            return false;
        }
        step(true);
        shown_ = next_ - 1;
        if (still_) {
            std::printf("tolva: still %g drawn\n", seconds_);
            std::fflush(stdout);
            return false;
        }
        times_.frameShown(emscripten_get_now());
        deck_.goLive();
        anchor();
        return true;
    }
    return live(escapeDown);
}

void RehearsedRun::anchor()
{
    anchor_ = shown_;
    anchorTime_ = emscripten_get_now();
}

bool RehearsedRun::live(bool escapeDown)
{
    if (escapeDown) {
        // The show ends as natively: the iteration that sees the key closes it.
        step(true, true);
        times_.frameShown(emscripten_get_now());
    }
    const long due = anchor_ + static_cast<long>((emscripten_get_now() - anchorTime_) / 1000.0 * fps);
    if (!ended_ && due > shown_) {
        if (due - shown_ > fps) {
            // A second behind even without drawing the frames between: the picture slows down.
            step(true);
            shown_ = next_ - 1;
            anchor();
        } else {
            while (next_ < due && step(false)) {
            }
            step(true);
            shown_ = next_ - 1;
        }
        times_.frameShown(emscripten_get_now());
    }
    if (ended_) {
        times_.print();
        tolva_page_ended();
        return false;
    }
    return true;
}

} // namespace tolva
