// The root search on 200 random models: the root found is the slowest
// root of the secular function, the curves are continuous in frequency,
// and no velocity exceeds the half-space's vs. These tests use the
// library's own secular functions (the theory tests of dispersion_test.cpp
// carry their correctness); what they check is the search.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "profile_inversion/dispersion.h"
#include "profile_inversion/love_secular.h"
#include "profile_inversion/model_check.h"
#include "profile_inversion/rayleigh_secular.h"
#include "textio/format.h"

namespace circinv {
namespace {

// Uniform on [lo, hi) from the standardised mt19937_64 output alone, so that
// the models are the same with every standard library.
double Uniform(std::mt19937_64& gen, double lo, double hi) {
  return lo + (hi - lo) * static_cast<double>(gen() >> 11) * 0x1.0p-53;
}

// 3 to 8 layers (the last the half-space) with vs between 100 and 1000 m/s
// in any order (so low-velocity layers and stiff lids are common, and the
// contrast reaches 10), Poisson's ratio 0.05 to 0.49, densities 1500 to
// 2600 kg/m^3, thicknesses 0.5 to 30 m. Half of the models have the fastest
// vs in the half-space, so that their modes exist at all frequencies.
LayeredModel RandomModel(std::mt19937_64& gen) {
  const int rows = 3 + static_cast<int>(gen() % 6);
  LayeredModel model;
  for (int i = 0; i < rows; ++i) {
    const double vs = 100 * std::pow(10.0, Uniform(gen, 0, 1));
    const double poisson = Uniform(gen, 0.05, 0.49);
    const double vp = vs * std::sqrt((2 - 2 * poisson) / (1 - 2 * poisson));
    const double thickness = i + 1 < rows ? Uniform(gen, 0.5, 30) : 0;
    model.layers.push_back({thickness, vp, vs, Uniform(gen, 1500, 2600)});
  }
  if (gen() % 2 == 0) {
    for (Layer& l : model.layers) {
      if (l.vs > model.layers.back().vs)
        std::swap(l.vs, model.layers.back().vs), std::swap(l.vp, model.layers.back().vp);
    }
  }
  return model;
}

struct Secular {
  Wave wave;
  RayleighSecular rayleigh;
  LoveSecular love;
  double operator()(double omega, double c) const {
    return wave == Wave::kRayleigh ? rayleigh(omega, c) : love(omega, c);
  }
};

// The first sign change of F from 0.5 x the smallest vs up to the
// half-space's vs, on a grid much finer than the search's: relative steps
// of 1e-3 and phase steps of 1/40 rad in every layer (the search's fine
// grid takes up to 5e-2 and 0.5). Returns the bracket, or {NaN, NaN}.
std::pair<double, double> BruteForceFirstRoot(const Secular& f, const LayeredModel& model, double omega) {
  double slowest = model.layers.back().vs;
  for (const Layer& l : model.layers) slowest = std::min(slowest, l.vs);
  const double hi = model.layers.back().vs;
  double c = 0.5 * slowest;
  double fc = f(omega, c);
  while (c < hi) {
    double step = 1e-3 * c;
    for (size_t i = 0; i + 1 < model.layers.size(); ++i) {
      for (double v : {model.layers[i].vs, model.layers[i].vp}) {
        if (c <= v) continue;
        // d theta / dc for theta = omega h sqrt(1/v^2 - 1/c^2).
        const double slope = omega * model.layers[i].thickness / (c * c * c * std::sqrt(1 / (v * v) - 1 / (c * c)));
        step = std::min(step, (1.0 / 40) / slope);
      }
    }
    const double next = std::min(hi, c + std::max(step, 1e-9 * c));
    const double fn = f(omega, next);
    if ((fn > 0) != (fc > 0) || fn == 0) {
      if (fn == 0 && next >= hi) break;
      return {c, next};
    }
    c = next;
    fc = fn;
  }
  return {NAN, NAN};
}

std::string Describe(const LayeredModel& model) {
  std::string text;
  for (const Layer& l : model.layers) {
    text += textio::Shortest(l.thickness) + " " + textio::Shortest(l.vp) + " " + textio::Shortest(l.vs) + " " +
            textio::Shortest(l.density) + "\n";
  }
  return text;
}

TEST(ModeSearchTest, RandomModelsGiveTheSlowestRoot) {
  std::mt19937_64 gen(20240611);
  const std::vector<double> f = {0.7, 3, 11, 40, 150};
  int roots = 0, no_mode = 0;
  for (int trial = 0; trial < 200; ++trial) {
    const LayeredModel model = RandomModel(gen);
    ASSERT_EQ(WhyUnphysical(model), "");
    const double vs_half = model.layers.back().vs;
    for (Wave wave : {Wave::kRayleigh, Wave::kLove}) {
      SCOPED_TRACE(Describe(model) + (wave == Wave::kRayleigh ? "Rayleigh" : "Love"));
      Secular secular{wave, {}, {}};
      secular.rayleigh.Prepare(model);
      secular.love.Prepare(model);
      DispersionSolver solver(wave);
      std::vector<double> c(f.size());
      solver.PhaseVelocities(model, f, c);
      for (size_t i = 0; i < f.size(); ++i) {
        SCOPED_TRACE(f[i]);
        const double omega = 2 * std::numbers::pi * f[i];
        const auto [a, b] = BruteForceFirstRoot(secular, model, omega);
        if (std::isnan(a)) {
          EXPECT_TRUE(std::isnan(c[i])) << c[i];
          ++no_mode;
          continue;
        }
        ++roots;
        ASSERT_FALSE(std::isnan(c[i])) << "brute force root in " << a << " " << b;
        EXPECT_LT(c[i], vs_half);
        // No slower root than the brute force's first one...
        EXPECT_LE(c[i], b * (1 + 1e-12)) << "brute force root in " << a << " " << b;
        // ...and c is a root: F changes sign across it.
        const double below = secular(omega, c[i] * (1 - 1e-10)), above = secular(omega, c[i] * (1 + 1e-10));
        EXPECT_TRUE((below > 0) != (above > 0) || below == 0 || above == 0) << c[i];
      }
    }
  }
  // The draw covers both outcomes.
  EXPECT_GT(roots, 1000);
  EXPECT_GT(no_mode, 50);
}

// Models where an earlier search missed the slowest root, each against the
// brute-force scan: a heavy lid over a soft layer, whose fundamental is
// slower than every material's own Rayleigh velocity (below the scan's old
// start at 0.95 times the smallest of them); a pair of roots just below the
// half-space's vs, where the half-space's nu changes fastest; and a pair
// next to a buried layer's vs at 30 Hz, where that layer's decay changes
// fastest.
TEST(ModeSearchTest, HardModelsGiveTheSlowestRoot) {
  struct Case {
    double f;
    LayeredModel model;
  };
  const Case cases[] = {
      {3, {{{11.53, 161.0, 109.1, 2580}, {19.85, 263.4, 101.4, 1533}, {0, 1282, 772.2, 1748}}}},
      {3,
       {{{12.22, 730.0, 426.3, 2068},
         {2.099, 334.1, 223.3, 1956},
         {6.678, 505.1, 247.0, 1865},
         {29.11, 180.8, 110.9, 2438},
         {9.241, 541.2, 335.1, 1652},
         {26.97, 1195, 440.8, 2202},
         {17.64, 184.0, 126.5, 1974},
         {0, 340.1, 173.4, 1539}}}},
      {30,
       {{{9.780, 472.0, 228.8, 2173},
         {20.42, 628.8, 218.0, 2159},
         {5.404, 821.5, 192.7, 1630},
         {3.798, 397.7, 247.5, 1513},
         {3.009, 1252, 561.8, 1893},
         {0, 1176, 665.0, 2418}}}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(Describe(test.model));
    Secular secular{Wave::kRayleigh, {}, {}};
    secular.rayleigh.Prepare(test.model);
    DispersionSolver solver(Wave::kRayleigh);
    double c = 0;
    solver.PhaseVelocities(test.model, std::span<const double>(&test.f, 1), std::span<double>(&c, 1));
    const auto [a, b] = BruteForceFirstRoot(secular, test.model, 2 * std::numbers::pi * test.f);
    ASSERT_FALSE(std::isnan(a));
    EXPECT_GE(c, a);
    EXPECT_LE(c, b);
  }
}

// Continuity: on 60 frequencies from 0.5 to 80 Hz, wherever the curve moves
// by more than 2% between neighbours, the interval is halved 40 times,
// following the larger half each time. A continuous curve, however steep,
// then moves by a vanishing amount (its slope times 1e-12 of the interval);
// a jump to another mode (a missed root) stays. This needs no knowledge of
// the model's own variation, only that a mode's c(f) is continuous.
//
// One jump is genuine: where a mode branch folds back in frequency (a
// zero-group-velocity point), a pair of roots is born below the slowest
// one, and the slowest root drops. A jump that survives the refinement
// must be such a birth: on both sides of it the brute-force scan finds no
// root slower than the solver's. The draw has a few (counted below).
TEST(ModeSearchTest, RandomCurvesAreContinuous) {
  std::mt19937_64 gen(77);
  int births = 0;
  for (int trial = 0; trial < 200; ++trial) {
    const LayeredModel model = RandomModel(gen);
    for (Wave wave : {Wave::kRayleigh, Wave::kLove}) {
      SCOPED_TRACE(Describe(model) + (wave == Wave::kRayleigh ? "Rayleigh" : "Love"));
      DispersionSolver solver(wave);
      std::vector<double> f(60), c(60);
      for (int i = 0; i < 60; ++i) f[i] = 0.5 * std::pow(160.0, i / 59.0);
      solver.PhaseVelocities(model, f, c);
      for (int i = 0; i + 1 < 60; ++i) {
        EXPECT_FALSE(c[i] >= model.layers.back().vs);
        // A mode that starts or ends (NaN on one side) is not a jump.
        if (std::isnan(c[i]) || std::isnan(c[i + 1]) || std::abs(c[i + 1] - c[i]) <= 0.02 * c[i]) continue;
        double f_lo = f[i], f_hi = f[i + 1], c_lo = c[i], c_hi = c[i + 1];
        for (int level = 0; level < 40 && !std::isnan(c_lo) && !std::isnan(c_hi); ++level) {
          const double f_mid = f_lo + (f_hi - f_lo) / 2;
          double c_mid;
          solver.PhaseVelocities(model, std::span<const double>(&f_mid, 1), std::span<double>(&c_mid, 1));
          if (std::isnan(c_mid) || std::abs(c_mid - c_lo) > std::abs(c_hi - c_mid)) {
            f_hi = f_mid;
            c_hi = c_mid;
          } else {
            f_lo = f_mid;
            c_lo = c_mid;
          }
        }
        if (std::isnan(c_lo) || std::isnan(c_hi) || std::abs(c_hi - c_lo) < 1e-6 * c_lo) continue;
        // A surviving jump: the slowest root on both sides, and a drop.
        ++births;
        Secular secular{wave, {}, {}};
        secular.rayleigh.Prepare(model);
        secular.love.Prepare(model);
        EXPECT_LT(c_hi, c_lo) << "jump up at " << f_lo << " Hz";
        for (auto [fx, cx] : {std::pair(f_lo, c_lo), std::pair(f_hi, c_hi)}) {
          const auto [a, b] = BruteForceFirstRoot(secular, model, 2 * std::numbers::pi * fx);
          EXPECT_LE(cx, b * (1 + 1e-12)) << "jump at " << fx << " Hz to " << cx << "; brute force root in " << a << " "
                                         << b;
        }
      }
    }
  }
  EXPECT_LT(births, 10);
}

}  // namespace
}  // namespace circinv
