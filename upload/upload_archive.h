// Uploading one archive to the tracking service: one connection, one POST,
// one answer. Every step that fails, and the service's answer, is appended to
// the event log.
#pragma once

#include <cstdint>
#include <string>

#include "eventlog/event_log.h"
#include "platform/net.h"
#include "upload/service_address.h"
#include "upload/upload_protocol.h"

// Looks up the service's address (the name of LookupName). On failure logs
// why and returns false; a look-up that fails without an error code is
// reported too and its result never used.
bool ResolveServiceHost(EventLog& log, const ServiceAddress& service, uint32_t* address);

// Uploads the archive at archive_path (UTF-8) and returns true when the
// service answered 1000; an answer whose status is not a success fails with
// its status line in the log. Blocks for the whole exchange, at most as long
// as the time-outs say. The archive is not changed.
// The service's answer code goes to *answer_code when asked for
// (kNoAnswerCode when none was read). Once the cut-off, when given, has
// passed, the upload gives up at its next wait.
bool UploadArchive(EventLog& log, const UploadParams& params, const ServiceAddress& service,
                   const std::string& archive_path, const platform::SocketTimeouts& timeouts = {},
                   int* answer_code = nullptr, const platform::NetCutoff* cutoff = nullptr);
