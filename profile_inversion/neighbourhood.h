#ifndef CIRCARRAY_PROFILE_INVERSION_NEIGHBOURHOOD_H_
#define CIRCARRAY_PROFILE_INVERSION_NEIGHBOURHOOD_H_

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "profile_inversion/voronoi_walk.h"

namespace circinv {

// What the neighbourhood algorithm searches: a misfit over the unit cube
// [0, 1]^dimension, optionally confined by a constraint.
struct SearchProblem {
  int dimension = 0;
  // The misfit of a point; NaN is taken as +infinity (the worst).
  std::function<double(std::span<const double> point)> misfit;
  // Optional: the constraint, and a point that satisfies it. With a
  // constraint, the initial models are drawn by a Gibbs sampler over the
  // feasible set instead of uniformly over the cube (see neighbourhood.cpp).
  AxisLimits limits;
  std::vector<double> feasible_start;

  // Whether `point` satisfies the constraint (always, without one).
  bool Admits(std::span<const double> point) const;
};

// The settings of the search (Sambridge 1999a): `samples_per_iteration`
// (n_s) models first drawn at random, then in every iteration n_s new models
// in the Voronoi cells of the `resampled_cells` (n_r) best models so far,
// n_s / n_r per cell, until `models` in all. The models are shared among
// `chains` independent searches with seeds derived from `seed`. With
// `dynamic_scaling` the cells of each iteration are taken in a metric that
// scales each axis by the spread of the n_r resampled models (Wathelet 2008).
struct NeighbourhoodSettings {
  int64_t models = 20000;
  int samples_per_iteration = 100;
  int resampled_cells = 20;
  int chains = 4;
  uint64_t seed = 1;
  bool dynamic_scaling = true;
};

// Called after each iteration of each chain: the models evaluated so far
// (over all chains) and the lowest misfit among them.
using SearchProgress = std::function<void(int64_t models_done, double best_misfit)>;

// Every model the search evaluated, chain after chain, each in the order
// in which it was made, with its misfit.
struct SearchResult {
  int dimension = 0;
  std::vector<double> points;  // model m at [m * dimension, (m + 1) * dimension)
  std::vector<double> misfits;

  int64_t size() const { return static_cast<int64_t>(misfits.size()); }
  std::span<const double> point(int64_t m) const {
    return std::span<const double>(points).subspan(static_cast<size_t>(m * dimension), static_cast<size_t>(dimension));
  }
  // The model of lowest misfit (the first of equals).
  int64_t best() const;
};

// The indices of the `count` models of lowest misfit (all, when there are
// fewer), best first; equal misfits in the order the models were made, so
// that the ranking never depends on the sort's implementation.
std::vector<int64_t> BestModels(std::span<const double> misfits, int64_t count);

// Throws textio::RuntimeError for settings that make no search (no
// dimension, no models, n_r < 1, n_s < n_r, chains < 1, more chains than
// can each hold n_s models).
void CheckSettings(const NeighbourhoodSettings& settings, int dimension);

// The neighbourhood algorithm (Sambridge 1999a). The same problem and
// settings give bit-identical results on every platform.
SearchResult NeighbourhoodSearch(const SearchProblem& problem, const NeighbourhoodSettings& settings,
                                 const SearchProgress& progress = {});

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_NEIGHBOURHOOD_H_
