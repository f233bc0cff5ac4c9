// A route the receiver simulator drives along, one epoch a second, and the
// sentences a receiver sends for each epoch (GGA, GSA, GSV, RMC).
//
// The route is deterministic: a test that makes a Route with the same options
// gets the very points the simulator sent.
#pragma once

#include <string>

namespace sim {

struct RouteOptions {
  double start_latitude = 55.751244;  // decimal degrees, north positive
  double start_longitude = 37.618423;  // east positive
  double speed_knots = 10;             // over ground while moving
  double heading = 45;                 // degrees clockwise from north at the start
  double turn = 0;                     // course change per second, degrees
  // Moves stop_every seconds, then stands still stop_for seconds, and again;
  // 0 in either never stops.
  int stop_every = 0;
  int stop_for = 0;
  // Reports a fix for nofix_every seconds, then status V for nofix_for
  // seconds (position fields empty, the vehicle moving on), and again.
  int nofix_every = 0;
  int nofix_for = 0;
  std::string talker = "GP";  // GP, or GN for a GPS+GLONASS receiver
  int start_time = 120000;    // UTC hhmmss of the first epoch
  int start_date = 81226;     // UTC ddmmyy of the first epoch
};

// One epoch of the route. Latitude and longitude are the values the sentences
// carry (minutes to five decimals), converted the way a reader converts them:
// degrees + minutes / 60.
struct RoutePoint {
  int epoch = 0;         // seconds since the first epoch
  int time = 0;          // UTC hhmmss
  int date = 0;          // UTC ddmmyy
  bool valid = false;    // status A
  bool moving = false;
  double latitude = 0;
  double longitude = 0;
  double speed_knots = 0;  // as sent: 0 while standing
  double course = 0;       // degrees
};

class Route {
 public:
  explicit Route(const RouteOptions& options);

  // The next epoch's point; the first call gives epoch 0 at the start point.
  RoutePoint Next();

  // The sentences of one epoch, CR LF ended with valid checksums: GGA, GSA,
  // GSV (one set per constellation), RMC.
  std::string Sentences(const RoutePoint& point) const;

 private:
  bool InCycle(int every, int spell, int second) const;

  RouteOptions options_;
  int epoch_ = 0;
  double latitude_;   // the true position, unrounded
  double longitude_;
  double course_;
};

// The point at distance metres from a start on the initial bearing (degrees),
// on a sphere of the mean Earth radius.
void Destination(double latitude, double longitude, double bearing, double metres, double* to_latitude,
                 double* to_longitude);

// Adds seconds to a UTC time and date (hhmmss, ddmmyy; years 2000 to 2099).
void AddSeconds(int seconds, int* time, int* date);

}  // namespace sim
