// Worker thread helpers.
#pragma once

namespace platform {

// Gives the calling thread a priority above normal (the logger's workers).
// Where the system does not allow it, the thread keeps its priority.
void RaiseCurrentThreadPriority();

}  // namespace platform
