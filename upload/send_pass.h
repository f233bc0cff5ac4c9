// The sending pass: every archive waiting in ToSend goes to the service in
// turn. An archive the service refuses for itself stays queued and the pass
// goes on; a connection failure ends the pass and the rest wait for the next.
// The sending thread runs passes when asked, and a worker runs one by hand.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>

#include "eventlog/event_log.h"
#include "platform/net.h"
#include "base/sync.h"
#include "upload/service_address.h"
#include "upload/upload_protocol.h"

// Where a pass sends and as whom.
struct UploadTarget {
  UploadParams params;
  ServiceAddress service;
  platform::SocketTimeouts timeouts;
  // The pause before each archive's upload: a second gives the service a
  // breath between archives (tests shorten it).
  int archive_pause_ms = 1000;
  // Set by the program's close: the upload in hand then ends within the
  // timeouts' close grace and its archive stays queued.
  const platform::NetCutoff* cutoff = nullptr;
};

// The one hand-off of the settings to the upload: the parameters and the
// service address from a settings record.
void TakeUploadSettings(UploadTarget& target, const SettingsRecord& settings);

// Asked when a pass may begin, and before each archive's pause and again
// before it connects: false ends the pass there, the rest wait.
using KeepSending = std::function<bool()>;

// Runs the passes of one logger. Passes exclude each other: a pass by hand
// and a pass of the sending thread would upload the same archives twice.
class SendPassRunner {
 public:
  // One pass over ToSend; it waits for a pass running on another thread.
  // Only workers call it: the wait may last a whole pass.
  void SendAllArchives(EventLog& log, const UploadTarget& target, const KeepSending& keep_sending);

 private:
  std::mutex pass_lock_;
};

// One recording's sending thread: the requests that wake it and its last
// wake. A thread of a stopped recording may still be finishing its last
// pass while the next recording has begun; each keeps its own.
class SendingRun {
 public:
  // A track was packed: run a pass.
  void RequestPass();
  // The recording ended: one last wake, with a pass or without.
  void Finish(bool pass);

  // The sending thread's loop: a pass for each wake that brought requests,
  // until the last wake.
  void Run(const std::function<void()>& pass);

 private:
  base::AutoResetEvent wake_;
  std::atomic<int> requests_{0};  // wakes may merge; requests are counted
  std::atomic<bool> finished_{false};
};
