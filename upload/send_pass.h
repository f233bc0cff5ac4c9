// The sending pass: every archive waiting in ToSend goes to the service in
// turn; the first failure ends the pass and the rest wait for the next one.
// The sending thread runs passes when asked; the window runs one by hand.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "app/event_log.h"
#include "platform/net.h"
#include "platform/sync.h"
#include "upload/service_address.h"
#include "upload/upload_protocol.h"

// Where a pass sends and as whom.
struct UploadTarget {
  UploadParams params;
  ServiceAddress service;
  platform::SocketTimeouts timeouts;
};

// The one hand-off of the settings to the upload: the parameters and the
// service address from a settings record.
void TakeUploadSettings(UploadTarget& target, const SettingsRecord& settings);

// Lets a thread that owns windows handle its messages between archives.
using MessagePump = std::function<void()>;
// Asked after each archive: false ends the pass there, the rest wait.
using KeepSending = std::function<bool()>;

// Runs the passes of one logger. Passes exclude each other: a pass by hand
// and a pass of the sending thread would upload the same archives twice.
class SendPassRunner {
 public:
  // One pass over ToSend. A pass asked for on a thread that is inside a pass
  // already (a click dispatched by the pass's own message pump) is refused at
  // once with a log line; on another thread it waits for the running pass.
  void SendAllArchives(EventLog& log, const UploadTarget& target, const MessagePump& pump,
                       const KeepSending& keep_sending);

 private:
  std::mutex pass_lock_;
  std::atomic<std::thread::id> pass_owner_{};
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
  platform::AutoResetEvent wake_;
  std::atomic<int> requests_{0};  // wakes may merge; requests are counted
  std::atomic<bool> finished_{false};
};
