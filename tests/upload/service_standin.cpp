#include "tests/upload/service_standin.h"

#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace testing_support {

namespace {

bool WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

ServiceStandin::ServiceStandin(const std::vector<std::string>& arguments) {
  std::string port_file = dir_.File("port");
  std::vector<std::string> words = {"python3", std::string(ROVELOG_SOURCE_DIR) + "/tools/service_standin.py",
                                    "--port-file", port_file, "--store", dir_.File("store")};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  // The script's standard output carries only the port; keep it off the test's output.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  int error = posix_spawnp(&pid_, "python3", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    pid_ = -1;
    return;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < deadline) {
    std::string text = ReadFileBytes(port_file);
    if (!text.empty()) {
      port_ = static_cast<uint16_t>(std::atoi(text.c_str()));
      return;
    }
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

ServiceStandin::~ServiceStandin() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (WaitForExit(pid_, std::chrono::seconds(5))) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

ServiceAddress ServiceStandin::address() const {
  ServiceAddress service;
  service.host = "127.0.0.1";
  service.port = port_;
  return service;
}

std::string ServiceStandin::StoredUpload(int number, const std::string& name) const {
  char folder[16];
  std::snprintf(folder, sizeof folder, "%03d", number);
  return dir_.File(std::string("store/") + folder + "/" + name);
}

bool MakeZip(const std::string& archive_path, const std::string& entry_name, const std::string& text) {
  ScratchDir source;
  if (!WriteFileBytes(source.File(entry_name), text)) return false;
  std::string command = "cd " + Quoted(source.path()) + " && zip -q -0 " + Quoted(archive_path) + " " +
                        Quoted(entry_name);
  return std::system(command.c_str()) == 0;
}

std::string KmlWithPoints(int points) {
  std::string kml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<kml xmlns=\"http://earth.google.com/kml/2.0\">\r\n"
      "<Document>\r\n<Placemark>\r\n<LineString>\r\n<coordinates>\r\n";
  char line[64];
  for (int i = 0; i < points; ++i) {
    std::snprintf(line, sizeof line, "%.6f,%.6f,%d\r\n", 37.6 + i * 1e-5, 55.7 + i * 1e-5, i % 90);
    kml += line;
  }
  return kml + "</coordinates>\r\n</LineString>\r\n</Placemark>\r\n</Document>\r\n</kml>\r\n";
}

}  // namespace testing_support
