#include "array_spectra/curve_models.h"

#include <algorithm>
#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "array/ring_models.h"

namespace circspec {

namespace {

// The tables run to k r = 5, beyond the end of every branch of a ring
// whose stations lie within the ring tolerance of its mean radius (SPAC's
// minimum moves from 3.83 to 3.83 r / r_j).
constexpr double kStepKr = 1e-3;
constexpr size_t kTableSize = 5001;
// A single plane wave may move the ring's azimuthal average by 2 J_M.
constexpr double kAliasTerm = 0.025;

array::RingShape ShapeOf(const RingGeometry& ring) {
  array::RingShape shape;
  for (size_t j = 0; j < ring.distances.size(); ++j) {
    shape.x.push_back(ring.distances[j] * std::cos(ring.azimuths[j]));
    shape.y.push_back(ring.distances[j] * std::sin(ring.azimuths[j]));
    shape.azimuth.push_back(ring.azimuths[j]);
  }
  return shape;
}

// The index at which the run of y that starts at `first` stops rising or
// falling as it began: its first extreme, or `last`.
template <class Y>
size_t RunEnd(const Y& y, size_t first, size_t last) {
  const bool falling = y(first + 1) < y(first);
  for (size_t i = first + 1; i < last; ++i) {
    if (falling ? !(y(i + 1) < y(i)) : !(y(i + 1) > y(i))) return i;
  }
  return last;
}

// The same for a smooth y in strides of 8 points, then point by point
// around the stride where the run turned.
template <class Y>
size_t RunEndStrided(const Y& y, size_t first, size_t last) {
  constexpr size_t kStride = 8;
  const bool falling = y(first + 1) < y(first);
  size_t i = first;
  while (i + kStride <= last && (falling ? y(i + kStride) < y(i) : y(i + kStride) > y(i))) i += kStride;
  const size_t from = i > first + kStride ? i - kStride : first;
  return RunEnd(y, from, std::min(last, i + kStride));
}

// The root of y(k) = value on the monotonic run of table indices [first,
// end], y_at(k) the interpolated model, y_index(i) its value at the
// table's points (k = i step).
template <class AtIndex, class AtK>
BranchRoot RootOnRun(const AtIndex& y_index, const AtK& y_at, double step, size_t first, size_t end, double value) {
  BranchRoot root;
  if (!std::isfinite(value)) return root;
  const bool falling = y_index(end) < y_index(first);
  // s(i) > 0 where the model at i is on the k -> 0 side of the value.
  auto above = [&](double y) { return falling ? y - value : value - y; };
  if (above(y_index(first)) < 0) return root;
  if (above(y_index(end)) > 0) {
    root.side = BranchRoot::Side::kBeyond;
    return root;
  }
  root.side = BranchRoot::Side::kOn;
  size_t lo = first, hi = end;  // above(lo) >= 0 >= above(hi)
  while (hi - lo > 1) {
    const size_t mid = lo + (hi - lo) / 2;
    (above(y_index(mid)) >= 0 ? lo : hi) = mid;
  }
  double a = static_cast<double>(lo) * step, b = static_cast<double>(hi) * step;
  double fa = above(y_index(lo)), fb = above(y_index(hi));
  if (fa == 0) {
    root.k = a;
    return root;
  }
  // False position with the Illinois modification within the cell: the
  // interpolant is a cubic, so a few steps reach 1e-12 of k, far below
  // the differences between jackknife replicates.
  int side = 0;
  for (int iteration = 0; iteration < 60 && fa != fb; ++iteration) {
    const double k = (a * fb - b * fa) / (fb - fa);
    const double fk = above(y_at(k));
    if (fk == 0 || b - a <= 1e-12 * b) {
      a = b = k;
      break;
    }
    if ((fk > 0) == (fa > 0)) {
      a = k;
      fa = fk;
      if (side == -1) fb /= 2;
      side = -1;
    } else {
      b = k;
      fb = fk;
      if (side == 1) fa /= 2;
      side = 1;
    }
  }
  root.k = fa == fb ? a : (a * fb - b * fa) / (fb - fa);
  root.k = std::clamp(root.k, static_cast<double>(lo) * step, static_cast<double>(hi) * step);
  return root;
}

int AliasOrder(const RingGeometry& ring) {
  std::vector<double> azimuths = ring.azimuths;
  for (double& a : azimuths) a = std::remainder(a, 2 * std::numbers::pi) + std::numbers::pi;
  std::sort(azimuths.begin(), azimuths.end());
  double gap = azimuths.front() + 2 * std::numbers::pi - azimuths.back();
  for (size_t j = 1; j < azimuths.size(); ++j) gap = std::max(gap, azimuths[j] - azimuths[j - 1]);
  return std::max(1, static_cast<int>(std::floor(2 * std::numbers::pi / gap * (1 + 1e-9))));
}

// k r where |J_M(k r)| first reaches kAliasTerm: J_M rises from 0 to its
// first maximum (above 0.3 for every M below 100) before any zero.
double AliasKr(int order) {
  auto excess = [order](double x) { return boost::math::cyl_bessel_j(order, x) - kAliasTerm; };
  double hi = 0.05;
  while (excess(hi) < 0) hi += 0.05;
  std::uintmax_t iterations = 100;
  const auto [a, b] =
      boost::math::tools::toms748_solve(excess, hi - 0.05, hi, boost::math::tools::eps_tolerance<double>(), iterations);
  return (a + b) / 2;
}

}  // namespace

void CurveModels::Table::Derive() {
  // Central differences of the tabulated model (one-sided at the ends):
  // errors of h^2/6 times the third derivative, some 1e-7 of the
  // smoothing correction.
  const size_t n = y.size();
  d1.assign(n, 0);
  d2.assign(n, 0);
  for (size_t i = 1; i + 1 < n; ++i) {
    const double k = static_cast<double>(i) * step;
    d1[i] = k * (y[i + 1] - y[i - 1]) / (2 * step);
    d2[i] = k * k * (y[i + 1] - 2 * y[i] + y[i - 1]) / (step * step);
  }
  d1[n - 1] = d1[n - 2] * (static_cast<double>(n - 1) / static_cast<double>(n - 2));
  d2[n - 1] = d2[n - 2];
}

CurveModels::Smoothed::Sampled::Sampled(const Table& t, const SmoothingMoments& m) : step(t.step), y(t.y.size()) {
  for (size_t i = 0; i < y.size(); ++i) y[i] = t.y[i] + m.m1 * t.d1[i] + 0.5 * m.m2 * t.d2[i];
}

double CurveModels::Smoothed::Sampled::At(double k) const {
  // The cubic through the four table points around k (Lagrange form).
  const double u = k / step;
  const size_t last = y.size() - 1;
  const size_t i = std::clamp<size_t>(static_cast<size_t>(std::max(0.0, u)), 1, last - 2);
  const double t = u - static_cast<double>(i);
  const double wm = -t * (t - 1) * (t - 2) / 6, w0 = (t + 1) * (t - 1) * (t - 2) / 2;
  const double w1 = -(t + 1) * t * (t - 2) / 2, w2 = (t + 1) * t * (t - 1) / 6;
  return wm * y[i - 1] + w0 * y[i] + w1 * y[i + 1] + w2 * y[i + 2];
}

CurveModels::CurveModels(const ArrayGeometry& geometry, size_t ring) {
  const RingGeometry& chosen = geometry.rings.at(ring);
  const array::RingModel model(ShapeOf(chosen));
  radius_ = model.radius();
  stations_ = static_cast<int>(chosen.stations.size());
  const double step = kStepKr / radius_;
  for (Table* t : {&s_, &g0_, &g1_}) {
    t->step = step;
    t->y.resize(kTableSize);
  }
  for (size_t i = 0; i < kTableSize; ++i) {
    const double k = static_cast<double>(i) * step;
    s_.y[i] = model.Spac(k);
    g0_.y[i] = model.G0(k);
    g1_.y[i] = model.G1(k);
  }
  for (Table* t : {&s_, &g0_, &g1_}) t->Derive();
  alias_order_ = AliasOrder(chosen);
  alias_end_ = AliasKr(alias_order_) / radius_;

  two_rings_ = geometry.rings.size() >= 2;
  if (!two_rings_) return;
  const array::RingModel outer(ShapeOf(geometry.rings[0])), inner(ShapeOf(geometry.rings[1]));
  outer_stations_ = static_cast<int>(geometry.rings[0].stations.size());
  inner_stations_ = static_cast<int>(geometry.rings[1].stations.size());
  const double ring_step = kStepKr / outer.radius();
  for (Table* t : {&g1_outer_, &g1_inner_, &cross_}) {
    t->step = ring_step;
    t->y.resize(kTableSize);
  }
  for (size_t i = 0; i < kTableSize; ++i) {
    const double k = static_cast<double>(i) * ring_step;
    g1_outer_.y[i] = outer.G1(k);
    g1_inner_.y[i] = inner.G1(k);
    cross_.y[i] = outer.CrossG1(inner, k);
  }
  for (Table* t : {&g1_outer_, &g1_inner_, &cross_}) t->Derive();
  ring_alias_end_ = std::min(AliasKr(AliasOrder(geometry.rings[0])) / outer.radius(),
                             AliasKr(AliasOrder(geometry.rings[1])) / inner.radius());
}

CurveModels::Smoothed CurveModels::With(const SmoothingMoments& m) const { return Smoothed(*this, m); }

CurveModels::Smoothed::Smoothed(const CurveModels& models, const SmoothingMoments& m)
    : stations_(models.stations_), s_(models.s_, m), g0_(models.g0_, m), g1_(models.g1_, m) {
  constexpr size_t kLast = kTableSize - 3;
  spac_end_ = RunEnd([this](size_t i) { return s_.y[i]; }, 0, kLast);
  cca_end_ = RunEnd([this](size_t i) { return g0_.y[i] / g1_.y[i]; }, 1, kLast);
  if (!models.two_rings_) return;
  outer_ = Sampled(models.g1_outer_, m);
  inner_ = Sampled(models.g1_inner_, m);
  cross_ = Sampled(models.cross_, m);
  // Both two-ring ratios end where the outer ring's G1 first falls to
  // its minimum (J1(k r)^2 to 0 at k r = 3.8317 for a circle): the ratio
  // of the cross term changes sign there and, beyond, no longer tells
  // the ring's orders apart (the bracket of the classic inverter).
  ringsq_end_ = RunEnd([this](size_t i) { return outer_.y[i] / inner_.y[i]; }, 1, kLast);
  ring_end_ = std::min(ringsq_end_, RunEnd([this](size_t i) { return cross_.y[i] / inner_.y[i]; }, 1, kLast));
}

size_t CurveModels::Smoothed::CcaEnd(double e) const {
  if (e == 0) return cca_end_;
  // Noise lifts both sums alike, which moves the ratio's minimum to
  // smaller k (at the noise-free minimum, where G0 G1' = G1 G0', the
  // derivative of (G0 + e)/(G1 + e) has the sign of G0' - G1' > 0): the
  // first point where the ratio stops falling, found by bisection below
  // the noise-free end, or by a scan if the ratio still falls there.
  auto y = [this, e](size_t i) { return (g0_.y[i] + e) / (g1_.y[i] + e); };
  auto rising = [&y](size_t i) { return !(y(i + 1) < y(i)); };
  size_t lo = 1, hi = cca_end_;
  if (!rising(hi)) return RunEndStrided(y, 1, kTableSize - 3);
  if (rising(lo)) return lo;
  while (hi - lo > 1) {
    const size_t mid = lo + (hi - lo) / 2;
    (rising(mid) ? hi : lo) = mid;
  }
  return hi;
}

BranchRoot CurveModels::Smoothed::Spac(double value) const {
  return RootOnRun([this](size_t i) { return s_.y[i]; }, [this](double k) { return s_.At(k); }, s_.step, 0, spac_end_,
                   value);
}

BranchRoot CurveModels::Smoothed::Cca(double value, double e) const {
  auto y_index = [this, e](size_t i) { return (g0_.y[i] + e) / (g1_.y[i] + e); };
  auto y_at = [this, e](double k) { return (g0_.At(k) + e) / (g1_.At(k) + e); };
  return RootOnRun(y_index, y_at, g0_.step, 1, CcaEnd(e), value);
}

BranchRoot CurveModels::Smoothed::Ringsq(double value) const {
  return RootOnRun([this](size_t i) { return outer_.y[i] / inner_.y[i]; },
                   [this](double k) { return outer_.At(k) / inner_.At(k); }, outer_.step, 1, ringsq_end_, value);
}

BranchRoot CurveModels::Smoothed::Ring(double value) const {
  return RootOnRun([this](size_t i) { return cross_.y[i] / inner_.y[i]; },
                   [this](double k) { return cross_.At(k) / inner_.At(k); }, cross_.step, 1, ring_end_, value);
}

double CurveModels::Smoothed::spac_end() const { return static_cast<double>(spac_end_) * s_.step; }
double CurveModels::Smoothed::cca_end(double e) const { return static_cast<double>(CcaEnd(e)) * g0_.step; }
double CurveModels::Smoothed::ringsq_end() const { return static_cast<double>(ringsq_end_) * outer_.step; }
double CurveModels::Smoothed::ring_end() const { return static_cast<double>(ring_end_) * cross_.step; }

std::optional<double> CurveModels::Smoothed::NoiseRatio(double spac, double coh) const {
  if (!std::isfinite(spac) || !std::isfinite(coh) || spac == 0) return std::nullopt;
  const double s_min = s_.y[spac_end_], s_max = s_.y[0];
  // q = spac (1 + eps) is held within the branch's range [s_min, s_max]:
  // where the noise-free coefficient would exceed the model's value at
  // k = 0, the coherence alone (at k = 0, 1 / ((1 + eps)(G0(0) + eps/N)))
  // gives eps. A negative coefficient bounds eps where q reaches s_min.
  double eps_max = spac > 0 ? 10.0 : std::min(10.0, s_min / spac - 1);
  if (!(eps_max >= 0)) return std::nullopt;
  const double n = stations_;
  auto residual = [&](double eps) {
    const double q = std::clamp(spac * (1 + eps), s_min, s_max);
    const BranchRoot root = Spac(q);
    const double k = root.side == BranchRoot::Side::kOn ? root.k : 0;
    return q * q / ((1 + eps) * (g0_.At(k) + eps / n)) - coh;
  };
  const double at_zero = residual(0);
  if (std::isnan(at_zero)) return std::nullopt;
  if (at_zero <= 0) return 0.0;
  // Widen the bracket from small ratios up: the smallest root is the one
  // continuous with eps = 0.
  double a = 0, b = std::min(eps_max, 0.01);
  for (double r = residual(b); !(r <= 0); r = residual(b)) {
    if (std::isnan(r) || b >= eps_max) return std::nullopt;
    a = b;
    b = std::min(eps_max, 4 * b);
  }
  std::uintmax_t iterations = 60;
  const auto [lo, hi] =
      boost::math::tools::toms748_solve(residual, a, b, boost::math::tools::eps_tolerance<double>(36), iterations);
  return (lo + hi) / 2;
}

std::optional<double> CurveModels::Smoothed::NoiseFreeCoherence(double spac) const {
  const BranchRoot root = Spac(spac);
  if (root.side != BranchRoot::Side::kOn) return std::nullopt;
  return spac * spac / g0_.At(root.k);
}

}  // namespace circspec
