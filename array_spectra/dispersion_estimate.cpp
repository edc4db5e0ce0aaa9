#include "array_spectra/dispersion_estimate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "array_spectra/quantities.h"
#include "array_spectra/smoothing.h"
#include "array_spectra/smoothing_moments.h"
#include "curve/curve_table.h"
#include "textio/format.h"

namespace circspec {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct MethodName {
  CurveMethod method;
  std::string_view name;
};
constexpr MethodName kNames[] = {
    {CurveMethod::kSpac, "spac"},    {CurveMethod::kSpacNc, "spac_nc"}, {CurveMethod::kCca, "cca"},
    {CurveMethod::kCcaNc, "cca_nc"}, {CurveMethod::kRingsq, "ringsq"},  {CurveMethod::kRing, "ring"},
};

// The observed quantities of one replicate and the noise ratio they give.
struct Observed {
  double spac = kNaN, coh = kNaN, cca = kNaN, ringsq = kNaN, ring = kNaN;
  double eps = kNaN;
  // The coherence above the most the SPAC coefficient allows (that of no
  // noise at all): positive only by chance if the model holds.
  double excess_coherence = kNaN;
  // The two-ring ratios with the noise taken out of the data: each ring's
  // |Z1|^2 over the signal power P = S_cc / (1 + eps), less eps/N.
  double ringsq_clean = kNaN, ring_clean = kNaN;
};

Observed Observe(const CurveModels::Smoothed& at, const CurveModels& models, const ChannelLayout& channels, size_t ring,
                 const double* sums) {
  Observed o;
  o.cca = Evaluate(Quantity::kCca, channels, ring, sums);
  if (channels.has_centre) {
    o.spac = Evaluate(Quantity::kSpac, channels, ring, sums);
    o.coh = Evaluate(Quantity::kCoh, channels, ring, sums);
    o.eps = at.NoiseRatio(o.spac, o.coh).value_or(kNaN);
    o.excess_coherence = o.coh - at.NoiseFreeCoherence(o.spac).value_or(kNaN);
  }
  if (channels.ring_cross) {
    o.ringsq = Evaluate(Quantity::kRingsq, channels, ring, sums);
    o.ring = Evaluate(Quantity::kRing, channels, ring, sums);
    if (channels.has_centre && std::isfinite(o.eps)) {
      const double power = sums[channels.centre_power] / (1 + o.eps);
      const double outer = sums[channels.rings[0].g1] / power - o.eps / models.outer_stations();
      const double inner = sums[channels.rings[1].g1] / power - o.eps / models.inner_stations();
      if (inner > 0) {
        o.ringsq_clean = outer / inner;
        o.ring_clean = sums[*channels.ring_cross] / power / inner;
      }
    }
  }
  return o;
}

BranchRoot RootOf(CurveMethod m, const CurveModels::Smoothed& models, const CurveModels& ring, const Observed& o) {
  const double e = o.eps / ring.stations();
  switch (m) {
    case CurveMethod::kSpac:
      return models.Spac(o.spac);
    case CurveMethod::kSpacNc:
      return models.Spac(o.spac * (1 + o.eps));
    case CurveMethod::kCca:
      return models.Cca(o.cca, 0);
    case CurveMethod::kCcaNc:
      return std::isnan(e) ? BranchRoot{} : models.Cca(o.cca, e);
    case CurveMethod::kRingsq:
      return models.Ringsq(o.ringsq);
    case CurveMethod::kRing:
      return models.Ring(o.ring);
  }
  return {};
}

// The delete-one-group jackknife error of the values of the replicates
// 1..G (index 0 is the full estimate); NaN if one is not finite or there
// are fewer than two groups.
double JackknifeError(const std::vector<double>& replicates) {
  const size_t groups = replicates.size() - 1;
  if (groups < 2) return kNaN;
  double mean = 0;
  for (size_t g = 1; g <= groups; ++g) {
    if (!std::isfinite(replicates[g])) return kNaN;
    mean += replicates[g];
  }
  mean /= static_cast<double>(groups);
  double squares = 0;
  for (size_t g = 1; g <= groups; ++g) squares += (replicates[g] - mean) * (replicates[g] - mean);
  const double n = static_cast<double>(groups);
  return std::sqrt((n - 1) / n * squares);
}

// Where the branch of one method ends, as the frequencies pass.
struct BranchWatch {
  bool ended = false;
  std::vector<double> k, k_se;  // earlier frequencies with a root and an error
};

// Whether k has fallen below an earlier frequency's beyond their errors
// where that can mean the wave passed the model's extreme: the observed
// quantity folds back at the branch's end, so the earlier k must lie in
// the branch's upper half. A fall at smaller k is not a fold but records
// that the model does not describe (no signal, leakage from other
// frequencies); the other rules judge those.
bool TurnedBack(const BranchWatch& watch, double k, double k_se, double branch_end, double limit) {
  if (!std::isfinite(k_se)) return false;
  for (size_t j = 0; j < watch.k.size(); ++j) {
    if (watch.k[j] > branch_end / 2 && watch.k[j] - k > limit * std::hypot(watch.k_se[j], k_se)) return true;
  }
  return false;
}

double BranchEnd(CurveMethod m, const CurveModels::Smoothed& models, const CurveModels& ring, double eps) {
  const int stations = ring.stations();
  switch (m) {
    case CurveMethod::kSpac:
    case CurveMethod::kSpacNc:
      return models.spac_end();
    case CurveMethod::kCca:
      return models.cca_end(0);
    case CurveMethod::kCcaNc:
      return models.cca_end(std::isfinite(eps) ? eps / stations : 0);
    case CurveMethod::kRingsq:
      return models.ringsq_end();
    case CurveMethod::kRing:
      return models.ring_end();
  }
  return 0;
}

bool IsTwoRing(CurveMethod m) { return m == CurveMethod::kRingsq || m == CurveMethod::kRing; }

// The methods that invert one observed quantity share its branch: the
// plain and the compensated model of the SPAC coefficient, likewise of
// the CCA ratio; each two-ring ratio alone.
size_t Family(CurveMethod m) {
  switch (m) {
    case CurveMethod::kSpac:
    case CurveMethod::kSpacNc:
      return 0;
    case CurveMethod::kCca:
    case CurveMethod::kCcaNc:
      return 1;
    case CurveMethod::kRingsq:
      return 2;
    case CurveMethod::kRing:
      return 3;
  }
  return 0;
}
constexpr size_t kFamilies = 4;
bool IsCompensated(CurveMethod m) { return m == CurveMethod::kSpacNc || m == CurveMethod::kCcaNc; }

}  // namespace

