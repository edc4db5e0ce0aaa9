#ifndef CIRCARRAY_ARRAY_TESTING_AGREEMENT_H_
#define CIRCARRAY_ARRAY_TESTING_AGREEMENT_H_

// Test support: how far circspec's estimates lie from the theory of the
// records they were made from, in their own standard errors.

#include <string>

#include "array_spectra/analysis.h"
#include "array_spectra/quantities.h"
#include "array_testing/synthetic_array.h"

namespace circspec::testing {

struct Agreement {
  int frequencies = 0;  // in the band of k r asked for
  int within = 0;       // of them within the limit
  double worst = 0;     // largest |estimate - theory| / se
  double fraction() const { return frequencies > 0 ? static_cast<double>(within) / frequencies : 0; }
  // "spac: 57 of 58 within 4 se, worst 4.2 se", for the test's log.
  std::string Describe(Quantity q, double limit) const;
};

// Quantity q of ring `ring` from `sums` (the analysis of `array`'s
// records with `options`) against the smoothed theory of the array's true
// positions and wave model, at the output frequencies whose k r (true
// velocity, the ring's mean radius) lies in [kr_low, kr_high].
Agreement AgreeWithTheory(const SyntheticArray& array, const AnalysisOptions& options, const SpectralSums& sums,
                          Quantity q, size_t ring = 0, double limit = 4, double kr_low = 0.2, double kr_high = 2.5);

}  // namespace circspec::testing

#endif  // CIRCARRAY_ARRAY_TESTING_AGREEMENT_H_
