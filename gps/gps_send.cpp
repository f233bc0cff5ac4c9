// The sending pass: every archive waiting in ToSend goes to the service in
// turn; the first failure ends the pass and the rest wait for the next one.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "gps/gps_stat.h"
#include "platform/folders.h"
#include "platform/program_dir.h"
#include "upload/track_folders.h"
#include "upload/upload_archive.h"

namespace {

std::wstring SentOf(int sent, int total) {
  return L"Отправлено " + std::to_wstring(sent) + L" из " + std::to_wstring(total);
}

}  // namespace

void CGpsLogger::SendAllArchives() {
  // A pass by hand and a pass of the sending thread would upload the same
  // archives twice.
  std::lock_guard<std::mutex> guard(pass_lock_);
  std::string to_send = GetTracksDir() + "ToSend" + platform::kPathSeparatorA;
  std::vector<std::string> archives;
  for (const std::string& name : platform::FindFiles(to_send + "*.zip")) {
    archives.push_back(to_send + name);
    if (message_pump_) message_pump_();
  }
  int total = static_cast<int>(archives.size());
  log_->AddLine(L"Отправка данных на сервер");
  log_->AddLine(L"Архивов к отправке " + std::to_wstring(total) + L" ");
  log_->AddLine(L"");
  int progress_row = log_->GetCount() - 1;
  log_->AddLine(L"");

  int sent = 0;
  for (const std::string& archive : archives) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    if (!UploadArchive(*log_, params_, service_, archive, timeouts_)) {
      log_->AddLine(L"Произошла ошибка при отправке данных");
      return;
    }
    log_->SetLine(progress_row, SentOf(++sent, total));
    MoveToSended(archive, params_.track_folder);
    if (message_pump_) message_pump_();
  }
}