std::string_view NameOf(CurveMethod m) {
  for (const MethodName& n : kNames) {
    if (n.method == m) return n.name;
  }
  return "?";
}

std::vector<CurveMethod> CurveMethodsOf(const ChannelLayout& channels) {
  std::vector<CurveMethod> out;
  if (channels.has_centre) out.push_back(CurveMethod::kSpac), out.push_back(CurveMethod::kSpacNc);
  out.push_back(CurveMethod::kCca);
  if (channels.has_centre) out.push_back(CurveMethod::kCcaNc);
  if (channels.ring_cross) out.push_back(CurveMethod::kRingsq), out.push_back(CurveMethod::kRing);
  return out;
}

namespace {

// What one pass over the frequencies measures, before the rules: every
// value with its jackknife error, for one choice of the smoothing's
// moments.
struct Measured {
  struct Method {
    std::vector<double> c, c_se, k, k_se;
    std::vector<double> end;  // the k of the branch's end
    // What the noise ratio moves the root by, where known (the plain
    // methods: c - c_nc; the two-ring ones: the first-order shift).
    std::vector<double> noise_shift;
    std::vector<BranchRoot::Side> side;
  };
  std::vector<Method> methods;  // as CurveMethodsOf
  std::vector<double> eps, eps_se;
  // c_spac_nc - c_cca_nc where both have roots, and the excess coherence.
  std::vector<double> difference, difference_se, excess, excess_se;
};

Measured Measure(const CurveModels& models, const std::vector<SmoothingMoments>& moments,
                 const std::vector<CurveMethod>& methods, const ChannelLayout& channels, size_t ring,
                 const SpectralSums& sums) {
  const size_t nf = sums.frequencies.size(), nc = sums.channels, groups = sums.groups.size(), nm = methods.size();
  Measured out;
  out.methods.resize(nm);
  for (Measured::Method& m : out.methods) {
    for (std::vector<double>* v : {&m.c, &m.c_se, &m.k, &m.k_se, &m.end, &m.noise_shift}) v->assign(nf, kNaN);
    m.side.assign(nf, BranchRoot::Side::kBefore);
  }
  for (std::vector<double>* v :
       {&out.eps, &out.eps_se, &out.difference, &out.difference_se, &out.excess, &out.excess_se}) {
    v->assign(nf, kNaN);
  }
  const auto spac_nc = std::find(methods.begin(), methods.end(), CurveMethod::kSpacNc) - methods.begin();
  const auto cca_nc = std::find(methods.begin(), methods.end(), CurveMethod::kCcaNc) - methods.begin();
  const bool compare = static_cast<size_t>(spac_nc) < nm && static_cast<size_t>(cca_nc) < nm;

  std::vector<double> without(nc), eps(groups + 1), excess(groups + 1), difference(groups + 1);
  std::vector<std::vector<double>> c(nm, std::vector<double>(groups + 1)), k(nm, std::vector<double>(groups + 1));
  for (size_t i = 0; i < nf; ++i) {
    const double f = sums.frequencies[i];
    const double* total = &sums.total[i * nc];
    const CurveModels::Smoothed at = models.With(moments[i]);
    Observed full;
    for (size_t r = 0; r <= groups; ++r) {
      const double* s = total;
      if (r > 0) {
        const double* part = &sums.groups[r - 1][i * nc];
        for (size_t ch = 0; ch < nc; ++ch) without[ch] = total[ch] - part[ch];
        s = without.data();
      }
      const Observed o = Observe(at, models, channels, ring, s);
      if (r == 0) full = o;
      eps[r] = o.eps;
      excess[r] = o.excess_coherence;
      for (size_t m = 0; m < nm; ++m) {
        const BranchRoot root = RootOf(methods[m], at, models, o);
        if (r == 0) out.methods[m].side[i] = root.side;
        const bool on = root.side == BranchRoot::Side::kOn;
        k[m][r] = on ? root.k : kNaN;
        c[m][r] = on ? 2 * std::numbers::pi * f / root.k : kNaN;
      }
      if (compare) difference[r] = c[spac_nc][r] - c[cca_nc][r];
    }
    out.eps[i] = eps[0];
    out.eps_se[i] = std::isfinite(eps[0]) ? JackknifeError(eps) : kNaN;
    out.excess[i] = excess[0];
    out.excess_se[i] = std::isfinite(excess[0]) ? JackknifeError(excess) : kNaN;
    if (compare && std::isfinite(difference[0])) {
      out.difference[i] = difference[0];
      out.difference_se[i] = JackknifeError(difference);
    }
    for (size_t m = 0; m < nm; ++m) {
      Measured::Method& mm = out.methods[m];
      mm.c[i] = c[m][0];
      mm.k[i] = k[m][0];
      if (mm.side[i] == BranchRoot::Side::kOn && std::isfinite(c[m][0])) {
        mm.c_se[i] = JackknifeError(c[m]);
        mm.k_se[i] = JackknifeError(k[m]);
      }
      mm.end[i] = BranchEnd(methods[m], at, models, eps[0]);
    }
    // The noise's shift of each plain method's velocity.
    for (size_t m = 0; m < nm; ++m) {
      Measured::Method& mm = out.methods[m];
      if (!std::isfinite(mm.c[i]) || !std::isfinite(eps[0])) continue;
      if (methods[m] == CurveMethod::kSpac || methods[m] == CurveMethod::kCca) {
        const size_t nc_index = static_cast<size_t>(methods[m] == CurveMethod::kSpac ? spac_nc : cca_nc);
        mm.noise_shift[i] = mm.c[i] - c[nc_index][0];
      } else if (IsTwoRing(methods[m])) {
        const BranchRoot clean =
            methods[m] == CurveMethod::kRingsq ? at.Ringsq(full.ringsq_clean) : at.Ring(full.ring_clean);
        if (clean.side == BranchRoot::Side::kOn) mm.noise_shift[i] = mm.c[i] - 2 * std::numbers::pi * f / clean.k;
      }
    }
  }
  return out;
}

// Adds to every error the change of its value when the smoothing's
// moments are those of p + its error (the curve's slope is estimated):
// se^2 + (v(p + se_p) - v(p))^2.
void AddSlopeError(Measured& m, const Measured& shifted) {
  auto add = [](const std::vector<double>& v, std::vector<double>& se, const std::vector<double>& w) {
    for (size_t i = 0; i < v.size(); ++i) {
      if (std::isfinite(v[i]) && std::isfinite(w[i])) se[i] = std::hypot(se[i], v[i] - w[i]);
    }
  };
  for (size_t j = 0; j < m.methods.size(); ++j) {
    add(m.methods[j].c, m.methods[j].c_se, shifted.methods[j].c);
    add(m.methods[j].k, m.methods[j].k_se, shifted.methods[j].k);
  }
  add(m.eps, m.eps_se, shifted.eps);
  add(m.difference, m.difference_se, shifted.difference);
  add(m.excess, m.excess_se, shifted.excess);
}

// The rules over the measured values, frequency by frequency upward.
DispersionCurve Judge(const Measured& measured, const std::vector<CurveMethod>& methods, const CurveModels& models,
                      const ChannelLayout& channels, const std::vector<double>& frequencies, const CurveRules& rules) {
  const size_t nf = frequencies.size(), nm = methods.size();
  DispersionCurve curve;
  curve.frequencies = frequencies;
  curve.eps = measured.eps;
  curve.eps_se = measured.eps_se;
  curve.best.assign(nf, -1);
  for (size_t m = 0; m < nm; ++m) {
    const Measured::Method& mm = measured.methods[m];
    curve.methods.push_back(
        {methods[m], mm.c, mm.c_se, mm.k, mm.k_se, std::vector<std::string_view>(nf, curve::kValidFlag)});
  }
  const auto spac_nc = std::find(methods.begin(), methods.end(), CurveMethod::kSpacNc) - methods.begin();
  const auto cca_nc = std::find(methods.begin(), methods.end(), CurveMethod::kCcaNc) - methods.begin();
  std::vector<BranchWatch> watch(kFamilies);
  for (size_t i = 0; i < nf; ++i) {
    const double eps = measured.eps[i];
    // A quantity past its branch's end ends it for every method of it.
    for (size_t m = 0; m < nm; ++m) {
      const Measured::Method& mm = measured.methods[m];
      BranchWatch& w = watch[Family(methods[m])];
      const bool on = mm.side[i] == BranchRoot::Side::kOn && std::isfinite(mm.c[i]);
      if (mm.side[i] == BranchRoot::Side::kBeyond ||
          (on && TurnedBack(w, mm.k[i], mm.k_se[i], mm.end[i], rules.turn_back))) {
        w.ended = true;
      }
    }
    for (size_t m = 0; m < nm; ++m) {
      MethodCurve& mc = curve.methods[m];
      const CurveMethod method = methods[m];
      const Measured::Method& mm = measured.methods[m];
      const bool on = mm.side[i] == BranchRoot::Side::kOn && std::isfinite(mc.c[i]);
      BranchWatch& w = watch[Family(method)];
      if (w.ended) {
        mc.flag[i] = kBranch;
        continue;
      }
      if (!on) {
        mc.flag[i] = kNoRoot;
        continue;
      }
      // Near the branch's end the model is flat and the inversion folds:
      // a root within two of its errors of the end is not known to lie on
      // the branch.
      if (std::isfinite(mc.k_se[i]) && !(mc.k[i] + 2 * mc.k_se[i] < mm.end[i])) {
        mc.flag[i] = kBranch;
        continue;
      }
      const double alias_end = IsTwoRing(method) ? models.ring_alias_end() : models.alias_end();
      if (mc.k[i] > alias_end) {
        mc.flag[i] = kAlias;
        continue;
      }
      // The noise bias is known only with the noise ratio: with a centre
      // but no ratio (no root for it) the plain methods cannot be trusted;
      // without a centre the ratio is not measured.
      if (!IsCompensated(method) && channels.has_centre) {
        const double shift = mm.noise_shift[i];
        if (!std::isfinite(eps) || !std::isfinite(shift) || std::fabs(shift) > mc.c_se[i]) {
          mc.flag[i] = kNoise;
          continue;
        }
      }
      if (!(mc.c_se[i] > 0 && mc.c_se[i] <= rules.max_se * mc.c[i])) mc.flag[i] = kError;
    }

    // Consistency of the SPAC coefficient and the coherence: the noise
    // they imply together must give one velocity through the two
    // compensated methods, and the coherence must not exceed what the
    // SPAC coefficient allows without noise (a SPAC coefficient lowered
    // by something else: a phase between the centre and the ring).
    bool consistent = true;
    if (std::isfinite(measured.difference[i])) {
      auto comparable = [&](size_t m) {
        const std::string_view flag = curve.methods[m].flag[i];
        return flag == curve::kValidFlag || flag == kNoise || flag == kError;
      };
      const double se = measured.difference_se[i];
      if (comparable(static_cast<size_t>(spac_nc)) && comparable(static_cast<size_t>(cca_nc)) && std::isfinite(se) &&
          std::fabs(measured.difference[i]) > rules.consistency * se) {
        consistent = false;
      }
    }
    const double excess_se = measured.excess_se[i];
    if (std::isfinite(excess_se) && measured.excess[i] > rules.consistency * excess_se) consistent = false;
    if (!consistent) {
      for (MethodCurve& mc : curve.methods) {
        if (mc.flag[i] == curve::kValidFlag) mc.flag[i] = kConsistency;
      }
    }
    // The estimates that watch the branch: those on it whose wavenumber
    // the records give (aliasing and consistency judge the wavefield),
    // not those biased by noise or without a bounded error, whose
    // wavenumber need not follow the curve and must not end it.
    for (size_t m = 0; m < nm; ++m) {
      const MethodCurve& mc = curve.methods[m];
      if (mc.flag[i] != curve::kValidFlag && mc.flag[i] != kAlias && mc.flag[i] != kConsistency) continue;
      BranchWatch& w = watch[Family(methods[m])];
      w.k.push_back(mc.k[i]);
      w.k_se.push_back(mc.k_se[i]);
    }
    for (size_t m = 0; m < nm; ++m) {
      const MethodCurve& mc = curve.methods[m];
      if (mc.flag[i] != curve::kValidFlag) continue;
      if (curve.best[i] < 0 || mc.c_se[i] < curve.methods[curve.best[i]].c_se[i]) curve.best[i] = static_cast<int>(m);
    }
  }
  return curve;
}

}  // namespace

