#include "array_synthesis/record_writer.h"

#include <algorithm>
#include <cmath>

#include "textio/format.h"

namespace circsim {

int TimeDigits(long samples) {
  const int needed = static_cast<int>(std::ceil(std::log10(static_cast<double>(std::max(samples, 1L))))) + 3;
  return std::clamp(needed, 9, textio::kMaxSignificantDigits);
}

void WriteColumns(const StationRecord& record, double dt, double offset, int digits, textio::Output& out) {
  const int time_digits = TimeDigits(record.samples());
  const std::span<const double> u = record.series(kVertical);
  const std::span<const double> e = record.series(kEast);
  const std::span<const double> n = record.series(kNorth);
  std::string* line = out.buffer();
  for (size_t j = 0; j < u.size(); ++j) {
    line->push_back(' ');
    textio::AppendReal(line, static_cast<double>(j + 1) * dt + offset, time_digits);
    line->push_back(' ');
    textio::AppendReal(line, u[j], digits);
    line->push_back(' ');
    textio::AppendReal(line, e[j], digits);
    line->push_back(' ');
    textio::AppendReal(line, n[j], digits);
    line->push_back('\n');
    out.Commit();
  }
}

}  // namespace circsim
