// Runs tools/service_standin.py for a test: started on a free loopback port,
// waited for until it listens, ended (SIGTERM, then SIGKILL) with the object.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "upload/service_address.h"

namespace testing_support {

class ServiceStandin {
 public:
  // Extra arguments go to the script ("--mode", "hang", ...); the port file
  // and the store folder are the helper's own.
  explicit ServiceStandin(const std::vector<std::string>& arguments = {});
  ~ServiceStandin();
  ServiceStandin(const ServiceStandin&) = delete;
  ServiceStandin& operator=(const ServiceStandin&) = delete;

  // False when the script could not be started or did not listen in time.
  bool running() const { return port_ != 0; }
  uint16_t port() const { return port_; }
  ServiceAddress address() const;
  // Where accepted uploads are kept: NNN/<archive>, NNN/fields/<name>, NNN/request.bin.
  std::string StoredUpload(int number, const std::string& name) const;

 private:
  ScratchDir dir_;
  pid_t pid_ = -1;
  uint16_t port_ = 0;
};

// Writes a ZIP archive (made by the zip tool, stored without compression)
// holding one entry of the given name and text; false when zip failed.
bool MakeZip(const std::string& archive_path, const std::string& entry_name, const std::string& text);

// A KML track with the given number of valid point lines.
std::string KmlWithPoints(int points);

}  // namespace testing_support
