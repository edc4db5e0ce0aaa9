#include "profile_inversion/neighbourhood.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "profile_inversion/local_descent.h"
#include "profile_inversion/random_stream.h"
#include "profile_inversion/region_walk.h"
#include "profile_inversion/voronoi_walk.h"
#include "textio/errors.h"

namespace circinv {
namespace {

// Analytic misfits over the unit cube with a known minimum.
struct AnalyticCase {
  const char* name;
  int dimension;
  std::vector<double> minimum;
  double (*misfit)(std::span<const double> x, std::span<const double> minimum);
};

// A sphere: the distance to the minimum.
double Sphere(std::span<const double> x, std::span<const double> m) {
  double s = 0;
  for (size_t i = 0; i < x.size(); ++i) s += (x[i] - m[i]) * (x[i] - m[i]);
  return std::sqrt(s);
}

// A banana valley: Rosenbrock's function shifted to the minimum, whose
// narrow curved valley a search along the axes must follow.
double Valley(std::span<const double> x, std::span<const double> m) {
  double s = 0;
  for (size_t i = 0; i + 1 < x.size(); ++i) {
    const double a = x[i] - m[i];
    const double b = (x[i + 1] - m[i + 1]) - 2.0 * a * a;
    s += 10.0 * b * b + a * a;
  }
  return std::sqrt(s);
}

const AnalyticCase kAnalyticCases[] = {
    {"sphere_6d", 6, {0.13, 0.71, 0.42, 0.9, 0.05, 0.6}, Sphere},
    {"valley_4d", 4, {0.3, 0.6, 0.45, 0.2}, Valley},
};

// Rastrigin's function scaled to the cube: about 5^3 local minima, 0.2
// apart, around the global one, where a local search gets stuck.
double Rastrigin(std::span<const double> x, std::span<const double> m) {
  double s = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double a = 5.0 * (x[i] - m[i]);
    s += a * a - 10.0 * std::cos(2.0 * M_PI * a) + 10.0;
  }
  return s;
}

SearchProblem ProblemOf(const AnalyticCase& c) {
  SearchProblem problem;
  problem.dimension = c.dimension;
  problem.misfit = [&c](std::span<const double> x) { return c.misfit(x, c.minimum); };
  return problem;
}

double DistanceToMinimum(const SearchResult& r, const AnalyticCase& c) { return Sphere(r.point(r.best()), c.minimum); }

TEST(NeighbourhoodSearch, FindsTheKnownMinimumOfAnalyticFunctions) {
  NeighbourhoodSettings settings;
  settings.models = 6000;
  settings.chains = 2;
  settings.seed = 17;
  for (const AnalyticCase& c : kAnalyticCases) {
    SCOPED_TRACE(c.name);
    const SearchResult r = NeighbourhoodSearch(ProblemOf(c), settings);
    ASSERT_EQ(r.size(), settings.models);
    EXPECT_LT(DistanceToMinimum(r, c), 0.02);
    // Converges: the later half of each chain found better models than its first iteration did.
    const auto first_iteration =
        std::min_element(r.misfits.begin(), r.misfits.begin() + settings.samples_per_iteration);
    EXPECT_LT(r.misfits[r.best()], 0.2 * *first_iteration);
  }
}

// With many local minima the search is not sure to end in the global one,
// but most seeds must (about 3 in 4 with the default settings): a random
// search of as many models comes within 0.02 of the minimum with
// probability 0.18, and then 10 or more of 20 seeds with probability 0.001.
TEST(NeighbourhoodSearch, EscapesLocalMinima) {
  const AnalyticCase rastrigin{"rastrigin_3d", 3, {0.37, 0.62, 0.81}, Rastrigin};
  NeighbourhoodSettings settings;
  settings.models = 6000;
  int found = 0;
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    settings.seed = seed;
    found += DistanceToMinimum(NeighbourhoodSearch(ProblemOf(rastrigin), settings), rastrigin) < 0.02;
  }
  EXPECT_GE(found, 10);
}

