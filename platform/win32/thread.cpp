#include "platform/thread.h"

#include <windows.h>

namespace platform {

void RaiseCurrentThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL); }

}  // namespace platform
