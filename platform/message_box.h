// Message boxes without an owner window.
#pragma once

#include <string>

namespace platform {

// Shows a question with Yes and No buttons and the question icon; true for Yes.
bool AskYesNo(const std::wstring& caption, const std::wstring& text);

}  // namespace platform
