#include "platform/profile.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/file_layer.h"
#include "platform/ini_text.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

// Windows' read-only attribute binds every user, administrators too; here a
// file or folder without any write permission plays that part, even for root.
bool MarkedReadOnly(const fs::path& path) {
  std::error_code error;
  fs::perms perms = fs::status(path, error).permissions();
  if (error || perms == fs::perms::unknown) return false;
  constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (perms & kAnyWrite) == fs::perms::none;
}

bool MayWrite(const fs::path& path) {
  std::error_code error;
  if (fs::exists(path, error)) return !MarkedReadOnly(path);
  fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  return !MarkedReadOnly(folder);
}

}  // namespace

std::wstring ReadProfileValue(const std::wstring& section, const std::wstring& key, const std::string& path,
                              size_t buffer_chars) {
  return IniRead(IniReadable(ReadWholeFile(path)), section, key, buffer_chars);
}

bool WriteProfileValue(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                       const std::string& path) {
  fs::path file(path);
  std::string bytes;
  std::string lossless = IniLosslessFor(ReadWholeFile(path), value);
  if (!IniWrite(lossless, section, key, value, &bytes)) return true;
  if (!MayWrite(file)) return false;
  // Rewritten in place, as Windows does: the file keeps its identity and rights.
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace platform
