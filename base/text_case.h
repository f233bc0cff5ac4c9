// Comparing texts the way the program's own names compare.
#pragma once

#include <string>

namespace base {

// Equal texts without regard to the case of Latin and Russian letters (the
// privacy captions, port names, host names), whatever the system's locale.
bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b);

}  // namespace base
