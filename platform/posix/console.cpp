#include "platform/console.h"

namespace platform {

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

// Terminals here take UTF-8 as it comes.
void UseUtf8Console() {}

}  // namespace platform
