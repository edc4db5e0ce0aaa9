#ifndef CIRCARRAY_ARRAY_SPECTRA_DISPERSION_ESTIMATE_H_
#define CIRCARRAY_ARRAY_SPECTRA_DISPERSION_ESTIMATE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "array_spectra/analysis.h"
#include "array_spectra/channels.h"
#include "array_spectra/curve_models.h"

namespace circspec {

// The ways of turning a ring's observed quantities into a phase velocity
// (the models of CurveModels): the SPAC coefficient and the CCA ratio,
// each plain and noise-compensated, and the two ratios of two rings.
enum class CurveMethod { kSpac, kSpacNc, kCca, kCcaNc, kRingsq, kRing };

std::string_view NameOf(CurveMethod m);

// The methods the layout supports, in the table's order: the SPAC
// methods and the noise ratio need the centre station, the two-ring
// methods a second ring.
std::vector<CurveMethod> CurveMethodsOf(const ChannelLayout& channels);

// The names of the validity rules, as the flag columns write them, in the
// order they are tested (the first that fails names the flag).
inline constexpr std::string_view kNoRoot = "noroot";            // no root on the model's branch this side of its end
inline constexpr std::string_view kBranch = "branch";            // the branch has ended at this or a lower frequency
inline constexpr std::string_view kAlias = "alias";              // k r beyond the ring's aliasing limit
inline constexpr std::string_view kNoise = "noise";              // spac, cca: noise bias larger than the standard error
inline constexpr std::string_view kError = "error";              // relative standard error above the limit
inline constexpr std::string_view kConsistency = "consistency";  // SPAC and coherence disagree on the noise

struct CurveRules {
  double max_se = 0.15;    // largest c_se / c of a valid estimate (--max-se)
  double turn_back = 2;    // k r falling by more standard errors than this ends the branch
  double consistency = 3;  // largest |c_spac_nc - c_cca_nc| in standard errors of the difference
};

// One method's estimates at every frequency.
struct MethodCurve {
  CurveMethod method;
  std::vector<double> c, c_se;         // m/s; NaN where no root (se NaN where a replicate has none)
  std::vector<double> k, k_se;         // rad/m, likewise
  std::vector<std::string_view> flag;  // "ok" or the rule that failed
};

struct DispersionCurve {
  std::vector<double> frequencies;
  std::vector<double> eps, eps_se;  // the noise ratio; NaN without a centre
  std::vector<MethodCurve> methods;
  std::vector<int> best;  // per frequency: the index in methods of the valid method of least c_se, or -1
};

// The phase velocity of every method at every output frequency of the
// sums, for ring `ring` (the two-ring methods take both). Each estimate's
// standard error comes through the inversion: the quantities of every
// delete-one-group replicate (all segments but those of group g) are
// inverted like the full estimate's, and
//   se^2 = (G - 1) / G * sum_g (c_(g) - mean c_(g))^2,
// so that the model's nonlinearity and the correlation of the quantities
// a method combines are in it. A replicate without a root makes the
// error unbounded (NaN). The models are those of the smoothed spectra
// (SmoothingMoments), with the curve's slope from a first pass. The
// noise ratio eps (CurveModels::NoiseRatio)
// and its error come the same way, replicate by replicate, and the
// noise-compensated methods use each replicate's own eps.
//
// The rules, per method, in frequency order:
//  - noroot: the value lies beyond the model's value at k = 0;
//  - branch: the root lies within two standard errors of the branch's
//    end (the model is flat there and the inversion folds); or the value
//    lies beyond the model's value at that end, or k r has fallen below
//    an earlier valid estimate's in the upper half of the branch by more
//    than rules.turn_back standard errors of the difference (k = 2 pi f / c
//    grows with f on every physical dispersion curve, since the group
//    velocity is positive): these two end the branch, for this and
//    every higher frequency, and for every method of the same quantity
//    (spac and spac_nc, cca and cca_nc);
//  - alias: k above the aliasing limit (CurveModels::alias_end);
//  - noise (the plain methods, with a centre): the velocity moves by more
//    than c_se when the noise ratio is taken out (spac, cca: c - c_nc;
//    ringsq, ring: the root of the ratio whose rings' |Z1|^2, over the
//    signal power S_cc / (1 + eps), are each less eps/N), or no noise
//    ratio or no such root to tell (without a centre the noise ratio is
//    not measured and the rule not applied);
//  - error: c_se / c above rules.max_se, or no finite error;
//  - consistency: where spac_nc and cca_nc both have roots on their
//    branches below the aliasing limit and differ by more than
//    rules.consistency jackknife errors of their difference, or where
//    the coherence exceeds the most the SPAC coefficient allows (its
//    noise-free model) by as many errors of that excess, the SPAC
//    coefficient and the coherence do not describe one wavefield with
//    incoherent noise: the records decorrelate for another reason
//    (sensors of different responses, a clock error, sources inside the
//    array), and no method is valid there.
DispersionCurve EstimateCurve(const CurveModels& models, const ChannelLayout& channels, size_t ring,
                              const SpectralSums& sums, const SmoothingChoice& smoothing, const CurveRules& rules);

// The header lines of the curve form that say what the columns are: the
// ring ("curve of ring R: radius X m, N stations", which readers of the
// table take the radius and station count from), the methods, the noise
// ratio, every rule with its parameters, and the best estimate.
std::vector<std::string> DescribeCurve(const CurveModels& models, const CurveRules& rules, size_t ring,
                                       const std::vector<CurveMethod>& methods);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_DISPERSION_ESTIMATE_H_
