#include "seismic_convert/columns.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "textio/format.h"

namespace seis2col {

namespace {

// The doubles nearest 10^1 .. 10^-17: compared with, never computed, so a
// digit count does not depend on the rounding of repeated divisions.
constexpr double kDecimalSteps[] = {1e1,  1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7, 1e-8,
                                    1e-9, 1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17};

constexpr double kIntegerLimits[] = {1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                     1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

}  // namespace

int TimeDigits(double largest_time, double interval, int digits) {
  // Decimals: the place below the interval's leading digit (0.01 s: 3
  // decimals, the millisecond).
  // kDecimalSteps[k] is 10^(1 - k): the fewest decimals k with
  // 10^-k <= interval / 10.
  int decimals = 0;
  while (decimals + 1 < static_cast<int>(std::size(kDecimalSteps)) && kDecimalSteps[decimals] > interval) ++decimals;
  // Digits before the point.
  const double largest = std::fabs(largest_time);
  int integer = 1;
  while (integer < static_cast<int>(std::size(kIntegerLimits)) && largest >= kIntegerLimits[integer - 1]) ++integer;
  return std::clamp(std::max(digits, integer + decimals), 1, textio::kMaxSignificantDigits);
}

void WriteColumns(const seisio::StationRecord& station, const ColumnFormat& format, textio::Output& out) {
  const seisio::Trace& u = station.traces[0];
  const seisio::Trace& e = station.traces[1];
  const seisio::Trace& n = station.traces[2];
  const double dt = u.interval;
  const size_t length = station.length;

  // Epoch times as whole seconds plus the rest: the rest and i x dt are
  // small, so their sum is exact to far below a nanosecond and the one
  // rounding that matters is the final addition.
  double whole = 0.0;
  double fraction = 0.0;
  if (format.epoch) {
    int64_t seconds = u.start_ns / seisio::kNanosecondsPerSecond;
    int64_t rest = u.start_ns % seisio::kNanosecondsPerSecond;
    if (rest < 0) {
      rest += seisio::kNanosecondsPerSecond;
      --seconds;
    }
    whole = static_cast<double>(seconds);
    fraction = static_cast<double>(rest) * 1e-9;
  }
  auto time_of = [&](size_t i) { return whole + (fraction + static_cast<double>(i) * dt); };
  const int time_digits =
      TimeDigits(length > 0 ? std::max(std::fabs(time_of(0)), std::fabs(time_of(length - 1))) : 0.0, dt, format.digits);

  for (size_t i = 0; i < length; ++i) {
    std::string* line = out.buffer();
    line->push_back(' ');
    textio::AppendReal(line, time_of(i), time_digits);
    line->push_back(' ');
    textio::AppendReal(line, u.samples[i], format.digits);
    line->push_back(' ');
    textio::AppendReal(line, e.samples[i], format.digits);
    line->push_back(' ');
    textio::AppendReal(line, n.samples[i], format.digits);
    line->push_back('\n');
    out.Commit();
  }
}

}  // namespace seis2col
