#include "upload/send_pass.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/text.h"
#include "upload/track_folders.h"
#include "upload/track_packing.h"
#include "upload/upload_archive.h"

namespace {

std::wstring SentOf(int sent, int total) {
  return L"Отправлено " + std::to_wstring(sent) + L" из " + std::to_wstring(total);
}

void UploadWaitingArchives(EventLog& whole_log, const UploadTarget& target, const KeepSending& keep_sending) {
  std::vector<std::string> archives = QueuedArchives();
  int total = static_cast<int>(archives.size());
  // The pass's lines stay one block, whatever the end of a track does meanwhile.
  LogBlock block(whole_log);
  EventLog& log = block.log();
  log.AddLine(L"Отправка данных на сервер");
  log.AddLine(L"Архивов к отправке " + std::to_wstring(total) + L" ");
  LineId progress_row = log.AddLine(L"");
  log.AddLine(L"");

  int sent = 0;
  for (const std::string& archive : archives) {
    // Asked before the pause and again before connecting: a close during the
    // pause uploads nothing more.
    if (!keep_sending()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(target.archive_pause_ms));
    if (!keep_sending()) return;
    int code = kNoAnswerCode;
    if (UploadArchive(log, target.params, target.service, archive, target.timeouts, &code, target.cutoff)) {
      log.SetLineOf(progress_row, SentOf(++sent, total));
      // Delivery is at least once: a kill between the service's acceptance
      // and this move leaves the archive queued, and the next start sends it
      // again. That is kept, since moving it first could lose a track the
      // service never got; only the service can make a repeat harmless.
      MoveToSended(log, archive, target.params.track_folder);
    } else if (RefusesArchiveItself(code)) {
      log.AddLine(L"Архив " + platform::Utf8ToWide(ArchiveFileName(archive)) +
                  L" не принят и остаётся в очереди");
    } else {
      log.AddLine(L"Произошла ошибка при отправке данных");
      return;
    }
  }
}

}  // namespace

void TakeUploadSettings(UploadTarget& target, const SettingsRecord& settings) {
  SetUploadParams(target.params, settings);
  target.service = ParseServiceAddress(settings.server);
}

void SendPassRunner::SendAllArchives(EventLog& log, const UploadTarget& target,
                                     const KeepSending& keep_sending) {
  std::lock_guard<std::mutex> guard(pass_lock_);
  // A pass that waited for another may find the close begun: it sends nothing.
  KeepSending keep = keep_sending ? keep_sending : [] { return true; };
  if (keep()) UploadWaitingArchives(log, target, keep);
}

void SendingRun::RequestPass() {
  ++requests_;
  wake_.Set();
}

void SendingRun::Finish(bool pass) {
  if (pass) ++requests_;
  finished_ = true;
  wake_.Set();
}

void SendingRun::Run(const std::function<void()>& pass) {
  bool finished = false;
  while (!finished) {
    wake_.Wait();
    finished = finished_;
    if (requests_.exchange(0) > 0) pass();
  }
}
