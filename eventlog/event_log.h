// The event log of the main window: a current-operation header rewritten in
// place, then messages from the window, the track thread and the sending
// thread. Every thread writes to its line model; writing never waits for a
// window.
#pragma once

#include <string>

#include "eventlog/line_list.h"
#include "platform/clock.h"

class EventLog {
 public:
  // Attached to the list, or detached when there is none: a detached log
  // writes nothing and counts -1.
  explicit EventLog(LineList* control);

  int GetCount();
  // Appends a line after the last one (in a block's log, after the block's
  // last line) and returns its identity.
  LineId AddLine(const std::wstring& text);
  // Rewrites the line wherever it stands now; nothing when it is gone.
  void SetLineOf(LineId line, const std::wstring& text);
  // Both do nothing when there is no line at the index.
  void SetLine(int index, const std::wstring& text);
  void DeleteLine(int index);
  // Removes every line (the window does this before a send by hand).
  void Clear();

  // The rows at the top of the log: the title "Текущая операция:", the
  // status row, an empty row, and below them a separator line.
  static constexpr int kStatusRow = 1;
  static constexpr int kHeaderRows = 3;
  // Clears the log and writes the header rows and the separator (a start).
  void ShowHeader();
  // Rewrites the status row in place.
  void SetStatus(const std::wstring& text);
  // Removes every line below the header rows, the separator included, but
  // the blocks still being written.
  void TrimToHeader();
  // Appends the separator: a line of 33 hyphens.
  void AddSeparator();

  // The current local date as ddMMyy with the separator between the fields
  // (none when it is 0): FormatDate('.') gives 08.12.26.
  static std::wstring FormatDate(wchar_t separator);
  // The current local time in 24-hour form with one (hh), two (hh:mm) or
  // three (hh:mm:ss) fields; a 0 separator gives hhmmss.
  static std::wstring FormatTime(wchar_t separator, int fields);

  // The same texts for a given time.
  static std::wstring FormatDate(const platform::LocalTime& time, wchar_t separator);
  static std::wstring FormatTime(const platform::LocalTime& time, wchar_t separator, int fields);

 private:
  friend class LogBlock;
  EventLog(LineList* control, int block)
      : control_(control), attached_(control != nullptr ? 1 : 0), block_(block) {}

  LineList* control_;
  int attached_;
  int block_ = 0;  // the block this log writes into; 0 for none
};

// A block of lines that stays whole while it is written (a sending pass):
// what its log appends goes right below its last line, and the end of a
// track keeps it.
class LogBlock {
 public:
  explicit LogBlock(EventLog& log);
  ~LogBlock();
  LogBlock(const LogBlock&) = delete;
  LogBlock& operator=(const LogBlock&) = delete;

  EventLog& log() { return log_; }

 private:
  EventLog log_;
};
