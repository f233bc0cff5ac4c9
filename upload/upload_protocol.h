// The upload request and the reading of the service's answer: pure functions
// over the upload parameters the logger keeps.
#pragma once

#include <optional>
#include <string>

#include "settings/settings_model.h"

// Identifies this build to the service: the upload's "prog" field and the
// text the update check compares with.
inline constexpr char kVersionTag[] = "win1_2";

// The separator of the multipart body.
inline constexpr char kBoundary[] = "BoUnDaRy";

// What an upload sends (and the folder its archive is filed in): texts as
// platform::WideToAnsiOr1251 gives them, sent as they are (nothing is escaped
// or checked).
struct UploadParams {
  std::string login;
  std::string password;
  std::string track_name;
  std::string track_folder;  // the track name in UTF-8, for its Sended folder; never sent
  std::string privacy_code;  // a PrivacyLevel code, empty before the first known caption
  std::string interval_or_distance;
  SendMode send_mode = kSendModeNone;
};

// Stores the settings into the parameters (the logger's SetSettings). A
// privacy caption that is none of the three keeps the previous code.
void SetUploadParams(UploadParams& params, const SettingsRecord& settings);

// The code of a privacy caption (PrivacyLevels), compared without regard to
// case; none for other texts.
std::optional<std::string> PrivacyCode(const std::wstring& caption);

// Minutes of an interval caption as WideToAnsiOr1251 gives it ("5 мин." gives 5,
// "1 час" 60); 0 for any other text.
int IntervalMinutes(const std::string& caption);

// The send_info field: kind and value joined by "_" (1_5, 2_500, 3_0), or
// empty when either is negative (SendMode none).
std::string SendInfo(SendMode send_mode, const std::string& interval_or_distance);

// The file name of an archive path: the text after its last path separator.
std::string ArchiveFileName(const std::string& path);

// The whole POST of upkmlwpt_api.php: headers, the multipart body with the
// archive in Base64 (ending in "\r\n--BoUnDaRy", no closing "--"), and a CR LF
// after the body that its Content-Length does not count.
std::string BuildUploadRequest(const UploadParams& params, const std::string& host_header,
                               const std::string& file_name, const std::string& archive);

// The status line of an answer ("HTTP/1.1 200 OK") without its line end: the
// text up to the first line end, or all of it when none came.
std::string AnswerStatusLine(const std::string& answer);

// True for the status line of a success: HTTP with a 2xx code. Only such an
// answer carries a code of the service; an error page does not.
bool IsSuccessStatus(const std::string& status_line);

// The body of an answer: what follows the empty line after its headers;
// empty while the headers are incomplete.
std::string AnswerBody(const std::string& answer);

// True once reading can stop: the status line came and is not a success, or
// the body holds the whole code.
bool AnswerComplete(const std::string& answer);

// The code of an answer's body is read from the four characters that start three
// places after its first ">", as atoi reads them. kNoAnswerCode when there is
// no ">" or nothing at the code's place.
inline constexpr int kNoAnswerCode = -1;
int ParseAnswerCode(const std::string& answer);

// True once the body holds all four characters of the code.
bool AnswerCodeComplete(const std::string& answer);

// The event log text of an answer code; empty for a code not in the table.
std::wstring AnswerMessage(int code);

// The code of an accepted archive.
inline constexpr int kAnswerAccepted = 1000;

// True for the codes that refuse one archive for what it is (its name, a
// failed upload of it, no coordinates in it, its size), not the user or the
// connection: the archive waits for a later pass and the others still go.
inline bool RefusesArchiveItself(int code) { return code >= 1002 && code <= 1005; }
