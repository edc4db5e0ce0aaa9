#include "seisio/day_time.h"

#include <chrono>

namespace seisio {

namespace {

constexpr int64_t kNsPerMs = 1'000'000;
constexpr int64_t kNsPerSecond = 1000 * kNsPerMs;
constexpr int64_t kNsPerDay = 86400 * kNsPerSecond;

int64_t DaysToNewYear(int32_t year) {
  using namespace std::chrono;
  return sys_days(std::chrono::year(year) / January / 1).time_since_epoch().count();
}

}  // namespace

int32_t DaysInYear(int32_t year) { return std::chrono::year(year).is_leap() ? 366 : 365; }

int64_t NanosecondsOf(const DayTime& t) {
  const int64_t day = DaysToNewYear(t.year) + t.day_of_year - 1;
  const int64_t ms = ((int64_t{t.hour} * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
  return day * kNsPerDay + ms * kNsPerMs;
}

DayTime DayTimeOf(int64_t ns, int64_t* rest_ns) {
  int64_t day = ns / kNsPerDay;
  int64_t in_day = ns % kNsPerDay;
  if (in_day < 0) {
    in_day += kNsPerDay;
    --day;
  }
  using namespace std::chrono;
  const year_month_day date{sys_days(days(day))};
  DayTime t;
  t.year = static_cast<int32_t>(date.year());
  t.day_of_year = static_cast<int32_t>(day - DaysToNewYear(t.year) + 1);
  const int64_t ms = in_day / kNsPerMs;
  *rest_ns = in_day % kNsPerMs;
  t.millisecond = static_cast<int32_t>(ms % 1000);
  t.second = static_cast<int32_t>(ms / 1000 % 60);
  t.minute = static_cast<int32_t>(ms / 60000 % 60);
  t.hour = static_cast<int32_t>(ms / 3600000);
  return t;
}

}  // namespace seisio
