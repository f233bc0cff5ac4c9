#include "platform/thread.h"

namespace platform {

// Raising a thread above normal needs privileges on Linux; the workers spend
// their time waiting on the port and on events, so normal priority serves.
void RaiseCurrentThreadPriority() {}

// No window here has a message queue that a worker could wait for.
void JoinDispatchingMessages(std::thread& thread) {
  if (thread.joinable()) thread.join();
}

}  // namespace platform
