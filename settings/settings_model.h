// The settings behind the settings form: the record last loaded from
// properties.ini, the option lists of the form, the load of the file into
// the record and the form, and the save of the form's values. The window
// binds its controls to this; nothing here needs a window.
#pragma once

#include <string>
#include <vector>

#include "settings/send_mode.h"

// The settings as last loaded from properties.ini; copied whole to the logger.
struct SettingsRecord {
  std::wstring port;                // COM port name, e.g. COM3
  std::wstring login;               // user name at the tracking service
  std::wstring password;            // plain text; the file holds it scrambled
  std::wstring track_name;          // name under which tracks are uploaded
  std::wstring privacy;             // one of the privacy texts, or empty
  std::wstring interval_or_distance;  // an interval text when sending by time, a distance text by distance
  ::SendMode send_mode = kSendModeNone;
  int thinning = -1;                // least distance in metres between recorded positions
  std::wstring server;              // service host[:port]
};

// The values of the settings form. The save takes them as the controls hold
// them; the show gives back what the controls are to show.
struct SettingsForm {
  bool other_port = false;      // check box "Другой COM порт": the free port name is used
  std::wstring other_port_text;  // the free port name, e.g. COM12
  // Save: the selected entry of the port list ("COM3; \Device\Serial0"), empty
  // when none. Show: the port text, which the list selects by prefix.
  std::wstring port_entry;
  bool auto_track = false;
  std::wstring login;
  std::wstring password;
  std::wstring track_name;
  std::wstring thinning_text;
  std::wstring privacy;        // the selected privacy text, or empty
  ::SendMode send_mode = kSendByTime;  // the radio group; a show gives kSendModeNone to leave it
  std::wstring interval;       // the selected interval text, or empty
  std::wstring distance;       // the selected distance text, or empty
};

// Who may see an uploaded track: the form's caption and the code the upload
// sends for it, in the form's order.
struct PrivacyLevel {
  const wchar_t* caption;
  const char* code;
};
const std::vector<PrivacyLevel>& PrivacyLevels();

// The option lists of the form, in their order.
const std::vector<std::wstring>& DistanceOptions();

// The send timer's period for an interval text, compared exactly; 0 for any
// text not in the interval list.
int IntervalToMilliseconds(const std::wstring& text);

// The period of the send timer that starting with the record sets: the
// interval's milliseconds when sending by time, 0 for no timer.
int SendTimerPeriod(const SettingsRecord& record);

// True when the record sends by time but holds no interval of the list, or by
// a distance of 0 or less: the start warns that sending works only by hand,
// and sets no timer. (An unknown text counts as no interval; a timer of period
// 0 would fire without end, a distance of 0 would send every fix.)
bool MissingSendInterval(const SettingsRecord& record);

class SettingsModel {
 public:
  SettingsModel();

  const SettingsRecord& record() const { return record_; }

  // Empty texts, SendMode and thinning -1, the default service host.
  void ResetSettingsRecord();

  // Reads section "Properties" of properties.ini into the record. Keys that
  // are missing leave empty texts (thinning 0); the send mode comes from the
  // first of "Time" and "Points" that is "True", and "ByHands" = "True" wins
  // over both.
  void LoadSettingsRecord();

  // LoadSettingsRecord, then the form's values from the record and the file.
  SettingsForm ShowSettings();

  // Writes the form's values key by key ("OtherCOM", "COM", "AutoTrack",
  // "Login", "Password" scrambled, "Track", "Prorezhivanie" at least 5,
  // "Privacy", then the send mode's keys), then resets the record and shows
  // the file again: the result is what the form shows afterwards. When a key
  // could not be written (a read-only file or folder), or the file gives a
  // login, track name or privacy back otherwise than typed (beyond the white
  // space around it), *failure, if given,
  // gets the reason for the user; it is left alone otherwise. The "Server"
  // key is left as it is.
  SettingsForm SaveSettings(const SettingsForm& form, std::wstring* failure = nullptr);

 private:
  SettingsRecord record_;
};
