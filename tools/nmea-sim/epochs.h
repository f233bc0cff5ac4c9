// The epochs the simulator sends: the lines of a recorded file grouped by
// their UTC time, or the epochs of a generated route.
#pragma once

#include <string>
#include <vector>

#include "tools/nmea-sim/route.h"

namespace sim {

// Splits recorded bytes into epochs: a new epoch starts at each line whose
// time (SentenceTime) differs from the last time seen; lines without a time
// stay with the epoch they follow. Line ends and stray bytes are kept as they
// are, so the epochs joined give the input back.
std::vector<std::string> SplitIntoEpochs(const std::string& bytes);

class EpochSource {
 public:
  virtual ~EpochSource() = default;
  // The bytes of the next epoch; false when there is no more.
  virtual bool Next(std::string* epoch) = 0;
  // Starts again from the first epoch.
  virtual void Rewind() = 0;
};

class FileEpochs : public EpochSource {
 public:
  explicit FileEpochs(const std::string& bytes) : epochs_(SplitIntoEpochs(bytes)) {}
  bool Next(std::string* epoch) override;
  void Rewind() override { next_ = 0; }

 private:
  std::vector<std::string> epochs_;
  size_t next_ = 0;
};

// A generated route of count epochs (0: without end).
class RouteEpochs : public EpochSource {
 public:
  RouteEpochs(const RouteOptions& options, int count) : options_(options), count_(count), route_(options) {}
  bool Next(std::string* epoch) override;
  void Rewind() override { route_ = Route(options_); sent_ = 0; }

 private:
  RouteOptions options_;
  int count_;
  int sent_ = 0;
  Route route_;
};

}  // namespace sim
