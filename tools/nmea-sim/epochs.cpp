#include "tools/nmea-sim/epochs.h"

#include "tools/nmea-sim/nmea_text.h"

namespace sim {

std::vector<std::string> SplitIntoEpochs(const std::string& bytes) {
  std::vector<std::string> epochs;
  int last_time = -1;
  size_t begin = 0;
  while (begin < bytes.size()) {
    size_t end = bytes.find('\n', begin);
    end = end == std::string::npos ? bytes.size() : end + 1;
    std::string line = bytes.substr(begin, end - begin);
    int time = SentenceTime(line);
    if (epochs.empty() || (time >= 0 && time != last_time && last_time >= 0)) epochs.emplace_back();
    if (time >= 0) last_time = time;
    epochs.back() += line;
    begin = end;
  }
  return epochs;
}

bool FileEpochs::Next(std::string* epoch) {
  if (next_ >= epochs_.size()) return false;
  *epoch = epochs_[next_++];
  return true;
}

bool RouteEpochs::Next(std::string* epoch) {
  if (count_ > 0 && sent_ >= count_) return false;
  ++sent_;
  *epoch = route_.Sentences(route_.Next());
  return true;
}

}  // namespace sim
