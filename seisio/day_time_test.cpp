#include "seisio/day_time.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace seisio {
namespace {

TEST(ParseIsoTime, ReadsUtcDateTimesToTheNanosecond) {
  constexpr int64_t kS = 1'000'000'000;
  const std::pair<const char*, std::optional<int64_t>> cases[] = {
      {"1970-01-01T00:00:00", 0},
      {"1970-01-01T00:00:01Z", kS},
      {"2017-06-09T22:32:00", 1497047520 * kS},
      {"2017-06-09T22:32:00.25Z", 1497047520 * kS + kS / 4},
      {"2017-06-09T22:32:00.000001", 1497047520 * kS + 1000},
      {"2017-06-09T22:32:00.123456789", 1497047520 * kS + 123456789},
      {"2016-02-29T12:00:00", 1456747200 * kS},  // a leap day
      {"1969-12-31T23:59:59", -kS},
      // Not a date-time of this form, or no such date.
      {"2017-02-29T00:00:00", std::nullopt},
      {"2017-06-09 22:32:00", std::nullopt},
      {"2017-06-09T22:32", std::nullopt},
      {"2017-06-09T24:00:00", std::nullopt},
      {"2017-6-9T22:32:00", std::nullopt},
      {"2017-06-09T22:32:00.", std::nullopt},
      {"2017-06-09T22:32:00.1234567891", std::nullopt},
      {"2017-06-09T22:32:00+01:00", std::nullopt},
      {"+017-06-09T22:32:00", std::nullopt},
      {"1500-01-01T00:00:00", std::nullopt},
      {"120.5", std::nullopt},
  };
  for (const auto& [text, ns] : cases) EXPECT_EQ(ParseIsoTime(text), ns) << text;
}

}  // namespace
}  // namespace seisio
