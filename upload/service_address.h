// Where the tracking service lives: the "Server" setting, host[:port].
#pragma once

#include <cstdint>
#include <string>

#include "settings/send_mode.h"

struct ServiceAddress {
  std::string host = kDefaultServiceHost;  // 8-bit text, as the Host header carries it
  uint16_t port = 80;
};

// Reads host[:port]. Blank text gives the default host; the port is 80 when
// omitted. A ":" not followed by a port of 1 to 65535 stays part of the host
// (which then fails to resolve and is reported by name).
ServiceAddress ParseServiceAddress(const std::wstring& setting);

// The Host header's value: the host, with ":port" when the port is not 80.
std::string HostHeader(const ServiceAddress& service);

// The name the upload looks up: "www." + host, except that an IPv4 literal and
// "localhost" are looked up as they are.
std::string LookupName(const std::string& host);