TEST(NeighbourhoodSearch, SameSeedSameModelsOtherSeedOthers) {
  const AnalyticCase& c = kAnalyticCases[1];
  NeighbourhoodSettings settings;
  settings.models = 1500;
  settings.seed = 99;
  const SearchResult a = NeighbourhoodSearch(ProblemOf(c), settings);
  const SearchResult b = NeighbourhoodSearch(ProblemOf(c), settings);
  EXPECT_EQ(a.points, b.points);  // bit for bit
  EXPECT_EQ(a.misfits, b.misfits);
  settings.seed = 100;
  const SearchResult other = NeighbourhoodSearch(ProblemOf(c), settings);
  EXPECT_NE(a.points, other.points);
  EXPECT_NE(a.misfits, other.misfits);
}

TEST(NeighbourhoodSearch, ReportsProgressAfterEachIteration) {
  NeighbourhoodSettings settings;
  settings.models = 1050;  // 2 chains of 525: 6 iterations each, the last of 25
  settings.chains = 2;
  std::vector<int64_t> done;
  std::vector<double> best;
  const SearchResult r = NeighbourhoodSearch(ProblemOf(kAnalyticCases[0]), settings, [&](int64_t n, double misfit) {
    done.push_back(n);
    best.push_back(misfit);
  });
  EXPECT_EQ(done, (std::vector<int64_t>{100, 200, 300, 400, 500, 525, 625, 725, 825, 925, 1025, 1050}));
  EXPECT_TRUE(std::is_sorted(best.rbegin(), best.rend()));  // never worse
  EXPECT_EQ(best.back(), r.misfits[r.best()]);
}

TEST(NeighbourhoodSearch, NanMisfitRanksLast) {
  SearchProblem problem = ProblemOf(kAnalyticCases[0]);
  problem.misfit = [](std::span<const double> x) {
    return x[0] < 0.5 ? std::numeric_limits<double>::quiet_NaN() : x[0];
  };
  NeighbourhoodSettings settings;
  settings.models = 1000;
  const SearchResult r = NeighbourhoodSearch(problem, settings);
  EXPECT_GE(r.point(r.best())[0], 0.5);
  EXPECT_LT(r.point(r.best())[0], 0.52);
}

TEST(NeighbourhoodSearch, RefusesSettingsThatMakeNoSearch) {
  struct Case {
    int dimension;
    int64_t models;
    int ns, nr, chains;
  };
  const Case cases[] = {{0, 1000, 100, 50, 1}, {2, 1000, 0, 0, 1},    {2, 1000, 100, 0, 1},
                        {2, 1000, 10, 20, 1},  {2, 1000, 100, 50, 0}, {2, 300, 100, 50, 4}};
  for (const Case& c : cases) {
    EXPECT_THROW(CheckSettings({c.models, c.ns, c.nr, c.chains, 1}, c.dimension), textio::RuntimeError)
        << c.dimension << " " << c.models << " " << c.ns << " " << c.nr << " " << c.chains;
  }
  EXPECT_NO_THROW(CheckSettings({400, 100, 50, 4, 1}, 1));
}

// The index of the point of `cells` nearest to x, and whether it is tied
// (to within rounding) with `centre`.
bool NearestIs(const PointSet& cells, std::span<const double> x, int64_t centre) {
  auto distance2 = [&](int64_t j) {
    double s = 0;
    for (int i = 0; i < cells.dimension(); ++i) s += (cells.at(j, i) - x[i]) * (cells.at(j, i) - x[i]);
    return s;
  };
  const double own = distance2(centre);
  for (int64_t j = 0; j < cells.size(); ++j) {
    if (distance2(j) < own - 1e-12) return false;
  }
  return true;
}

