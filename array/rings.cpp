#include "array/rings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "textio/errors.h"
#include "textio/format.h"
#include "textio/printable.h"

namespace array {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr int kMaxFitRounds = 50;

// A station's position relative to the point the rings are taken from.
struct Polar {
  double distance, azimuth;
};

// Groups the stations `candidates` (sorted by distance) into runs whose
// distances lie within `tolerance` of the run's mean.
std::vector<std::vector<size_t>> Group(const std::vector<size_t>& sorted, const std::vector<Polar>& at,
                                       double tolerance) {
  std::vector<std::vector<size_t>> groups;
  for (size_t i = 0; i < sorted.size();) {
    size_t j = i + 1;
    double sum = at[sorted[i]].distance;
    for (; j < sorted.size(); ++j) {
      const double mean = (sum + at[sorted[j]].distance) / static_cast<double>(j - i + 1);
      // The nearest and the farthest decide, the distances being sorted; a
      // relative 1e-9 keeps decimal distances exactly at the limit inside.
      const double limit = mean * (tolerance + 1e-9);
      if (!(mean - at[sorted[i]].distance <= limit && at[sorted[j]].distance - mean <= limit)) break;
      sum += at[sorted[j]].distance;
    }
    groups.emplace_back(sorted.begin() + static_cast<std::ptrdiff_t>(i),
                        sorted.begin() + static_cast<std::ptrdiff_t>(j));
    i = j;
  }
  return groups;
}

class Former {
 public:
  Former(const Layout& layout, double tolerance) : layout_(layout), tolerance_(tolerance) {
    for (size_t i = 0; i < layout.stations.size(); ++i) {
      if (!layout.centre || *layout.centre != i) candidates_.push_back(i);
    }
    // Positions relative to the first station, so that the fit of survey
    // coordinates (hundreds of kilometres from their origin) keeps its
    // digits.
    x0_ = layout.stations.front().x;
    y0_ = layout.stations.front().y;
  }

  RingLayout Form() {
    RingLayout out;
    if (layout_.centre) {
      out.point = RingLayout::Point::kCentreStation;
      SetPoint(layout_.stations[*layout_.centre].x - x0_, layout_.stations[*layout_.centre].y - y0_);
      Regroup();
    } else if (layout_.form == PositionForm::kPolar) {
      out.point = RingLayout::Point::kOrigin;
      SetPoint(-x0_, -y0_);
      Regroup();
    } else {
      out.point = RingLayout::Point::kFitted;
      Fit();
    }
    if (rings_.empty()) {
      throw textio::InputError(layout_.file + ": no ring: a ring needs at least 3 stations whose distances from " +
                               PointWords(out.point) + " lie within " + textio::Shortest(100 * tolerance_) +
                               " % of their mean (--ring-tolerance)");
    }
    if (rings_.size() > 2) {
      const Station& s = layout_.stations[rings_[0].front()];
      throw textio::InputError(layout_.file + " line " + std::to_string(s.line) + ": station '" +
                               textio::Printable(s.name) + "' at " + textio::Shortest(at_[rings_[0].front()].distance) +
                               " m makes a third ring; at most two rings (outer and inner) are supported");
    }
    out.cx = cx_ + x0_;
    out.cy = cy_ + y0_;
    const bool as_written = out.point != RingLayout::Point::kFitted && cx_ + x0_ == 0 && cy_ + y0_ == 0 &&
                            layout_.form == PositionForm::kPolar;
    for (auto it = rings_.rbegin(); it != rings_.rend(); ++it) out.rings.push_back(MakeRing(*it, as_written));
    out.left_out = left_out_;
    return out;
  }

 private:
  static std::string PointWords(RingLayout::Point p) {
    switch (p) {
      case RingLayout::Point::kCentreStation:
        return "the centre station";
      case RingLayout::Point::kOrigin:
        return "the array's centre";
      case RingLayout::Point::kFitted:
        break;
    }
    return "the centre of the circle through them";
  }

  void SetPoint(double cx, double cy) {
    cx_ = cx;
    cy_ = cy;
    at_.assign(layout_.stations.size(), Polar{0, 0});
    for (size_t i : candidates_) {
      const double dx = layout_.stations[i].x - x0_ - cx, dy = layout_.stations[i].y - y0_ - cy;
      at_[i] = {std::hypot(dx, dy), std::atan2(dy, dx)};
    }
  }

