// Runs outside programs that read our files (xmllint, gpsbabel). They exist on
// the Linux machines; under Wine the tests that need them skip.
#pragma once

#include <string>
#include <vector>

namespace track_testing {

// True when the command line runs and exits with 0.
bool ToolRuns(const std::string& command_line);

// Runs the command line with its standard output and error in the file.
// Returns its exit status (0 for success).
int RunTool(const std::string& command_line, const std::string& output_path);

// What gpsbabel makes of a file in its unicsv output.
struct GpsbabelTable {
  bool ok = false;
  std::string header;
  std::vector<std::string> rows;
  std::string log;  // its messages, for a failure report
};

// Reads the input with gpsbabel ("-t -i kml", "-i ozi,codec=windows-1251")
// and writes it as unicsv.
GpsbabelTable GpsbabelToCsv(const std::string& reader_arguments, const std::string& input);

}  // namespace track_testing
