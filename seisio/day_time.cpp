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

std::optional<int64_t> ParseIsoTime(std::string_view text) {
  if (text.ends_with('Z')) text.remove_suffix(1);
  // Fixed-width digits, read one by one: no sign, no blanks, nothing else.
  auto digits = [&](size_t at, size_t count, int32_t* value) {
    if (at + count > text.size()) return false;
    *value = 0;
    for (size_t i = at; i < at + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      *value = *value * 10 + (text[i] - '0');
    }
    return true;
  };
  int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
      !digits(0, 4, &year) || !digits(5, 2, &month) || !digits(8, 2, &day) || !digits(11, 2, &hour) ||
      !digits(14, 2, &minute) || !digits(17, 2, &second)) {
    return std::nullopt;
  }
  int64_t fraction_ns = 0;
  if (text.size() > 19) {
    const size_t places = text.size() - 20;
    if (text[19] != '.' || places == 0 || places > 9) return std::nullopt;
    int32_t fraction = 0;
    if (!digits(20, places, &fraction)) return std::nullopt;
    fraction_ns = fraction;
    for (size_t i = places; i < 9; ++i) fraction_ns *= 10;
  }
  using namespace std::chrono;
  const year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                            std::chrono::day(static_cast<unsigned>(day))};
  if (year < 1700 || year > 2200 || !date.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  DayTime t;
  t.year = year;
  t.day_of_year = static_cast<int32_t>((sys_days(date) - sys_days(std::chrono::year(year) / January / 1)).count()) + 1;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return NanosecondsOf(t) + fraction_ns;
}

}  // namespace seisio