DispersionCurve EstimateCurve(const CurveModels& models, const ChannelLayout& channels, size_t ring,
                              const SpectralSums& sums, const SmoothingChoice& smoothing, const CurveRules& rules) {
  // The smoothing's effect on the models depends on the curve's own slope
  // (p = c / U): a first pass with p = 1 (no dispersion) gives the curve
  // whose slope the second pass takes, and a third, with the slope one
  // error steeper, how much the slope's error moves each value.
  const std::vector<CurveMethod> methods = CurveMethodsOf(channels);
  const std::vector<double>& frequencies = sums.frequencies;
  const Smoother smoother = MakeSmoother(smoothing, frequencies, sums.window_samples, sums.dt);
  const double df = 1 / (static_cast<double>(sums.window_samples) * sums.dt);
  std::vector<double> power(frequencies.size());
  for (size_t i = 0; i < power.size(); ++i) {
    // The wavefield's power: the centre's, or the ring's mean power seen
    // through its zeroth and first orders.
    const RingChannels& r = channels.rings[ring];
    power[i] = channels.has_centre ? sums.value(i, channels.centre_power) : sums.value(i, r.g0) + sums.value(i, r.g1);
  }
  auto moments = [&](const std::vector<double>& p) { return MomentsOf(smoother, df, frequencies, power, p); };
  const std::vector<double> flat(frequencies.size(), 1.0);
  const DispersionCurve first = Judge(Measure(models, moments(flat), methods, channels, ring, sums), methods, models,
                                      channels, frequencies, rules);
  std::vector<double> f, c, se;
  for (const MethodCurve& m : first.methods) {
    for (size_t i = 0; i < first.frequencies.size(); ++i) {
      if (m.flag[i] != curve::kValidFlag) continue;
      f.push_back(first.frequencies[i]);
      c.push_back(m.c[i]);
      se.push_back(m.c_se[i]);
    }
  }
  const Slopes slopes = WavenumberExponents(frequencies, f, c, se);
  std::vector<double> steeper(frequencies.size());
  for (size_t i = 0; i < steeper.size(); ++i) steeper[i] = slopes.p[i] + slopes.p_se[i];
  Measured measured = Measure(models, moments(slopes.p), methods, channels, ring, sums);
  AddSlopeError(measured, Measure(models, moments(steeper), methods, channels, ring, sums));
  return Judge(measured, methods, models, channels, frequencies, rules);
}

