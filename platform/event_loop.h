#pragma once

#include <chrono>
#include <functional>

// Running the calling thread's Qt event loop from code that has no loop of
// its own: the command line and the tests. The desktop application runs its
// own loop and needs neither function.

namespace lp {

// Makes sure the process has a Qt core application object, which sockets and
// timers need; creates one (kept until the process ends) when there is none.
void EnsureEventLoopApplication();

// Runs the event loop until `done` returns true or `limit` has passed.
// `done` is checked before the loop starts and after every batch of events.
// Returns the last answer of `done`.
bool RunEventLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

}  // namespace lp
