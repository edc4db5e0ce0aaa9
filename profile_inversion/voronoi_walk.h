#ifndef CIRCARRAY_PROFILE_INVERSION_VORONOI_WALK_H_
#define CIRCARRAY_PROFILE_INVERSION_VORONOI_WALK_H_

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "profile_inversion/random_stream.h"

namespace circinv {

// Points of the unit cube [0, 1]^d, stored axis by axis (all first
// coordinates, then all second ones, ...) so that the loops over every
// point along one axis run over contiguous memory.
class PointSet {
 public:
  explicit PointSet(int dimension) : axes_(dimension) {}

  int dimension() const { return static_cast<int>(axes_.size()); }
  int64_t size() const { return axes_.empty() ? 0 : static_cast<int64_t>(axes_[0].size()); }
  void Add(std::span<const double> point);
  // Coordinate `axis` of every point.
  std::span<const double> axis(int axis) const { return axes_[axis]; }
  double at(int64_t point, int axis) const { return axes_[axis][point]; }
  void CopyPoint(int64_t point, std::span<double> out) const;

 private:
  std::vector<std::vector<double>> axes_;
};

// The interval of one coordinate that a constraint admits, the others held.
struct AxisInterval {
  double lower = 0;
  double upper = 1;
};

// A constraint on the points of the cube given axis by axis: the feasible
// interval of coordinate `axis` through `point`. It must contain the
// coordinate of a feasible point.
using AxisLimits = std::function<AxisInterval(std::span<const double> point, int axis)>;

// The uniform random walk inside the Voronoi cell of one point of a set,
// the Gibbs sampler of the neighbourhood algorithm (Sambridge
// 1999a). The walk starts at the cell's centre and moves along one
// axis at a time. Along axis i through the current point x the cell of
// centre v_k ends where x is as near to another point v_j as to v_k:
//   x_ji = [v_ki + v_ji + (d_k^2 - d_j^2) / (v_ki - v_ji)] / 2,
// with d_k, d_j the distances of v_k and v_j from the axis line.
// Points with v_ji < v_ki bound the cell from below, those with v_ji > v_ki
// from above; the new coordinate is uniform between the nearest bounds (and
// within [0, 1] and the constraint's interval). The squared distances of
// every point from x are kept and updated by the one changed term after
// each step, so that a step costs O(n) instead of O(n d), as Sambridge (1999a)
// proposes.
class VoronoiWalk {
 public:
  // The walk in the cell of point `centre` of `cells`. `limits` may be
  // empty (the whole cube is feasible). `weights` scale the squared
  // distance along each axis (empty: all 1), the metric in which the cells
  // are taken. `cells` must outlive the walk and not change during it.
  VoronoiWalk(const PointSet& cells, int64_t centre, const AxisLimits& limits, std::span<const double> weights = {});

  // Moves along every axis once, in order, and writes the new point.
  void Sweep(RandomStream& random, std::span<double> out);

 private:
  void StepAlong(int axis, RandomStream& random);

  const PointSet& cells_;
  int64_t centre_;
  AxisLimits limits_;
  std::vector<double> weights_;
  std::vector<double> point_;  // the walk's current point
  // Squared distance of every cell centre from point_, but for the term
  // of axis moved_axis_, which the next step adds.
  std::vector<double> distance2_;
  int moved_axis_ = 0;
};

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_VORONOI_WALK_H_
