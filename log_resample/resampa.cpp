#include "log_resample/resampa.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <string>

#include "log_resample/log_curve.h"
#include "textio/errors.h"
#include "textio/free_reader.h"
#include "textio/output.h"
#include "textio/program.h"

namespace resampa {

namespace {

// Written for a grid point with no data abscissa within one step.
constexpr double kMissing = 999.0;

// Adds a count as an integer when it fits 32 bits; a record count from a
// file of billions of lines, or an absurd grid size, is written as a real.
void AddCount(textio::FreeLine& line, double count) {
  if (count <= std::numeric_limits<int32_t>::max()) {
    line.Add(static_cast<int32_t>(count));
  } else {
    line.Add(count);
  }
}

[[noreturn]] void StopWith(const std::string& text) { throw textio::Stop(text); }

// Number of grid points: grid end / step rounded half up, truncated. A
// quotient that is negative or not a number gives an empty grid.
double GridPoints(double grid_end, double step) {
  double m = std::trunc(grid_end / step + 0.5);
  return m >= 1.0 ? m : 0.0;
}

LogCurve ReadPairFile(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  if (!file) throw textio::RuntimeError("cannot open the pair file '" + name + "'");
  LogCurve curve = ReadLogCurve(file);

  std::string text;
  if (curve.records > kNmax) {
    textio::FreeLine(&text).Add("Program resampa").End();
    textio::FreeLine line(&text);
    line.Add("ERROR(ndata>nmax) in rmkd:");
    AddCount(line, static_cast<double>(curve.records));
    line.Add(kNmax).End();
    StopWith(text);
  }
  if (curve.records < 2) {
    textio::FreeLine line(&text);
    line.Add("ERROR(ndata<2) in rmkd:");
    AddCount(line, static_cast<double>(curve.records));
    line.End();
    StopWith(text);
  }
  if (int64_t j = FirstNonAscending(curve.f); j > 0) {
    textio::FreeLine line(&text);
    line.Add("ERROR(f not ascending) in rmkd: record");
    AddCount(line, static_cast<double>(j));
    line.Add(curve.f[j - 1]).End();
    StopWith(text);
  }
  return curve;
}

void Run(std::istream& in, textio::Output& out) {
  textio::FreeReader reader(in);

  std::string name;
  textio::Require(reader.ReadLine(&name), "the pair-file name");
  double grid_end = 0.0;
  textio::Require(reader.Read({grid_end}), "the grid end");
  double step = 0.0;
  textio::Require(reader.Read({step}), "the grid step");

  const double points = GridPoints(grid_end, step);
  if (points > kNmax) {
    std::string text;
    textio::FreeLine line(&text);
    line.Add("ERROR(m>nmax) in resampa:");
    AddCount(line, points);
    line.Add(kNmax).End();
    StopWith(text);
  }
  const auto m = static_cast<int32_t>(points);

  const LogCurve curve = ReadPairFile(name);
  LogInterpolator interpolator(curve);
  for (int32_t i = 1; i <= m; ++i) {
    const double x = static_cast<double>(i) * step;
    const GridValue g = interpolator.At(x);
    // Written as a value only when a data abscissa lies within one step; a
    // NaN distance fails the test and counts as too far.
    textio::FreeLine(out).Add(x).Add(step >= g.distance ? std::pow(10.0, g.value) : kMissing).End();
  }
}

}  // namespace

int RunResampa(std::istream& in, std::ostream& out, std::ostream& err) {
  return textio::RunProgram("resampa", out, err, [&](textio::Output& o) { Run(in, o); });
}

}  // namespace resampa
