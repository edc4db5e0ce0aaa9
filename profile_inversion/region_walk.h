#ifndef CIRCARRAY_PROFILE_INVERSION_REGION_WALK_H_
#define CIRCARRAY_PROFILE_INVERSION_REGION_WALK_H_

#include <cstdint>
#include <span>
#include <vector>

#include "profile_inversion/neighbourhood.h"

namespace circinv {

// The appraisal's sampler of the acceptable region: the points of the unit
// cube (feasible under the problem's constraint) whose misfit is at most a
// bound. The neighbourhood search crowds its models around the best one it
// found, so quantiles of its acceptable models describe where it searched
// rather than how far the acceptable region reaches; those of this walk's
// states describe the region itself.
//
// Random-walk Metropolis (Metropolis et al. 1953) with a target density
// that is constant inside the region and 0 outside: a proposal is accepted
// exactly when it lies inside, so the chain's stationary distribution is
// uniform on the region in the cube's measure (the parameterisation's
// prior). Proposals are Gaussian with the covariance of the starting
// models times a scale; those outside the cube or the constraint are
// refused unevaluated (folding them back would break the symmetry of
// correlated proposals and bias the sample). The scale is adapted during
// the burn-in towards an acceptance of 1/4, near the optimum of Roberts,
// Gelman & Gilks (1997), and then held, so that the chain after the
// burn-in is a proper Metropolis chain.
struct RegionWalkSettings {
  int64_t steps = 0;  // misfit evaluations in all walkers
  int walkers = 4;    // independent chains, each from its own start
  uint64_t seed = 1;
};

// Each walker's share of the steps spent on the burn-in.
inline constexpr double kBurnInShare = 0.25;

// The walk's sample of the region: the walkers' states after each step
// past the burn-in, as indices into the models, a state repeated when its
// step was refused; walker after walker, walker w's states ending before
// walker_ends[w].
struct RegionSample {
  std::vector<int64_t> states;
  std::vector<size_t> walker_ends;
};

// Walks the region {misfit <= bound} from `starts`, models of `models`
// inside it (at least one), and appends every proposal it evaluates to
// `models`: they are models tried, as the search's are. Returns the
// uniform sample of the region. The walkers start at starts spread evenly
// over the list; the proposal covariance is that of all the starts,
// regularised along each axis so that one start, or starts on a plane,
// still give a walk that moves. The same inputs give bit-identical results. `progress` hears of
// the models and the lowest misfit at every hundredth model and at the end.
RegionSample WalkRegion(const SearchProblem& problem, std::span<const int64_t> starts, double bound,
                        const RegionWalkSettings& settings, SearchResult* models, const SearchProgress& progress = {});

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_REGION_WALK_H_
