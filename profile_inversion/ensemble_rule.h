#ifndef CIRCARRAY_PROFILE_INVERSION_ENSEMBLE_RULE_H_
#define CIRCARRAY_PROFILE_INVERSION_ENSEMBLE_RULE_H_

#include <cstddef>
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
// 5 % of all (ceil(0.05 n), at least one); otherwise the best 5 % do, some
// of misfit above 1. A NaN misfit is worse than every number.
enum class EnsembleRule {
  kMisfitAtMostOne,  // every model of misfit <= 1 (at least 5 % of all)
  kBestFivePercent,  // fewer reached 1: the best 5 % of all models (at least one)
};

struct Ensemble {
  std::vector<size_t> models;  // indices, by increasing misfit (ties in the given order)
  EnsembleRule rule = EnsembleRule::kMisfitAtMostOne;
};

Ensemble AcceptableEnsemble(std::span<const double> misfits);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_ENSEMBLE_RULE_H_