std::vector<std::string> DescribeCurve(const CurveModels& models, const CurveRules& rules, size_t ring,
                                       const std::vector<CurveMethod>& methods) {
  const double r = models.radius();
  const CurveModels::Smoothed circle = models.With({});
  auto kr = [r](double k) { return textio::Shortest(std::round(k * r * 1000) / 1000); };
  std::vector<std::string> h;
  h.push_back("curve of ring " + std::to_string(ring + 1) + ": radius " + textio::Shortest(r) + " m, " +
              std::to_string(models.stations()) + " stations");
  std::string names;
  for (CurveMethod m : methods) {
    if (!names.empty()) names += ' ';
    names += NameOf(m);
  }
  h.push_back("methods: " + names +
              "; each inverts the ring's quantity for k with the ring's own station "
              "positions (mean of J0(k r_j); G0/G1 = pair sums of J0(k d_ab), every aliased order in them)");
  if (std::find(methods.begin(), methods.end(), CurveMethod::kSpacNc) != methods.end()) {
    h.push_back(
        "noise ratio eps >= 0 from spac and coh: coh = q^2 / ((1 + eps) (G0 + eps/N)), q = spac (1 + eps); "
        "spac_nc inverts q, cca_nc (G0 + eps/N) / (G1 + eps/N)");
  }
  std::string branch =
      "branch (the root within 2 standard errors of the model's first extreme, k r = " + kr(circle.spac_end()) +
      " for spac, " + kr(circle.cca_end(0)) + " for cca";
  if (models.has_two_rings()) branch += ", " + kr(circle.ringsq_end()) + " for ringsq and ring";
  branch += ", or k r below an earlier frequency's in the branch's upper half by more than " +
            textio::Shortest(rules.turn_back) + " standard errors: that frequency and every higher one)";
  std::string alias = "alias (k r above " + kr(models.alias_end()) + ", where |J_" +
                      std::to_string(models.alias_order()) +
                      "(k r)| = 0.025, the first circular order the ring's "
                      "azimuths do not cancel";
  if (models.has_two_rings()) alias += "; " + kr(models.ring_alias_end()) + " for ringsq and ring";
  alias += ")";
  h.push_back("rules, the first failed names the flag: noroot (no root on the branch); " + branch + "; " + alias +
              "; noise (spac, cca: |c - c_nc|, ringsq, ring: the shift when eps/N is taken from each ring's power, "
              "above c_se); error (c_se / c above " +
              textio::Shortest(rules.max_se) +
              ", --max-se); consistency (|c_spac_nc - c_cca_nc|, or the coherence above the noise-free coherence "
              "of spac, above " +
              textio::Shortest(rules.consistency) + " standard errors: every method)");
  h.push_back(
      "standard errors of c and eps: each delete-one-group replicate inverted; best: the valid method of "
      "least c_se, with its k r and wavelength over the radius; nan and - where no method is valid");
  return h;
}

}  // namespace circspec
