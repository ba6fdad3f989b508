#pragma once

// How the tools are asked to stop: Ctrl-C, a polite kill (SIGTERM, as a session's end or a
// service manager sends) and whatever else a tool names set one flag, which the tool's work loop
// reads; a child's failure shows as a failed write, not as SIGPIPE.

#include <csignal>
#include <initializer_list>

namespace tolva {

// Nonzero once a stop was asked for.
const volatile std::sig_atomic_t& stopRequested();

enum class SecondStop {
    endsAtOnce,  // the second signal takes its default course: a stuck stop can be forced
    isCaught,    // every one sets the flag: the tool needs its cleanup to run whatever comes
};

// The signals given set the flag from now on; SIGPIPE is ignored.
void catchStopSignals(std::initializer_list<int> signals, SecondStop second);

} // namespace tolva
