#include "platform/message_box.h"

#include <iostream>
#include <string>

#include "platform/text.h"

namespace platform {

// There is no desktop here: the question goes to the terminal.
bool AskYesNo(const std::wstring& caption, const std::wstring& text) {
  std::cerr << WideToUtf8(caption) << "\n" << WideToUtf8(text) << " [y/n] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

}  // namespace platform
