// Calendar fields from a SYSTEMTIME, for the Windows backend.
#pragma once

#include <windows.h>

#include "platform/clock.h"

namespace platform {

LocalTime CalendarFields(const SYSTEMTIME& fields);

}  // namespace platform
