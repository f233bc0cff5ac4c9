// Calendar fields from the C library's broken-down time, for the POSIX backend.
#pragma once

#include <time.h>

#include "platform/clock.h"

namespace platform {

LocalTime CalendarFields(const struct tm& parts);

}  // namespace platform
