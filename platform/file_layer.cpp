#include "platform/file_layer.h"

#include <fstream>

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

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in;
  OpenFileStream(in, path, std::ios::binary | std::ios::ate);
  std::streamoff size = in.tellg();
  // A folder opens on some systems and reports an end far beyond any memory;
  // it fails at its first read, before anything is allocated.
  if (size <= 0 || !in.seekg(0) || in.peek() == std::ifstream::traits_type::eof()) return std::string();
  std::string bytes;
  if (static_cast<unsigned long long>(size) > bytes.max_size()) return std::string();
  bytes.resize(static_cast<size_t>(size));
  in.read(bytes.data(), size);
  bytes.resize(static_cast<size_t>(in.gcount()));  // the file may have shrunk meanwhile
  return bytes;
}

}  // namespace platform
