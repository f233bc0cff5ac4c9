// One fix as the reader delivers it. Latitude and longitude travel beside it
// as signed decimal degrees.
#pragma once

struct GpsFix {
  int time = 0;          // UTC hhmmss, the fraction dropped
  int date = 0;          // ddmmyy
  double speed = 0;      // speed over ground, knots
  bool valid = false;    // status "A"
  double altitude = 0;   // metres, from GGA
  int satellites = 0;    // in use, from GGA
  int usedsatellites = 0;  // non-empty satellite fields of GSA
};