TEST(VoronoiWalk, SamplesStayInTheCellOfTheirCentre) {
  for (const int dimension : {2, 5, 12}) {
    SCOPED_TRACE(dimension);
    RandomStream random(dimension);
    PointSet cells(dimension);
    std::vector<double> p(dimension);
    for (int n = 0; n < 300; ++n) {
      for (double& x : p) x = random.Uniform();
      cells.Add(p);
    }
    for (const int64_t centre : {0, 137, 299}) {
      VoronoiWalk walk(cells, centre, {});
      std::vector<double> first(dimension);
      cells.CopyPoint(centre, first);
      double moved = 0;
      for (int s = 0; s < 300; ++s) {
        walk.Sweep(random, p);
        ASSERT_TRUE(NearestIs(cells, p, centre)) << "centre " << centre << " sample " << s;
        for (int i = 0; i < dimension; ++i) {
          ASSERT_GE(p[i], 0.0);
          ASSERT_LE(p[i], 1.0);
          moved = std::max(moved, std::abs(p[i] - first[i]));
        }
      }
      EXPECT_GT(moved, 0.0);
    }
  }
}

// Two points at x = 0.25 and 0.75 split the square at x = 0.5; the walk in
// the first cell must be uniform on [0, 0.5] x [0, 1], up to both boundaries.
TEST(VoronoiWalk, IsUniformOverAKnownCell) {
  PointSet cells(2);
  cells.Add(std::vector<double>{0.25, 0.5});
  cells.Add(std::vector<double>{0.75, 0.5});
  RandomStream random(3);
  VoronoiWalk walk(cells, 0, {});
  std::vector<double> p(2);
  constexpr int kSamples = 20000;
  double sum_x = 0, sum_y = 0, max_x = 0, min_x = 1;
  int below_quarter = 0;
  for (int s = 0; s < kSamples; ++s) {
    walk.Sweep(random, p);
    sum_x += p[0];
    sum_y += p[1];
    max_x = std::max(max_x, p[0]);
    min_x = std::min(min_x, p[0]);
    below_quarter += p[0] < 0.125;
  }
  // Standard errors of the means: 0.5 / sqrt(12 n) = 0.001 and 0.002.
  EXPECT_NEAR(sum_x / kSamples, 0.25, 0.005);
  EXPECT_NEAR(sum_y / kSamples, 0.5, 0.01);
  EXPECT_LE(max_x, 0.5);
  EXPECT_GT(max_x, 0.499);
  EXPECT_LT(min_x, 0.001);
  EXPECT_NEAR(below_quarter / double{kSamples}, 0.25, 0.015);
}

TEST(VoronoiWalk, KeepsToTheConstraint) {
  // x0 <= x1 <= x2, given axis by axis.
  const AxisLimits ordered = [](std::span<const double> x, int axis) {
    AxisInterval r;
    if (axis > 0) r.lower = x[axis - 1];
    if (axis < 2) r.upper = x[axis + 1];
    return r;
  };
  RandomStream random(8);
  PointSet cells(3);
  std::vector<double> p(3);
  for (int n = 0; n < 100; ++n) {
    for (double& x : p) x = random.Uniform();
    std::sort(p.begin(), p.end());
    cells.Add(p);
  }
  VoronoiWalk walk(cells, 42, ordered);
  for (int s = 0; s < 500; ++s) {
    walk.Sweep(random, p);
    ASSERT_TRUE(p[0] <= p[1] && p[1] <= p[2]) << p[0] << " " << p[1] << " " << p[2];
    ASSERT_TRUE(NearestIs(cells, p, 42));
  }
}

// With a constraint the initial models come from a Gibbs sampler over the
// feasible set: x0 <= x1 <= x2 holds for every model, and the first
// coordinate has the marginal of the smallest of three uniforms, mean 1/4.
TEST(NeighbourhoodSearch, InitialModelsCoverTheFeasibleSet) {
  SearchProblem problem;
  problem.dimension = 3;
  problem.misfit = [](std::span<const double>) { return 1.0; };
  problem.limits = [](std::span<const double> x, int axis) {
    AxisInterval r;
    if (axis > 0) r.lower = x[axis - 1];
    if (axis < 2) r.upper = x[axis + 1];
    return r;
  };
  problem.feasible_start = {0, 0, 0};
  NeighbourhoodSettings settings;
  settings.models = 4000;
  settings.samples_per_iteration = 4000;
  settings.resampled_cells = 1;
  settings.chains = 1;
  const SearchResult r = NeighbourhoodSearch(problem, settings);
  double sum = 0;
  for (int64_t m = 0; m < r.size(); ++m) {
    const std::span<const double> x = r.point(m);
    ASSERT_TRUE(x[0] <= x[1] && x[1] <= x[2]);
    sum += x[0];
  }
  // Standard deviation of the minimum of three uniforms: sqrt(3/80) = 0.19;
  // the chain's samples are correlated, so allow several standard errors.
  EXPECT_NEAR(sum / r.size(), 0.25, 0.02);
}

