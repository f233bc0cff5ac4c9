#include "platform/file_layer.h"

#include "platform/folders.h"

namespace platform {

namespace {

FileLayer* current_layer = nullptr;

}  // namespace

std::unique_ptr<File> FileLayer::CreateForWrite(const std::string& path) { return CreateFileForWrite(path); }

std::unique_ptr<File> FileLayer::OpenForAppend(const std::string& path) { return OpenFileForAppend(path); }

bool FileLayer::MoveNoReplace(const std::string& from, const std::string& to) {
  return MoveFileNoReplace(from, to);
}

bool FileLayer::MoveReplacing(const std::string& from, const std::string& to) {
  return MoveFileReplacing(from, to);
}

bool FileLayer::Remove(const std::string& path) { return RemoveFile(path); }

bool FileLayer::FlushFolder(const std::string& path) { return platform::FlushFolder(path); }

FileLayer& Files() {
  static FileLayer real;
  return current_layer != nullptr ? *current_layer : real;
}

void UseFileLayer(FileLayer* layer) { current_layer = layer; }

}  // namespace platform
