// Writes the demo's synthetic observations for a known dispersion curve.
//
// The curve is a smooth, normally dispersive Rayleigh-wave phase velocity
// c(f) = 180 + 520 / (1 + (f/4)^2) m/s, as over soft sediments. For a
// circular array of radius r, the spatial-autocorrelation coefficient at
// frequency f is J0(2 pi f r / c(f)) and the power ratio of the zeroth- to
// the first-order circular component is J0^2 / J1^2 at the same argument.
// A little deterministic noise stands in for measurement scatter.
//
// Usage: make_demo_data DIR  (writes DIR/spac_itype1.txt,
// DIR/ratio_itype5.txt and DIR/true_velocity.txt)

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include <boost/math/special_functions/bessel.hpp>

#include "textio/output.h"

namespace {

double TrueVelocity(double f) { return 180.0 + 520.0 / (1.0 + (f / 4.0) * (f / 4.0)); }

// Uniform noise in [-1, 1] from a fixed linear congruential sequence, so
// the demo data are the same on every machine.
double Noise(unsigned* state) {
  *state = *state * 1664525u + 1013904223u;
  return static_cast<double>(*state >> 8) / static_cast<double>(1u << 23) - 1.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_data DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const double kSpacRadius = 5.0;   // m
  const double kRatioRadius = 3.0;  // m

  std::ofstream spac_file(dir + "/spac_itype1.txt");
  std::ofstream ratio_file(dir + "/ratio_itype5.txt");
  std::ofstream truth_file(dir + "/true_velocity.txt");
  textio::Output spac(spac_file), ratio(ratio_file), truth(truth_file);

  // Parameter records: itype, radius, fstep, fend.
  textio::FreeLine(spac).Add(int32_t{1}).Add(static_cast<float>(kSpacRadius)).Add(0.0f).Add(100.0f).End();
  textio::FreeLine(ratio).Add(int32_t{5}).Add(static_cast<float>(kRatioRadius)).Add(0.0f).Add(100.0f).End();

  unsigned state = 12345u;
  for (double f = 4.0; f <= 20.0; f += 1.0) {
    const double c = TrueVelocity(f);
    const double x_spac = 2.0 * M_PI * f * kSpacRadius / c;
    const double x_ratio = 2.0 * M_PI * f * kRatioRadius / c;
    const double spac_value = boost::math::cyl_bessel_j(0, x_spac) + 0.0005 * Noise(&state);
    const double j0 = boost::math::cyl_bessel_j(0, x_ratio);
    const double j1 = boost::math::cyl_bessel_j(1, x_ratio);
    const double ratio_value = (j0 * j0) / (j1 * j1) * (1.0 + 0.005 * Noise(&state));
    textio::FreeLine(spac).Add(static_cast<float>(f)).Add(static_cast<float>(spac_value)).End();
    textio::FreeLine(ratio).Add(static_cast<float>(f)).Add(static_cast<float>(ratio_value)).End();
    textio::FreeLine(truth).Add(static_cast<float>(f)).Add(static_cast<float>(c)).End();
  }
  spac.Flush();
  ratio.Flush();
  truth.Flush();
  return 0;
}
