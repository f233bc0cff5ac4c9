// The test account the service stand-in is started with, and upload
// parameters that log in with it.
#pragma once

#include "upload/upload_protocol.h"

namespace testing_support {

inline constexpr char kPilotLogin[] = "pilot";
inline constexpr char kPilotPassword[] = "secret";

// Sending by distance every 500 m, visible to everybody.
inline UploadParams PilotParams() {
  UploadParams params;
  params.login = kPilotLogin;
  params.password = kPilotPassword;
  params.track_name = "Morning";
  params.track_folder = "Morning";
  params.privacy_code = "3";
  params.interval_or_distance = "500";
  params.send_mode = kSendByDistance;
  return params;
}

}  // namespace testing_support
