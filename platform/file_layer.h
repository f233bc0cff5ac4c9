// The file calls through which the engine writes what a power cut must not
// lose: the track file, points.wpt, the archives and the renames and deletes
// of packing. The real layer forwards to platform/file.h and folders.h; a test
// puts a layer in its place that records the order of the calls or fails one.
#pragma once

#include <memory>
#include <string>

#include "platform/file.h"

namespace platform {

class FileLayer {
 public:
  virtual ~FileLayer() = default;
  virtual std::unique_ptr<File> CreateForWrite(const std::string& path);
  virtual std::unique_ptr<File> OpenForAppend(const std::string& path);
  virtual bool MoveNoReplace(const std::string& from, const std::string& to);
  virtual bool MoveReplacing(const std::string& from, const std::string& to);
  virtual bool Remove(const std::string& path);
  virtual bool FlushFolder(const std::string& path);
};

// The layer in use: the real one unless a test put another in its place.
FileLayer& Files();

// Puts a layer in place for the calls that follow; null restores the real
// one. Set while no other thread writes files.
void UseFileLayer(FileLayer* layer);

// The file's bytes; empty when it cannot be opened (missing, a folder).
std::string ReadWholeFile(const std::string& path);

}  // namespace platform
