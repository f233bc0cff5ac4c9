#include "tests/track/external_tool.h"

#include <cstdlib>

#include "tests/support/test_support.h"

namespace track_testing {

int RunTool(const std::string& command_line, const std::string& output_path) {
  std::string redirected = command_line + " > \"" + output_path + "\" 2>&1";
  return std::system(redirected.c_str());
}

bool ToolRuns(const std::string& command_line) {
  testing_support::ScratchDir scratch;
  return RunTool(command_line, scratch.File("probe.txt")) == 0;
}

}  // namespace track_testing
