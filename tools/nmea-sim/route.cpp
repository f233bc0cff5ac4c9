#include "tools/nmea-sim/route.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "tools/nmea-sim/nmea_text.h"

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthRadius = 6371008.8;  // metres, mean
constexpr double kMetresPerKnotSecond = 1852.0 / 3600.0;
constexpr long long kMinuteUnits = 100000;  // minutes are sent with five decimals

double Radians(double degrees) { return degrees * kPi / 180; }
double Degrees(double radians) { return radians * 180 / kPi; }

// "ddmm.mmmmm" (digits = 2) or "dddmm.mmmmm" (digits = 3) of an unsigned angle.
std::string AngleText(double degrees, int digits) {
  long long units = std::llround(std::fabs(degrees) * 60 * kMinuteUnits);
  long long whole = units / (60 * kMinuteUnits);
  long long minutes = units % (60 * kMinuteUnits);
  char text[32];
  std::snprintf(text, sizeof(text), "%0*lld%02lld.%05lld", digits, whole, minutes / kMinuteUnits,
                minutes % kMinuteUnits);
  return text;
}

// What a reader makes of the angle text: the degrees before the minutes, plus
// the minutes over 60.
double AngleValue(const std::string& text, int digits, bool negative) {
  double value = std::atof(text.c_str() + digits) / 60 + std::atoi(text.c_str()) / 100;
  return negative ? -value : value;
}

int DaysInMonth(int month, int year) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && year % 4 == 0 ? 29 : kDays[month - 1];
}

std::string Format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* pattern, ...) {
  char text[160];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(text, sizeof(text), pattern, args);
  va_end(args);
  return text;
}

// Satellites in view per constellation: number, elevation, azimuth, signal.
struct Satellite {
  int number, elevation, azimuth, snr;
};
const Satellite kGps[] = {{4, 45, 120, 42}, {5, 30, 60, 40},  {9, 62, 300, 45},  {12, 15, 200, 35},
                          {24, 52, 250, 44}, {25, 20, 30, 38}, {29, 70, 180, 46}, {31, 10, 330, 30}};
const Satellite kGlonass[] = {{65, 40, 100, 39}, {66, 55, 160, 41}, {72, 25, 280, 36}, {81, 12, 10, 32}};

template <size_t N>
std::string SatellitesInView(const std::string& talker, const Satellite (&satellites)[N]) {
  const int per_sentence = 4;
  const int sentences = static_cast<int>((N + per_sentence - 1) / per_sentence);
  std::string out;
  for (int s = 0; s < sentences; ++s) {
    std::string body = Format("%sGSV,%d,%d,%02d", talker.c_str(), sentences, s + 1, static_cast<int>(N));
    for (size_t i = s * per_sentence; i < N && i < static_cast<size_t>((s + 1) * per_sentence); ++i) {
      const Satellite& sat = satellites[i];
      body += Format(",%02d,%02d,%03d,%02d", sat.number, sat.elevation, sat.azimuth, sat.snr);
    }
    out += Sentence(body);
  }
  return out;
}

}  // namespace

void Destination(double latitude, double longitude, double bearing, double metres, double* to_latitude,
                 double* to_longitude) {
  double angle = metres / kEarthRadius;
  double phi = Radians(latitude);
  double theta = Radians(bearing);
  double phi2 = std::asin(std::sin(phi) * std::cos(angle) + std::cos(phi) * std::sin(angle) * std::cos(theta));
  double lambda = Radians(longitude) + std::atan2(std::sin(theta) * std::sin(angle) * std::cos(phi),
                                                  std::cos(angle) - std::sin(phi) * std::sin(phi2));
  *to_latitude = Degrees(phi2);
  *to_longitude = std::remainder(Degrees(lambda), 360.0);
}

void AddSeconds(int seconds, int* time, int* date) {
  int second_of_day = (*time / 10000) * 3600 + (*time / 100 % 100) * 60 + *time % 100 + seconds;
  int day = *date / 10000, month = *date / 100 % 100, year = 2000 + *date % 100;
  for (; second_of_day >= 86400; second_of_day -= 86400) {
    if (++day > DaysInMonth(month, year)) {
      day = 1;
      if (++month > 12) month = 1, ++year;
    }
  }
  *time = (second_of_day / 3600) * 10000 + (second_of_day / 60 % 60) * 100 + second_of_day % 60;
  *date = day * 10000 + month * 100 + year % 100;
}

Route::Route(const RouteOptions& options)
    : options_(options),
      latitude_(options.start_latitude),
      longitude_(options.start_longitude),
      course_(options.heading) {}

bool Route::InCycle(int every, int spell, int second) const {
  return every > 0 && spell > 0 && second % (every + spell) >= every;
}

RoutePoint Route::Next() {
  RoutePoint point;
  point.epoch = epoch_;
  point.time = options_.start_time;
  point.date = options_.start_date;
  AddSeconds(epoch_, &point.time, &point.date);
  point.valid = !InCycle(options_.nofix_every, options_.nofix_for, epoch_);
  point.moving = !InCycle(options_.stop_every, options_.stop_for, epoch_);
  point.latitude = AngleValue(AngleText(latitude_, 2), 2, latitude_ < 0);
  point.longitude = AngleValue(AngleText(longitude_, 3), 3, longitude_ < 0);
  point.speed_knots = point.moving ? std::round(options_.speed_knots * 100) / 100 : 0;
  point.course = std::fmod(std::fmod(course_, 360) + 360, 360);
  if (point.moving) {
    Destination(latitude_, longitude_, course_, options_.speed_knots * kMetresPerKnotSecond, &latitude_,
                &longitude_);
    course_ += options_.turn;
  }
  ++epoch_;
  return point;
}

std::string Route::Sentences(const RoutePoint& point) const {
  const char* talker = options_.talker.c_str();
  std::string time = Format("%06d.00", point.time);
  std::string date = Format("%06d", point.date);
  std::string out;
  if (point.valid) {
    std::string position = AngleText(point.latitude, 2) + (point.latitude < 0 ? ",S," : ",N,") +
                           AngleText(point.longitude, 3) + (point.longitude < 0 ? ",W" : ",E");
    out += Sentence(Format("%sGGA,%s,%s,1,08,0.9,152.4,M,14.0,M,,", talker, time.c_str(), position.c_str()));
    out += Sentence(Format("%sGSA,A,3,04,05,09,12,24,25,29,31,,,,,1.8,0.9,1.5", talker));
    out += SatellitesInView("GP", kGps);
    if (options_.talker == "GN") out += SatellitesInView("GL", kGlonass);
    out += Sentence(Format("%sRMC,%s,A,%s,%.2f,%.2f,%s,,,A", talker, time.c_str(), position.c_str(),
                           point.speed_knots, point.course, date.c_str()));
  } else {
    out += Sentence(Format("%sGGA,%s,,,,,0,00,99.9,,M,,M,,", talker, time.c_str()));
    out += Sentence(Format("%sGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9", talker));
    out += SatellitesInView("GP", kGps);
    out += Sentence(Format("%sRMC,%s,V,,,,,,,%s,,,N", talker, time.c_str(), date.c_str()));
  }
  return out;
}

}  // namespace sim
