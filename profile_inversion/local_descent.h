#ifndef CIRCARRAY_PROFILE_INVERSION_LOCAL_DESCENT_H_
#define CIRCARRAY_PROFILE_INVERSION_LOCAL_DESCENT_H_

#include <cstdint>

#include "profile_inversion/neighbourhood.h"

namespace circinv {

// The polish of the search's best model: the downhill simplex method
// (Nelder & Mead 1965, with the coefficients 1, 2, 1/2, 1/2 of Lagarias et
// al. 1998) from the simplex of the best model and one step along each
// axis. The neighbourhood search finds the valley of the best fit quickly
// but descends its floor slowly in a dozen dimensions; a few hundred
// simplex steps reach the floor. Points are clamped to the unit cube, and a
// point outside the problem's constraint counts as infinitely bad.
//
// Takes at most `evaluations` points (those outside the constraint are not
// evaluated), appending each evaluated one to `models` as a model tried; `steps[i]` (> 0) is the initial step along
// axis i.
void DescendFrom(const SearchProblem& problem, int64_t start, std::span<const double> steps, int64_t evaluations,
                 SearchResult* models);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_LOCAL_DESCENT_H_
