// Runs outside programs that read our files (xmllint, gpsbabel). They exist on
// the Linux machines; under Wine the tests that need them skip.
#pragma once

#include <string>

namespace track_testing {

// True when the command line runs and exits with 0.
bool ToolRuns(const std::string& command_line);

// Runs the command line with its standard output and error in the file.
// Returns its exit status (0 for success).
int RunTool(const std::string& command_line, const std::string& output_path);

}  // namespace track_testing
