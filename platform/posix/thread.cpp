#include "platform/thread.h"

namespace platform {

// Raising a thread above normal needs privileges on Linux; the workers spend
// their time waiting on the port and on events, so normal priority serves.
void RaiseCurrentThreadPriority() {}

}  // namespace platform
