#include "suite/programs.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "log_resample/log_curve.h"
#include "suite/stop.h"
#include "textio/free_reader.h"
#include "textio/output.h"
#include "textio/require.h"

namespace resampa {

namespace {

// Written for a grid point with no data abscissa within one step.
constexpr double kMissing = 999.0;

// Number of grid points: grid end / step rounded half up, truncated. A
// quotient that is negative or not a number gives an empty grid.
double GridPoints(double grid_end, double step) {
  double m = std::trunc(grid_end / step + 0.5);
  return m >= 1.0 ? m : 0.0;
}

LogCurve ReadPairFile(suite::Context& context, const std::string& name) {
  suite::InputFile& file = context.OpenInput(name);
  LogCurve curve = ReadLogCurve(file.stream());
  context.NoteDataEnd(curve.end, name, curve.records, "pairs read");
  context.Close(file);

  const textio::Count records{static_cast<double>(curve.records)};
  if (curve.records > kNmax) {
    throw suite::Stop(suite::MessageLine("Program resampa") +
                      suite::MessageLine("ERROR(ndata>nmax) in rmkd:", records, kNmax));
  }
  if (curve.records < 2) suite::StopWith("ERROR(ndata<2) in rmkd:", records);
  if (int64_t j = FirstNonAscending(curve.f); j > 0) {
    suite::StopWith("ERROR(f not ascending) in rmkd: record", textio::Count{static_cast<double>(j)}, curve.f[j - 1]);
  }
  return curve;
}

}  // namespace

void Run(suite::Context& context) {
  textio::FreeReader& reader = context.reader();
  std::string name;
  textio::Require(reader.ReadLine(&name), "the pair-file name");
  const auto grid_end = textio::RequireValue<double>(reader, "the grid end");
  const auto step = textio::RequireValue<double>(reader, "the grid step");

  const double points = GridPoints(grid_end, step);
  if (points > kNmax) suite::StopWith("ERROR(m>nmax) in resampa:", textio::Count{points}, kNmax);
  const auto m = static_cast<int32_t>(points);

  const LogCurve curve = ReadPairFile(context, name);
  textio::Output& out = context.out();
  LogInterpolator interpolator(curve);
  for (int32_t i = 1; i <= m; ++i) {
    const double x = static_cast<double>(i) * step;
    const GridValue g = interpolator.At(x);
    // Written as a value only when a data abscissa lies within one step; a
    // NaN distance fails the test and counts as too far.
    textio::FreeLine(out).Add(x).Add(step >= g.distance ? std::pow(10.0, g.value) : kMissing).End();
  }
}

}  // namespace resampa
