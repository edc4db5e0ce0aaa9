#include "profile_inversion/voronoi_walk.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace circinv {
namespace {

// Two doubles and two 64-bit masks in the vector types of GCC and Clang.
typedef double Vector __attribute__((vector_size(16)));
typedef int64_t Pair __attribute__((vector_size(16)));

Vector Load(const double* p) {
  Vector v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

void PointSet::Add(std::span<const double> point) {
  for (size_t i = 0; i < axes_.size(); ++i) axes_[i].push_back(point[i]);
}

void PointSet::CopyPoint(int64_t point, std::span<double> out) const {
  for (size_t i = 0; i < axes_.size(); ++i) out[i] = axes_[i][point];
}

VoronoiWalk::VoronoiWalk(const PointSet& cells, int64_t centre, const AxisLimits& limits,
                         std::span<const double> weights)
    : cells_(cells),
      centre_(centre),
      limits_(limits),
      weights_(weights.begin(), weights.end()),
      point_(cells.dimension()),
      distance2_(cells.size(), 0.0) {
  if (weights_.empty()) weights_.assign(cells.dimension(), 1.0);
  cells_.CopyPoint(centre_, point_);
  // Computed afresh for every walk, so that the rounding of the running
  // updates never accumulates over more than one walk. The term of axis 0
  // is left for the first step to add, as if the walk had just moved along
  // it (to the centre's own coordinate).
  for (int i = 1; i < cells_.dimension(); ++i) {
    const std::span<const double> v = cells_.axis(i);
    const double x = point_[i];
    const double w = weights_[i];
    for (size_t j = 0; j < distance2_.size(); ++j) {
      const double d = v[j] - x;
      distance2_[j] += w * (d * d);
    }
  }
}

void VoronoiWalk::Sweep(RandomStream& random, std::span<double> out) {
  for (int i = 0; i < cells_.dimension(); ++i) StepAlong(i, random);
  std::copy(point_.begin(), point_.end(), out.begin());
}

// One pass over the cells per step: it first completes the squared
// distances for the previous step's move (the term of the axis moved last,
// deferred to here), reduces them to the part perpendicular to this axis,
// and tests each cell's boundary. In the metric of axis weights w, a
// boundary x_j bounds the walk more tightly than the current bound b
// exactly when
//   (v_ki + v_ji - 2 b) w_i (v_ki - v_ji) + d_k^2 - d_j^2 > 0
// (the boundary's formula multiplied by w_i (v_ki - v_ji), for lower and upper bounds
// alike), so the division is done only for the few cells that tighten a
// bound. The tests run on blocks of cells, two cells at a time, against the
// bounds at the block's start and without branches (the sign of
// v_ki - v_ji is random: a branch on it would be mispredicted half the
// time); the cells of a block that pass are then taken one by one against
// the bounds as they stand, which gives exactly the bounds of a test cell
// by cell.
void VoronoiWalk::StepAlong(int axis, RandomStream& random) {
  constexpr size_t kBlock = 256;
  const double* v = cells_.axis(axis).data();
  const double x = point_[axis];
  const double* pending = cells_.axis(moved_axis_).data();
  const double moved_to = point_[moved_axis_];
  const double w_moved = weights_[moved_axis_];
  const double w = weights_[axis];
  double* distance2 = distance2_.data();

  AxisInterval bounds;
  if (limits_) {
    const AxisInterval admitted = limits_(point_, axis);
    bounds.lower = std::max(bounds.lower, admitted.lower);
    bounds.upper = std::min(bounds.upper, admitted.upper);
  }
  double lower = bounds.lower;
  double upper = bounds.upper;
  const double vk = v[centre_];
  const double pk = pending[centre_] - moved_to;
  const double dk = vk - x;
  const double dk2 = distance2[centre_] + w_moved * (pk * pk) - w * (dk * dk);
  const size_t n = distance2_.size();
  int64_t passes[kBlock];
  for (size_t start = 0; start < n; start += kBlock) {
    const size_t count = std::min(kBlock, n - start);
    const double twice_lower = 2.0 * lower;
    const double twice_upper = 2.0 * upper;
    const Vector twice_lower_v = {twice_lower, twice_lower};
    const Vector twice_upper_v = {twice_upper, twice_upper};
    int64_t any = 0;
    size_t b = 0;
    // Two cells at a time in the compiler's vector types (the same IEEE
    // operations as the scalar loop below, so the same bits).
    Pair any_pair = {0, 0};
    for (; b + 2 <= count; b += 2) {
      const size_t j = start + b;
      const Vector vj = Load(v + j);
      const Vector p = Load(pending + j) - moved_to;
      const Vector d = vj - x;
      const Vector dj2 = Load(distance2 + j) + w_moved * (p * p) - w * (d * d);
      std::memcpy(distance2 + j, &dj2, sizeof dj2);
      const Vector diff = w * (vk - vj);
      const Vector sum = vk + vj;
      const Vector excess = dk2 - dj2;
      // The bound each cell may tighten, chosen bitwise by the mask of the sign.
      const Pair below = diff > 0;
      const Vector twice_bound = (Vector)((below & (Pair)twice_lower_v) | (~below & (Pair)twice_upper_v));
      const Pair pass = (sum - twice_bound) * diff + excess > 0;
      std::memcpy(passes + b, &pass, sizeof pass);
      any_pair |= pass;
    }
    any = any_pair[0] | any_pair[1];
    for (; b < count; ++b) {
      const size_t j = start + b;
      const double p = pending[j] - moved_to;
      const double d = v[j] - x;
      const double dj2 = distance2[j] + w_moved * (p * p) - w * (d * d);
      distance2[j] = dj2;
      const double diff = w * (vk - v[j]);
      const double sum = vk + v[j];
      const double excess = dk2 - dj2;
      const int64_t pass = (sum - (diff > 0 ? twice_lower : twice_upper)) * diff + excess > 0 ? -1 : 0;
      passes[b] = pass;
      any |= pass;
    }
    if (any == 0) continue;
    for (size_t b = 0; b < count; ++b) {
      if (passes[b] == 0) continue;
      const size_t j = start + b;
      const double diff = w * (vk - v[j]);
      if (diff == 0) continue;  // a bisector parallel to the axis (or the centre itself)
      const double boundary = 0.5 * (vk + v[j] + (dk2 - distance2[j]) / diff);
      if (diff > 0) {
        lower = std::max(lower, boundary);
      } else {
        upper = std::min(upper, boundary);
      }
    }
  }
  // The current point is inside the cell; rounding must not exclude it.
  lower = std::min(lower, x);
  upper = std::max(upper, x);
  point_[axis] = random.Uniform(lower, upper);
  moved_axis_ = axis;
}

}  // namespace circinv
