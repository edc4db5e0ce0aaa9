#ifndef CIRCARRAY_SEISIO_DAY_TIME_H_
#define CIRCARRAY_SEISIO_DAY_TIME_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace seisio {

// A time of day on a day of the year, as SAC's reference time and SEED
// headers count it (UTC, day 1 is January 1).
struct DayTime {
  int32_t year = 1970;
  int32_t day_of_year = 1;  // 1 .. 365 or 366
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  int32_t millisecond = 0;
};

// Days in `year` of the Gregorian calendar.
int32_t DaysInYear(int32_t year);

// Nanoseconds since 1970-01-01T00:00:00 of `t` (POSIX time: every day has
// 86400 seconds). The fields must be in range: years 1700 to 2200, and a
// second of 60 (a leap second) counts as the next minute's first.
int64_t NanosecondsOf(const DayTime& t);

// The time of `ns` cut to the millisecond, and what is left below it
// (0 <= rest_ns < 1,000,000).
DayTime DayTimeOf(int64_t ns, int64_t* rest_ns);

// Nanoseconds since 1970-01-01T00:00:00 of a UTC date-time written
// YYYY-MM-DDTHH:MM:SS, optionally with a fraction of the second (up to 9
// digits) and a final Z: "2017-06-09T22:32:00", "2017-06-09T22:32:00.25Z".
// Nothing for any other text, or a date that does not exist; years 1700
// to 2200.
std::optional<int64_t> ParseIsoTime(std::string_view text);

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_DAY_TIME_H_
