#ifndef CIRCARRAY_ARRAY_LAYOUT_H_
#define CIRCARRAY_ARRAY_LAYOUT_H_

#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "suite/context.h"

namespace array {

// The layout file of a circular array: plain text, one station per line,
// '#' starting a comment (to the end of the line), blank lines ignored,
// fields separated by blanks or tabs (a station's file name therefore
// holds no blank). Where the stations stand comes in one of three forms,
// chosen by the first line that is not a comment:
//
//   (polar, the default)      name azimuth radius file [orient=DEG]
//   coordinates xy            name x y file [centre] [orient=DEG]
//   coordinates lonlat        name longitude latitude file [centre] [orient=DEG]
//
//  - polar: azimuth in degrees counterclockwise from east, radius in
//    metres from the array's centre; radius 0 is the centre station (at
//    most one). The array's centre is the origin of the positions.
//  - xy: metres, x east, y north, from any origin.
//  - lonlat: degrees on WGS84, projected onto the plane tangent to the
//    ellipsoid at the stations' mean position (east, north; see
//    TangentPlane).
//  - centre: the word marks the centre station (at most one).
//  - orient=DEG: the azimuth of the sensor's n channel, clockwise from
//    north [0]; its e channel points 90 degrees clockwise from it.
//  - file: the station's record, relative to the layout file's folder
//    (an absolute path stays as it is): one file holding the station's
//    components (column text or miniSEED), or three comma-separated files
//    of one component each, in the order u,e,n ("a.u.sac,a.e.sac,a.n.sac").
// Station names and record files are unique within a layout. Which
// stations form rings is decided by FormRings (array/rings.h).

enum class PositionForm { kPolar, kXy, kLonLat };

struct Station {
  std::string name;
  double x = 0, y = 0;  // metres east and north of the layout's origin
  // As written in the polar form (azimuth in degrees counterclockwise from
  // east); in the other forms the polar coordinates of (x, y).
  double azimuth_deg = 0;
  double radius = 0;
  double orient_deg = 0;       // azimuth of the n channel, clockwise from north
  std::string file;            // the record's path as written in the layout
  std::filesystem::path path;  // `file` resolved against the layout's folder (the first of three)
  // The record files resolved: one, or three (u, e, n) when `file` names
  // three separated by commas.
  std::vector<std::filesystem::path> paths;
  long line = 0;  // line of the layout file that defines it
};

struct Layout {
  std::string file;  // the layout file's name, as used in messages
  PositionForm form = PositionForm::kPolar;
  std::vector<Station> stations;  // in file order
  std::optional<size_t> centre;   // index of the centre station, if any
};

// Reads a layout from `in`. `file_name` names it in error messages and
// `folder` is the directory the station files are relative to. Throws
// textio::InputError naming the file, the line and what was expected.
Layout ParseLayout(std::istream& in, const std::string& file_name, const std::filesystem::path& folder);

// Opens the layout file `name` through the run's context (a relative name
// is taken from the run's directory), reads it and closes it. Station
// files are resolved against the folder of `name` as given, so that they
// are names for the same context. Throws textio::InputError if it cannot
// be read.
Layout ReadLayout(suite::Context& context, const std::string& name);

// The projection of geodetic longitude and latitude (degrees, WGS84, on
// the ellipsoid) onto the plane tangent to the ellipsoid at (lon0, lat0):
// east and north in metres of the point's east-north-up frame, computed
// from earth-centred coordinates; the depth of the points below the plane
// is dropped. A point at distance s along the ellipsoid from the tangent
// point lands at about R sin(s/R), s - s^3/(6 R^2) from it: 4 um short at
// 1 km, far below any position a survey gives.
struct TangentPlane {
  double lon0_deg, lat0_deg;
  void Project(double lon_deg, double lat_deg, double* east, double* north) const;
};

}  // namespace array

#endif  // CIRCARRAY_ARRAY_LAYOUT_H_
