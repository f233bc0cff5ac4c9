// A file layer over the real one for tests: it records the calls in order
// ("write N", "flush N", "move A B", "replace A B", "remove N", "flush folder
// N", names without folder) and fails the n-th of a call as a full disk
// would (a failed write stores half its bytes). In use while it lives.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_layer.h"

namespace testing_support {

class RecordingFiles : public platform::FileLayer {
 public:
  RecordingFiles() { platform::UseFileLayer(this); }
  ~RecordingFiles() override { platform::UseFileLayer(nullptr); }

  void Fail(const std::string& call, int n) { failing_[call] = n; }
  int Count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
  // Where a call was first made; calls.size() when never.
  size_t IndexOf(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) - calls.begin(); }

  std::unique_ptr<platform::File> CreateForWrite(const std::string& path) override {
    return Recorded(FileLayer::CreateForWrite(path), path);
  }
  std::unique_ptr<platform::File> OpenForAppend(const std::string& path) override {
    return Recorded(FileLayer::OpenForAppend(path), path);
  }
  bool MoveNoReplace(const std::string& from, const std::string& to) override {
    return Passes("move " + Name(from) + " " + Name(to)) && FileLayer::MoveNoReplace(from, to);
  }
  bool MoveReplacing(const std::string& from, const std::string& to) override {
    return Passes("replace " + Name(from) + " " + Name(to)) && FileLayer::MoveReplacing(from, to);
  }
  bool Remove(const std::string& path) override { return Passes("remove " + Name(path)) && FileLayer::Remove(path); }
  bool FlushFolder(const std::string& path) override {
    return Passes("flush folder " + Name(path)) && FileLayer::FlushFolder(path);
  }

  std::vector<std::string> calls;

 private:
  struct File : platform::File {
    File(std::unique_ptr<platform::File> file, std::string name, RecordingFiles* layer)
        : file(std::move(file)), name(std::move(name)), layer(layer) {}
    bool Read(void* buffer, size_t size, size_t* count) override { return file->Read(buffer, size, count); }
    bool Write(const void* data, size_t size) override {
      return layer->Passes("write " + name) ? file->Write(data, size) : (file->Write(data, size / 2), false);
    }
    bool Seek(uint64_t offset) override { return file->Seek(offset); }
    bool Truncate(uint64_t size) override { return file->Truncate(size); }
    bool GetInfo(platform::FileInfo* info) override { return file->GetInfo(info); }
    bool Flush() override { return layer->Passes("flush " + name) && file->Flush(); }
    std::unique_ptr<platform::File> file;
    std::string name;
    RecordingFiles* layer;
  };

  static std::string Name(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }
  std::unique_ptr<platform::File> Recorded(std::unique_ptr<platform::File> file, const std::string& path) {
    return file ? std::make_unique<File>(std::move(file), Name(path), this) : nullptr;
  }
  // Records the call; false when it is the planned failure.
  bool Passes(const std::string& call) {
    calls.push_back(call);
    auto planned = failing_.find(call);
    return planned == failing_.end() || Count(call) != planned->second;
  }

  std::map<std::string, int> failing_;
};

}  // namespace testing_support
