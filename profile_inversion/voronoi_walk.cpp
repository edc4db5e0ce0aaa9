#include "profile_inversion/voronoi_walk.h"

#include <algorithm>

namespace circinv {

void PointSet::Add(std::span<const double> point) {
  for (size_t i = 0; i < axes_.size(); ++i) axes_[i].push_back(point[i]);
}

void PointSet::CopyPoint(int64_t point, std::span<double> out) const {
  for (size_t i = 0; i < axes_.size(); ++i) out[i] = axes_[i][point];
}

VoronoiWalk::VoronoiWalk(const PointSet& cells, int64_t centre, const AxisLimits& limits)
    : cells_(cells), centre_(centre), limits_(limits), point_(cells.dimension()), distance2_(cells.size(), 0.0) {
  cells_.CopyPoint(centre_, point_);
  // Computed afresh for every walk, so that the rounding of the running
  // updates never accumulates over more than one walk.
  for (int i = 0; i < cells_.dimension(); ++i) {
    const std::span<const double> v = cells_.axis(i);
    const double x = point_[i];
    for (size_t j = 0; j < distance2_.size(); ++j) {
      const double d = v[j] - x;
      distance2_[j] += d * d;
    }
  }
}

void VoronoiWalk::Sweep(RandomStream& random, std::span<double> out) {
  for (int i = 0; i < cells_.dimension(); ++i) StepAlong(i, random);
  std::copy(point_.begin(), point_.end(), out.begin());
}

void VoronoiWalk::StepAlong(int axis, RandomStream& random) {
  const std::span<const double> v = cells_.axis(axis);
  const double x = point_[axis];
  const size_t n = distance2_.size();
  // Reduce every squared distance to the part perpendicular to the axis.
  for (size_t j = 0; j < n; ++j) {
    const double d = v[j] - x;
    distance2_[j] -= d * d;
  }
  AxisInterval bounds;
  if (limits_) {
    const AxisInterval admitted = limits_(point_, axis);
    bounds.lower = std::max(bounds.lower, admitted.lower);
    bounds.upper = std::min(bounds.upper, admitted.upper);
  }
  const double vk = v[centre_];
  const double dk2 = distance2_[centre_];
  double lower = bounds.lower;
  double upper = bounds.upper;
  for (size_t j = 0; j < n; ++j) {
    const double vj = v[j];
    if (vj == vk) continue;  // the bisector is parallel to the axis (or j is the centre)
    const double boundary = 0.5 * (vk + vj + (dk2 - distance2_[j]) / (vk - vj));
    if (vj < vk) {
      lower = std::max(lower, boundary);
    } else {
      upper = std::min(upper, boundary);
    }
  }
  // The current point is inside the cell; rounding must not exclude it.
  lower = std::min(lower, x);
  upper = std::max(upper, x);
  const double moved = random.Uniform(lower, upper);
  point_[axis] = moved;
  for (size_t j = 0; j < n; ++j) {
    const double d = v[j] - moved;
    distance2_[j] += d * d;
  }
}

}  // namespace circinv