// The polish from a poor start reaches the minimum of a sphere and of an
// elongated, rotated valley that a search along the axes descends slowly.
TEST(LocalDescent, ReachesTheMinimum) {
  const std::vector<double> minimum = {0.3, 0.6, 0.45, 0.7};
  const auto valley = [&](std::span<const double> x) {
    const double along = (x[0] - minimum[0]) + (x[1] - minimum[1]);
    const double across = (x[0] - minimum[0]) - (x[1] - minimum[1]);
    return std::sqrt(along * along + 100 * across * across + (x[2] - minimum[2]) * (x[2] - minimum[2]) +
                     (x[3] - minimum[3]) * (x[3] - minimum[3]));
  };
  SearchProblem problem{4, valley};
  SearchResult models;
  models.dimension = 4;
  models.points = {0.9, 0.1, 0.1, 0.1};
  models.misfits = {valley(models.points)};
  const std::vector<double> steps(4, 0.05);
  DescendFrom(problem, 0, steps, 2000, &models);
  EXPECT_LE(models.size(), 2001);
  EXPECT_LT(models.misfits[models.best()], 1e-4);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(models.point(models.best())[i], minimum[i], 1e-4);
}

// The walk samples the region {misfit <= 1} uniformly: in a disc of
// radius 0.3 the share of states within r / sqrt(2) is 1/2 and the mean is
// the centre; a constraint x_0 <= x_1 cuts the disc in half, and no state
// breaks it.
TEST(RegionWalk, SamplesTheRegionUniformly) {
  const std::vector<double> centre = {0.5, 0.5};
  const auto disc = [&](std::span<const double> x) { return Sphere(x, centre) / 0.3; };
  for (const bool constrained : {false, true}) {
    SCOPED_TRACE(constrained ? "half disc" : "disc");
    SearchProblem problem{2, disc};
    if (constrained) {
      problem.limits = [](std::span<const double> x, int axis) {
        return axis == 0 ? AxisInterval{0, x[1]} : AxisInterval{x[0], 1};
      };
    }
    SearchResult models;
    models.dimension = 2;
    models.points = {0.45, 0.55, 0.5, 0.52};
    models.misfits = {disc(std::span(models.points).first(2)), disc(std::span(models.points).subspan(2))};
    const std::vector<int64_t> starts = {0, 1};
    const RegionSample sample = WalkRegion(problem, starts, 1.0, {200000, 4, 3}, &models);
    const std::vector<int64_t>& states = sample.states;
    ASSERT_EQ(sample.walker_ends.size(), 4u);
    ASSERT_EQ(sample.walker_ends.back(), states.size());
    ASSERT_EQ(models.size(), 2 + 200000);  // refused proposals cost no evaluation
    ASSERT_GE(states.size(), 4u * 37500u);
    double inner = 0, x = 0, y = 0;
    for (const int64_t s : states) {
      const std::span<const double> p = models.point(s);
      ASSERT_LE(disc(p), 1.0);
      if (constrained) {
        ASSERT_LE(p[0], p[1]);
      }
      inner += disc(p) <= M_SQRT1_2;
      x += p[0];
      y += p[1];
    }
    const double n = static_cast<double>(states.size());
    EXPECT_NEAR(inner / n, 0.5, 0.03);
    // The half disc's centroid lies 4 r / (3 pi) from the centre, across the cut.
    const double offset = constrained ? 4 * 0.3 / (3 * M_PI) * M_SQRT1_2 : 0.0;
    EXPECT_NEAR(x / n, 0.5 - offset, 0.01);
    EXPECT_NEAR(y / n, 0.5 + offset, 0.01);
  }
}

}  // namespace
}  // namespace circinv
