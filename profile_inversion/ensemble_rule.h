#ifndef CIRCARRAY_PROFILE_INVERSION_ENSEMBLE_RULE_H_
#define CIRCARRAY_PROFILE_INVERSION_ENSEMBLE_RULE_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace circinv {

// Which models make the acceptable ensemble of an inversion, from their
// misfits alone: circinv's appraisal and circplot's reading of a result
// directory share it, so that both draw the same ensemble
// (docs/circinv.md, "Appraisal").
//
// Quantiles of a handful of models would give a band of false certainty (a
// search that has just reached misfit 1 has one or two such models), so
// the models of misfit <= 1 make the ensemble only when they are at least
// 5 % of the search's models (ceil(0.05 n), at least one); otherwise the
// misfit of the worst of the search's best 5 % is the bound, some above 1.
// The rule is decided on the neighbourhood search's models, which come
// first, and the bound then holds for every model of the run: the polish
// and the walk over the acceptable region (inversion.h) concentrate their
// models where the misfit is low, and would otherwise move the bound they
// are meant to explore. A NaN misfit is worse than every number.
enum class EnsembleRule {
  kMisfitAtMostOne,  // every model of misfit <= 1 (at least 5 % of all)
  kBestFivePercent,  // fewer reached 1: the best 5 % of all models (at least one)
};

struct Ensemble {
  std::vector<size_t> models;  // indices, by increasing misfit (ties in the given order)
  EnsembleRule rule = EnsembleRule::kMisfitAtMostOne;
  double bound = 1;  // the largest misfit of the ensemble
};

// The rule decided on the first `searched` misfits (all of them when there
// are fewer) and applied to all.
Ensemble AcceptableEnsemble(std::span<const double> misfits, size_t searched = SIZE_MAX);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_ENSEMBLE_RULE_H_
