// Worker thread helpers.
#pragma once

#include <thread>

namespace platform {

// Gives the calling thread a priority above normal (the logger's workers).
// Where the system does not allow it, the thread keeps its priority.
void RaiseCurrentThreadPriority();

// Joins the thread when it is joinable. Until it ends, the calling thread
// keeps dispatching the messages of its windows (Windows), so a worker that
// sends one of them a message cannot deadlock with the join; a quit message
// met meanwhile is posted again for the caller's loop. Elsewhere a plain join.
void JoinDispatchingMessages(std::thread& thread);

}  // namespace platform
