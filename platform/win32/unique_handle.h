// The one owner of every Windows handle the backend opens: the handle is
// released by its own close call when the owner goes, so no early return
// leaks it and no caller closes it by hand.
#pragma once

#include <windows.h>

#include <utility>

namespace platform {

// Kind names the handle type and its release call, as the kinds below do.
// Null and INVALID_HANDLE_VALUE both mean "none": the Windows calls fail with
// one or the other.
template <typename Kind>
class UniqueOwner {
 public:
  using Handle = typename Kind::Handle;

  UniqueOwner() = default;
  explicit UniqueOwner(Handle handle) : handle_(handle) {}
  UniqueOwner(UniqueOwner&& other) noexcept : handle_(std::exchange(other.handle_, Handle())) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    Reset(std::exchange(other.handle_, Handle()));
    return *this;
  }
  ~UniqueOwner() { Reset(); }
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;

  Handle get() const { return handle_; }
  bool valid() const {
    return handle_ != Handle() && handle_ != reinterpret_cast<Handle>(INVALID_HANDLE_VALUE);
  }
  // For the calls that hand a new handle back through a pointer.
  Handle* Receive() {
    Reset();
    return &handle_;
  }
  // Releases the handle held, if any, and takes the given one.
  void Reset(Handle handle = Handle()) {
    if (valid()) Kind::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Handle();
};

struct KernelObject {
  using Handle = HANDLE;
  static void Close(HANDLE handle) { CloseHandle(handle); }
};

struct RegistryKey {
  using Handle = HKEY;
  static void Close(HKEY key) { RegCloseKey(key); }
};

struct FileSearch {
  using Handle = HANDLE;
  static void Close(HANDLE search) { FindClose(search); }
};

// Files, events, mutexes and processes.
using UniqueHandle = UniqueOwner<KernelObject>;
using UniqueKey = UniqueOwner<RegistryKey>;
using UniqueSearch = UniqueOwner<FileSearch>;

}  // namespace platform
