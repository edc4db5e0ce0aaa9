#include "profile_inversion/neighbourhood.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>

#include "profile_inversion/random_stream.h"
#include "textio/errors.h"

namespace circinv {
namespace {

// The Gibbs sampler that draws the initial models under a constraint:
// burn-in sweeps from the feasible start, then this many sweeps between
// two models kept. Each step is uniform on the feasible interval of one
// axis, so the chain's stationary distribution is uniform on the feasible
// set (the constraint of increasing velocities makes it a connected set
// whose section along every axis is one interval).
constexpr int kBurnInSweeps = 100;
constexpr int kSweepsBetweenModels = 10;

// The smallest spread of an axis in the scaling of the cells' metric.
constexpr double kSmallestSpread = 1e-6;

double Sanitised(double misfit) { return std::isnan(misfit) ? std::numeric_limits<double>::infinity() : misfit; }

// One independent search of `models` models.
class Chain {
 public:
  Chain(const SearchProblem& problem, const NeighbourhoodSettings& settings, uint64_t seed)
      : problem_(problem), settings_(settings), random_(seed), cells_(problem.dimension) {}

  // Runs the chain; `report` is called after each iteration with the
  // models made so far in this chain and their lowest misfit.
  void Run(int64_t models, const std::function<void(int64_t, double)>& report) {
    const int d = problem_.dimension;
    std::vector<double> batch;
    // The initial models.
    const int64_t initial = std::min<int64_t>(settings_.samples_per_iteration, models);
    batch.resize(static_cast<size_t>(initial * d));
    DrawInitial(initial, batch);
    Evaluate(batch, report);
    // The iterations: n_s models in the cells of the n_r best, the cells
    // being those of every model before the iteration.
    while (cells_.size() < models) {
      const int64_t count = std::min<int64_t>(settings_.samples_per_iteration, models - cells_.size());
      const std::vector<int64_t> best = BestModels(misfits_, settings_.resampled_cells);
      const int64_t n_r = static_cast<int64_t>(best.size());
      batch.resize(static_cast<size_t>(count * d));
      const std::vector<double> weights = settings_.dynamic_scaling ? AxisWeights(best) : std::vector<double>{};
      int64_t made = 0;
      for (int64_t r = 0; r < n_r && made < count; ++r) {
        // count / n_r per cell, the remainder one each to the best cells.
        const int64_t share = count / n_r + (r < count % n_r ? 1 : 0);
        if (share == 0) continue;
        VoronoiWalk walk(cells_, best[r], problem_.limits, weights);
        for (int64_t s = 0; s < share; ++s, ++made) {
          walk.Sweep(random_, std::span<double>(batch).subspan(static_cast<size_t>(made * d), static_cast<size_t>(d)));
        }
      }
      Evaluate(batch, report);
    }
  }

  const PointSet& cells() const { return cells_; }
  const std::vector<double>& misfits() const { return misfits_; }

 private:
  void DrawInitial(int64_t count, std::vector<double>& out) {
    const int d = problem_.dimension;
    if (!problem_.limits) {
      for (double& x : out) x = random_.Uniform();
      return;
    }
    std::vector<double> point = problem_.feasible_start;
    auto sweep = [&] {
      for (int i = 0; i < d; ++i) {
        const AxisInterval admitted = problem_.limits(point, i);
        const double lower = std::min(std::max(0.0, admitted.lower), point[i]);
        const double upper = std::max(std::min(1.0, admitted.upper), point[i]);
        point[i] = random_.Uniform(lower, upper);
      }
    };
    for (int s = 0; s < kBurnInSweeps; ++s) sweep();
    for (int64_t m = 0; m < count; ++m) {
      for (int s = 0; s < kSweepsBetweenModels; ++s) sweep();
      std::copy(point.begin(), point.end(), out.begin() + m * d);
    }
  }

  // The metric of the cells after Wathelet (2008): each axis scaled by the
  // inverse of the spread of the resampled models along it, so that the
  // cells of those models have comparable extents in all their parameters
  // rather than in the prior ranges' units.
  std::vector<double> AxisWeights(const std::vector<int64_t>& best) const {
    std::vector<double> weights(static_cast<size_t>(problem_.dimension), 1.0);
    if (best.size() < 2) return weights;
    for (int i = 0; i < problem_.dimension; ++i) {
      const std::span<const double> v = cells_.axis(i);
      double lo = v[best[0]], hi = lo;
      for (const int64_t m : best) {
        lo = std::min(lo, v[m]);
        hi = std::max(hi, v[m]);
      }
      const double spread = std::max(hi - lo, kSmallestSpread);
      weights[i] = 1.0 / (spread * spread);
    }
    return weights;
  }

