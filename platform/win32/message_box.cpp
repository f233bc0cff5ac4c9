#include "platform/message_box.h"

#include <windows.h>

namespace platform {

bool AskYesNo(const std::wstring& caption, const std::wstring& text) {
  return MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace platform
