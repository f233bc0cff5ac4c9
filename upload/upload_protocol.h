// The upload request and the reading of the service's answer: pure functions
// over the upload parameters the logger keeps.
#pragma once

#include <optional>
#include <string>

// Identifies this build to the service: the upload's "prog" field and the
// text the update check compares with.
inline constexpr char kVersionTag[] = "win1_2";

// The separator of the multipart body.
inline constexpr char kBoundary[] = "BoUnDaRy";

// The settings the upload takes over, as the window holds them (wide text).
struct UploadSettings {
  std::wstring login;
  std::wstring password;  // plain
  std::wstring track_name;
  std::wstring privacy_caption;
  std::wstring interval_or_distance;
  int send_mode = -1;
  int thinning = -1;
};

// The upload parameters of the logger: texts in the ANSI code page, sent as
// they are (nothing is escaped or checked).
struct UploadParams {
  std::string login;
  std::string password;
  std::string track_name;
  std::string track_folder;  // the track name in UTF-8, for its Sended folder; never sent
  std::string privacy_code;  // a PrivacyLevel code, empty before the first known caption
  std::string interval_or_distance;
  int send_mode = -1;  // SendMode: -1 none, 0 by time, 1 by distance, 2 by hand
  int thinning = 0;    // metres between written track points
};

// Stores the settings into the parameters (the logger's SetSettings). A
// privacy caption that is none of the three keeps the previous code.
void SetUploadParams(UploadParams& params, const UploadSettings& settings);

// The PrivacyLevel code of a privacy caption, compared without regard to
// case: "Только мне" "1", "Для друзей" "2", "Для всех" "3"; none for others.
std::optional<std::string> PrivacyCode(const std::wstring& caption);

// Minutes of an interval caption ("5 мин." gives 5, "1 час" 60), compared
// byte for byte as Windows-1251 text; 0 for any other text.
int IntervalMinutes(const std::string& caption);

// The send_info field: kind and value joined by "_" (1_5, 2_500, 3_0), or
// empty when either is negative (SendMode none).
std::string SendInfo(int send_mode, const std::string& interval_or_distance);

// The file name of an archive path: the text after its last path separator.
std::string ArchiveFileName(const std::string& path);

// The whole POST of upkmlwpt_api.php: headers, the multipart body with the
// archive in Base64 (ending in "\r\n--BoUnDaRy", no closing "--"), and a CR LF
// after the body that its Content-Length does not count.
std::string BuildUploadRequest(const UploadParams& params, const std::string& host_header,
                               const std::string& file_name, const std::string& archive);

// The code of an answer is read from the four characters that start three
// places after its first ">", as atoi reads them. kNoAnswerCode when there is
// no ">" or nothing at the code's place.
inline constexpr int kNoAnswerCode = -1;
int ParseAnswerCode(const std::string& answer);

// True once the answer holds all four characters of the code, so reading can stop.
bool AnswerCodeComplete(const std::string& answer);

// The event log text of an answer code; empty for a code not in the table.
std::wstring AnswerMessage(int code);

// The code of an accepted archive.
inline constexpr int kAnswerAccepted = 1000;

// Reads a decimal number as the C function atoi does (leading white space,
// an optional sign, digits up to the first other character; no digits give
// 0), saturating instead of overflowing.
int LeadingInteger(const std::string& text);
