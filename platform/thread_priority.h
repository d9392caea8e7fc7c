#pragma once

// Threads that do long work in the background give way to the thread that
// keeps the window alive.

namespace lp {

// Lowers the calling thread's scheduling priority (on Linux its nice value,
// which belongs to each thread) so that the CPU goes to the GUI thread
// first when both want it. Best effort: false when the system refused.
bool LowerCurrentThreadPriority();

}  // namespace lp
