#include "profile_inversion/region_walk.h"

#include <algorithm>
#include <cmath>

#include "profile_inversion/random_stream.h"
#include "textio/errors.h"

namespace circinv {
namespace {

// The acceptance the burn-in steers the proposal's scale towards.
constexpr double kTargetAcceptance = 0.25;
// The least variance of the proposal along an axis of the unit cube: a
// step of 0.01 of the range, so that a walk from a single start moves.
constexpr double kLeastVariance = 1e-4;
// Progress is reported whenever the models reach a multiple of this.
constexpr int64_t kProgressEvery = 100;

// A bound on a walker's proposals, refused ones included, per evaluation.
constexpr int64_t kMostTriesPerStep = 10;

// The lower Cholesky factor L (L L^T = a) of a symmetric positive definite
// d x d matrix stored row by row.
std::vector<double> Cholesky(std::vector<double> a, int d) {
  for (int j = 0; j < d; ++j) {
    double diagonal = a[j * d + j];
    for (int k = 0; k < j; ++k) diagonal -= a[j * d + k] * a[j * d + k];
    diagonal = std::sqrt(std::max(diagonal, kLeastVariance * 1e-6));
    a[j * d + j] = diagonal;
    for (int i = j + 1; i < d; ++i) {
      double v = a[i * d + j];
      for (int k = 0; k < j; ++k) v -= a[i * d + k] * a[j * d + k];
      a[i * d + j] = v / diagonal;
    }
    for (int k = j + 1; k < d; ++k) a[j * d + k] = 0;
  }
  return a;
}

// The covariance of the starts, each variance raised by 1 % of itself and
// to at least kLeastVariance, so that the matrix is positive definite.
std::vector<double> ProposalCovariance(const SearchResult& models, std::span<const int64_t> starts) {
  const int d = models.dimension;
  const double n = static_cast<double>(starts.size());
  std::vector<double> mean(static_cast<size_t>(d), 0.0);
  for (const int64_t m : starts)
    for (int i = 0; i < d; ++i) mean[i] += models.point(m)[i] / n;
  std::vector<double> covariance(static_cast<size_t>(d * d), 0.0);
  for (const int64_t m : starts) {
    const std::span<const double> x = models.point(m);
    for (int i = 0; i < d; ++i)
      for (int j = 0; j < d; ++j) covariance[i * d + j] += (x[i] - mean[i]) * (x[j] - mean[j]) / n;
  }
  for (int i = 0; i < d; ++i) covariance[i * d + i] = std::max(1.01 * covariance[i * d + i], kLeastVariance);
  return covariance;
}

}  // namespace

RegionSample WalkRegion(const SearchProblem& problem, std::span<const int64_t> starts, double bound,
                        const RegionWalkSettings& settings, SearchResult* models, const SearchProgress& progress) {
  if (starts.empty()) throw textio::RuntimeError("region walk: no model to start from");
  if (settings.walkers < 1) throw textio::RuntimeError("region walk: the walkers must be at least 1");
  const int d = problem.dimension;
  const std::vector<double> factor = Cholesky(ProposalCovariance(*models, starts), d);
  RegionSample sample;
  std::vector<int64_t>& states = sample.states;
  double best_misfit = models->misfits[models->best()];
  std::vector<double> step(static_cast<size_t>(d)), proposal(static_cast<size_t>(d));
  for (int w = 0; w < settings.walkers; ++w) {
    const int64_t steps = settings.steps / settings.walkers + (w < settings.steps % settings.walkers ? 1 : 0);
    const int64_t burn_in = static_cast<int64_t>(kBurnInShare * static_cast<double>(steps));
    RandomStream random(SubSeed(settings.seed, static_cast<uint64_t>(w)));
    // Walker w starts at the start of rank floor(w n / walkers).
    int64_t state = starts[static_cast<size_t>(w) * starts.size() / static_cast<size_t>(settings.walkers)];
    // The scale of the optimal Gaussian proposal for a d-dimensional
    // normal target (Roberts, Gelman & Gilks 1997), then adapted.
    double log_scale = std::log(2.38 / std::sqrt(static_cast<double>(d)));
    // `steps` evaluations; refused proposals cost none, and the walker
    // stops after kMostTriesPerStep times its steps whatever they cost.
    int64_t evaluated = 0;
    for (int64_t s = 0; evaluated < steps && s < kMostTriesPerStep * steps; ++s) {
      for (int i = 0; i < d; ++i) step[i] = random.Normal();
      const double scale = std::exp(log_scale);
      const std::span<const double> x = models->point(state);
      for (int i = 0; i < d; ++i) {
        double delta = 0;
        for (int k = 0; k <= i; ++k) delta += factor[i * d + k] * step[k];
        proposal[i] = x[i] + scale * delta;
      }
      bool accepted = false;
      const bool in_cube = std::all_of(proposal.begin(), proposal.end(), [](double v) { return v >= 0 && v <= 1; });
      if (in_cube && problem.Admits(proposal)) {
        const double misfit = problem.misfit(proposal);
        ++evaluated;
        models->points.insert(models->points.end(), proposal.begin(), proposal.end());
        models->misfits.push_back(std::isnan(misfit) ? HUGE_VAL : misfit);
        best_misfit = std::min(best_misfit, models->misfits.back());
        if (progress && models->size() % kProgressEvery == 0) progress(models->size(), best_misfit);
        accepted = misfit <= bound;
        if (accepted) state = models->size() - 1;
      }
      if (s < burn_in) {
        // Robbins-Monro steps of the log scale with gains 1 / sqrt(s + 1).
        log_scale += ((accepted ? 1.0 : 0.0) - kTargetAcceptance) / std::sqrt(static_cast<double>(s + 1));
      } else {
        states.push_back(state);
      }
    }
    sample.walker_ends.push_back(states.size());
  }
  if (progress) progress(models->size(), best_misfit);
  return sample;
}

}  // namespace circinv
