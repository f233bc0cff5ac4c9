#include "tests/track/external_tool.h"

#include <cstdlib>
#include <fstream>

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

GpsbabelTable GpsbabelToCsv(const std::string& reader_arguments, const std::string& input) {
  testing_support::ScratchDir scratch;
  std::string csv = scratch.File("out.csv"), log = scratch.File("log.txt");
  GpsbabelTable table;
  table.ok = RunTool("gpsbabel " + reader_arguments + " -f \"" + input + "\" -o unicsv -F \"" + csv + "\"",
                     log) == 0;
  table.log = testing_support::ReadFileBytes(log);
  std::ifstream in(csv);
  std::getline(in, table.header);
  for (std::string line; std::getline(in, line);) table.rows.push_back(line);
  return table;
}

}  // namespace track_testing