  void Evaluate(const std::vector<double>& batch, const std::function<void(int64_t, double)>& report) {
    const int d = problem_.dimension;
    const std::span<const double> all(batch);
    for (size_t start = 0; start < batch.size(); start += static_cast<size_t>(d)) {
      const std::span<const double> point = all.subspan(start, static_cast<size_t>(d));
      const double misfit = Sanitised(problem_.misfit(point));
      cells_.Add(point);
      misfits_.push_back(misfit);
      best_misfit_ = std::min(best_misfit_, misfit);
    }
    if (report) report(cells_.size(), best_misfit_);
  }

  const SearchProblem& problem_;
  const NeighbourhoodSettings& settings_;
  RandomStream random_;
  PointSet cells_;
  std::vector<double> misfits_;
  double best_misfit_ = std::numeric_limits<double>::infinity();
};

}  // namespace

std::vector<int64_t> BestModels(std::span<const double> misfits, int64_t count) {
  std::vector<int64_t> order(misfits.size());
  std::iota(order.begin(), order.end(), int64_t{0});
  count = std::min<int64_t>(count, static_cast<int64_t>(order.size()));
  std::partial_sort(order.begin(), order.begin() + count, order.end(), [&](int64_t a, int64_t b) {
    return misfits[a] < misfits[b] || (misfits[a] == misfits[b] && a < b);
  });
  order.resize(static_cast<size_t>(count));
  return order;
}

bool SearchProblem::Admits(std::span<const double> point) const {
  if (!limits) return true;
  for (int i = 0; i < dimension; ++i) {
    const AxisInterval admitted = limits(point, i);
    if (point[i] < admitted.lower || point[i] > admitted.upper) return false;
  }
  return true;
}

int64_t SearchResult::best() const { return std::min_element(misfits.begin(), misfits.end()) - misfits.begin(); }

void CheckSettings(const NeighbourhoodSettings& settings, int dimension) {
  auto refuse = [](const std::string& why) { throw textio::RuntimeError("neighbourhood search: " + why); };
  if (dimension < 1) refuse("no free parameter to search");
  if (settings.samples_per_iteration < 1) refuse("the samples per iteration must be at least 1");
  if (settings.resampled_cells < 1) refuse("the resampled cells must be at least 1");
  if (settings.resampled_cells > settings.samples_per_iteration) {
    refuse("the resampled cells (" + std::to_string(settings.resampled_cells) + ") exceed the samples per iteration (" +
           std::to_string(settings.samples_per_iteration) + ")");
  }
  if (settings.chains < 1) refuse("the chains must be at least 1");
  if (settings.models < int64_t{settings.chains} * settings.samples_per_iteration) {
    refuse("too few models (" + std::to_string(settings.models) + ") for " + std::to_string(settings.chains) +
           " chains of at least " + std::to_string(settings.samples_per_iteration) + " models");
  }
}

SearchResult NeighbourhoodSearch(const SearchProblem& problem, const NeighbourhoodSettings& settings,
                                 const SearchProgress& progress) {
  CheckSettings(settings, problem.dimension);
  SearchResult result;
  result.dimension = problem.dimension;
  result.points.reserve(static_cast<size_t>(settings.models * problem.dimension));
  result.misfits.reserve(static_cast<size_t>(settings.models));
  double best_misfit = std::numeric_limits<double>::infinity();
  for (int c = 0; c < settings.chains; ++c) {
    // The models shared as evenly as possible, the first chains taking the remainder.
    const int64_t models = settings.models / settings.chains + (c < settings.models % settings.chains ? 1 : 0);
    const int64_t done_before = result.size();
    Chain chain(problem, settings, SubSeed(settings.seed, static_cast<uint64_t>(c)));
    chain.Run(models, [&](int64_t chain_done, double chain_best) {
      if (progress) progress(done_before + chain_done, std::min(best_misfit, chain_best));
    });
    std::vector<double> point(static_cast<size_t>(problem.dimension));
    for (int64_t m = 0; m < chain.cells().size(); ++m) {
      chain.cells().CopyPoint(m, point);
      result.points.insert(result.points.end(), point.begin(), point.end());
    }
    result.misfits.insert(result.misfits.end(), chain.misfits().begin(), chain.misfits().end());
    best_misfit = std::min(best_misfit, *std::min_element(chain.misfits().begin(), chain.misfits().end()));
  }
  return result;
}

}  // namespace circinv
