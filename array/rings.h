#ifndef CIRCARRAY_ARRAY_RINGS_H_
#define CIRCARRAY_ARRAY_RINGS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "array/layout.h"

namespace array {

// The rings of a layout as a circular array's methods see them: the point
// every distance and azimuth is taken from, and the stations grouped into
// rings by their distance from it.
//
// The point is the centre station where there is one; in the polar form
// without one, the layout's origin (the array's centre by definition of
// that form); otherwise the centre of the least-squares circle through the
// ring stations: with one radius per ring and a common centre, the
// algebraic (Kasa) fit, which is linear, x^2 + y^2 = 2 cx x + 2 cy y + b_r,
// b_r = R_r^2 - cx^2 - cy^2, iterated with the grouping until the grouping
// no longer changes (Kasa 1976, IEEE Trans. Instrum. Meas. 25, 8-14).
//
// A ring is a group of stations, consecutive in distance, whose distances
// all lie within `tolerance` (relative) of the group's mean; groups are
// formed from the nearest station outwards. A ring has at least 3
// stations; a station on a smaller group (an extra station inside a ring,
// as field arrays often have) is left out. One or two rings.
struct Ring {
  std::vector<size_t> stations;   // indices into Layout::stations, in file order
  std::vector<double> distances;  // of each from the point, metres
  std::vector<double> azimuths;   // of each from the point, radians counterclockwise from east
  double radius = 0;              // the mean distance
  double spread_low = 0;          // smallest distance / radius - 1 (<= 0)
  double spread_high = 0;         // largest distance / radius - 1 (>= 0)
  double largest_gap = 0;         // the largest step between neighbouring azimuths, radians
};

struct RingLayout {
  double cx = 0, cy = 0;  // the point, metres east and north
  enum class Point { kCentreStation, kOrigin, kFitted } point = Point::kOrigin;
  std::vector<Ring> rings;       // outer first
  std::vector<size_t> left_out;  // stations neither the centre nor on a ring, in file order
};

// The default tolerance of circspec's --ring-tolerance.
inline constexpr double kDefaultRingTolerance = 0.10;

// Forms the rings of `layout`. Throws textio::InputError naming the layout
// file when there is no ring, or more than two.
RingLayout FormRings(const Layout& layout, double tolerance);

// What the left-out stations are, for the note a program writes:
// "station X at 3.2 m from the centre is on no ring of 3 or more stations".
std::string DescribeLeftOut(const Layout& layout, const RingLayout& rings, size_t station);

}  // namespace array

#endif  // CIRCARRAY_ARRAY_RINGS_H_
