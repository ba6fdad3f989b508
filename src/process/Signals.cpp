#include "process/Signals.h"

namespace tolva {

namespace {

volatile std::sig_atomic_t stopFlag = 0;

void onStop(int) { stopFlag = 1; }

} // namespace

const volatile std::sig_atomic_t& stopRequested() { return stopFlag; }

void catchStopSignals(std::initializer_list<int> signals, SecondStop second)
{
    struct sigaction action {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = second == SecondStop::endsAtOnce ? SA_RESETHAND : 0;
    for (int number : signals) {
        sigaction(number, &action, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace tolva
