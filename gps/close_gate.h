// Lets one thread end the reads of a port that another thread owns.
//
// The owner (the thread that opens, reads, reopens and destroys the port)
// attaches each port it opens and detaches it before destroying it. Close,
// from any thread, interrupts the attached port's read and refuses later
// attaches, so it never touches a port that is being destroyed, and a port
// opened after it is never read.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/serial.h"

class CloseGate {
 public:
  // False, and nothing attached, once the gate is closed.
  bool Attach(platform::SerialPort* port);
  void Detach();
  void Close();
  // Waits until the gate is closed, at most the time; true when it is.
  bool WaitForClose(std::chrono::steady_clock::duration time);
  // Opens the gate again, nothing attached: for the next owner.
  void Reopen();

 private:
  // Guards which port Close may interrupt, and whether it came.
  std::mutex lock_;
  std::condition_variable closed_;
  platform::SerialPort* port_ = nullptr;
  bool is_closed_ = false;
};
