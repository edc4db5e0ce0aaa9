#ifndef CIRCARRAY_NOISE_RATIO_QUILLON_H_
#define CIRCARRAY_NOISE_RATIO_QUILLON_H_

#include <istream>
#include <ostream>
#include <string>

#include "noise_ratio/models.h"

namespace quillon {

// What one frequency yields. A search counts as found when the root
// finder converged (status 1) or landed on an exact zero (status 2).
struct Estimate {
  float nsr0 = 0.0f;  // noise ratio of the plain coherence model
  int flag0 = 0;
  float nsr1 = 0.0f;  // noise ratio with the bounded excess term
  int flag1 = 0;
  float dltmx = 0.0f;  // largest admissible excess term, at nsr1
};

struct ResolutionLimit {
  float rkmin = 0.0f;       // k*r below which noise nsr0 hides a 10% error in k*r
  float wavelength = 0.0f;  // 2*pi / rkmin: longest resolvable wavelength / radius
  float velocity = 0.0f;    // wavelength * (radius * frequency)
  int flag = 0;
};

// True for the root finder statuses that mean a root was found.
bool Found(int iflag);

// The two noise-ratio searches and the excess bound for the coherence and
// spatial-autocorrelation coefficient in `obs`.
Estimate EstimateNoise(Observed& obs);

// The resolution limit at noise ratio nsr. Throws core::BesselStop where a
// Bessel value cannot be evaluated.
ResolutionLimit FindResolutionLimit(float nsr, const Observed& obs, float radius, float freq);

// The whole program: reads "radius nsta", then records of six values
// (frequency, coh, frequency, rho, frequency, unused), and writes one
// "(e15.7,2a15,e15.7)" line per record on `out` and one "(4e15.7)" line
// per resolution limit found in the file `fort7_path`, which is created
// only when its first line is written. Returns the exit status.
int RunQuillon(std::istream& in, std::ostream& out, std::ostream& err,
               const std::string& fort7_path = "fort.7");

}  // namespace quillon

#endif  // CIRCARRAY_NOISE_RATIO_QUILLON_H_
