#include "array_testing/vantor_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>

#include "array_spectra/output_forms.h"
#include "suite/programs.h"
#include "testsupport/run_program.h"
#include "textio/number.h"
#include "textio/output.h"

namespace circspec::testing {

std::vector<Velocity> RunThroughVantor(int itype, double radius, std::optional<double> inner_radius,
                                       const SpectralSums& sums, const Series& series) {
  std::ostringstream input;
  {
    textio::Output out(input);
    WriteVantor(out, itype, radius, inner_radius, sums.frequencies.back(), sums.frequencies, series);
  }
  const testsupport::Outcome run = testsupport::RunInProcess(vantor::kProgram, input.str());
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<Velocity> out;
  for (const std::string& line : testsupport::Lines(run.out)) {
    std::istringstream fields(line);
    std::string f, c, third;
    fields >> f >> c >> third;
    Velocity v{0, std::numeric_limits<double>::quiet_NaN()};
    if (!textio::ParseDouble(f, &v.f)) continue;
    if (third == "NO_ROOT" || third == "SINGULAR_POINT" || !textio::ParseDouble(c, &v.c)) {
      v.c = std::numeric_limits<double>::quiet_NaN();
    }
    out.push_back(v);
  }
  return out;
}

void ExpectVelocitiesWithin(const std::string& label, const std::vector<Velocity>& v,
                            const circsim::DispersionCurve& truth, double radius, KrBand band, double tolerance) {
  int used = 0;
  double worst = 0;
  for (const Velocity& p : v) {
    const double c = truth.Velocity(p.f);
    const double kr = 2 * std::numbers::pi * p.f / c * radius;
    if (kr < band.low || kr > band.high) continue;
    ++used;
    worst = std::max(worst, std::isnan(p.c) ? INFINITY : std::fabs(p.c - c) / c);
  }
  std::cout << label << ": worst velocity error " << 100 * worst << " % over " << used << " frequencies with "
            << band.low << " <= kr <= " << band.high << "\n";
  EXPECT_GE(used, 10) << label;
  EXPECT_LE(worst, tolerance) << label;
}

}  // namespace circspec::testing