  void Regroup() {
    std::vector<size_t> sorted = candidates_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](size_t a, size_t b) { return at_[a].distance < at_[b].distance; });
    rings_.clear();
    left_out_.clear();
    for (std::vector<size_t>& g : Group(sorted, at_, tolerance_)) {
      if (g.size() >= 3) {
        std::sort(g.begin(), g.end());
        rings_.push_back(std::move(g));
      } else {
        left_out_.insert(left_out_.end(), g.begin(), g.end());
      }
    }
    std::sort(left_out_.begin(), left_out_.end());
  }

  // The common centre of the rings by the algebraic fit, alternated with
  // the grouping: start from the centroid, group, fit, regroup, until the
  // rings stay the same.
  void Fit() {
    double sx = 0, sy = 0;
    for (size_t i : candidates_) {
      sx += layout_.stations[i].x - x0_;
      sy += layout_.stations[i].y - y0_;
    }
    const double n = static_cast<double>(candidates_.size());
    SetPoint(sx / n, sy / n);
    Regroup();
    for (int round = 0; round < kMaxFitRounds && !rings_.empty(); ++round) {
      const std::vector<std::vector<size_t>> before = rings_;
      FitCentre();
      Regroup();
      if (rings_ == before) break;
    }
  }

  // Least squares over the ring stations of 2 (x - xr) cx + 2 (y - yr) cy
  // = z - zr, z = x^2 + y^2, with xr, yr, zr the means of each ring: the
  // Kasa fit with one radius per ring and b_r eliminated.
  void FitCentre() {
    double a11 = 0, a12 = 0, a22 = 0, b1 = 0, b2 = 0;
    for (const std::vector<size_t>& ring : rings_) {
      double xr = 0, yr = 0, zr = 0;
      for (size_t i : ring) {
        const double x = layout_.stations[i].x - x0_, y = layout_.stations[i].y - y0_;
        xr += x;
        yr += y;
        zr += x * x + y * y;
      }
      const double m = static_cast<double>(ring.size());
      xr /= m, yr /= m, zr /= m;
      for (size_t i : ring) {
        const double x = layout_.stations[i].x - x0_, y = layout_.stations[i].y - y0_;
        const double u = 2 * (x - xr), v = 2 * (y - yr), w = x * x + y * y - zr;
        a11 += u * u, a12 += u * v, a22 += v * v, b1 += u * w, b2 += v * w;
      }
    }
    const double det = a11 * a22 - a12 * a12;
    if (!(std::fabs(det) > 1e-12 * (a11 * a22))) {
      throw textio::InputError(layout_.file + ": the ring stations lie on a line: no circle passes through them");
    }
    SetPoint((b1 * a22 - b2 * a12) / det, (a11 * b2 - a12 * b1) / det);
  }

  Ring MakeRing(const std::vector<size_t>& members, bool as_written) const {
    Ring ring;
    ring.stations = members;
    double sum = 0;
    for (size_t i : members) {
      const Station& s = layout_.stations[i];
      // A polar layout's stations about its origin: the distances and
      // azimuths as written, not as recomputed from x and y.
      const double d = as_written ? s.radius : at_[i].distance;
      const double theta = as_written ? s.azimuth_deg * kDegree : at_[i].azimuth;
      ring.distances.push_back(d);
      ring.azimuths.push_back(theta);
      sum += d;
    }
    ring.radius = sum / static_cast<double>(members.size());
    const auto [low, high] = std::minmax_element(ring.distances.begin(), ring.distances.end());
    // The mean lies between the extremes, but its rounding may put it a
    // unit of the last place beyond them when the distances all but agree.
    ring.spread_low = std::min(0.0, *low / ring.radius - 1);
    ring.spread_high = std::max(0.0, *high / ring.radius - 1);
    std::vector<double> around;
    for (double theta : ring.azimuths)
      around.push_back(theta - 2 * std::numbers::pi * std::floor(theta / (2 * std::numbers::pi)));
    std::sort(around.begin(), around.end());
    double gap = around.front() + 2 * std::numbers::pi - around.back();
    for (size_t k = 1; k < around.size(); ++k) gap = std::max(gap, around[k] - around[k - 1]);
    ring.largest_gap = gap;
    return ring;
  }

  const Layout& layout_;
  double tolerance_;
  double x0_ = 0, y0_ = 0;
  double cx_ = 0, cy_ = 0;  // relative to (x0_, y0_)
  std::vector<size_t> candidates_;
  std::vector<Polar> at_;                   // per station, from the point
  std::vector<std::vector<size_t>> rings_;  // inner first while forming
  std::vector<size_t> left_out_;
};

}  // namespace

RingLayout FormRings(const Layout& layout, double tolerance) { return Former(layout, tolerance).Form(); }

std::string DescribeLeftOut(const Layout& layout, const RingLayout& rings, size_t station) {
  const Station& s = layout.stations[station];
  const double d = std::hypot(s.x - rings.cx, s.y - rings.cy);
  return "station " + s.name + " (" + layout.file + " line " + std::to_string(s.line) + ") at " + textio::Shortest(d) +
         " m from the rings' centre is on no ring of 3 or more stations: left out";
}

}  // namespace array
