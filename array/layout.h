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
//   name azimuth radius file
// with '#' starting a comment (to the end of the line) and blank lines
// ignored. Fields are separated by blanks or tabs; a station's file name
// therefore holds no blank.
//  - azimuth: degrees, counterclockwise from east (east = x, north = y);
//  - radius: metres from the array centre, >= 0; radius 0 is the centre
//    station (at most one);
//  - file: the station's record, relative to the layout file's folder
//    (an absolute path stays as it is): one file holding the station's
//    components (column text or miniSEED), or three comma-separated files
//    of one component each, in the order u,e,n ("a.u.sac,a.e.sac,a.n.sac").
// Circle stations whose radii agree within 0.5 % form a ring; a ring needs
// at least 3 stations and a layout has one or two rings. Station names
// and record files are unique within a layout.

struct Station {
  std::string name;
  double azimuth_deg = 0;      // counterclockwise from east
  double radius = 0;           // metres; 0 for the centre
  std::string file;            // the record's path as written in the layout
  std::filesystem::path path;  // `file` resolved against the layout's folder (the first of three)
  // The record files resolved: one, or three (u, e, n) when `file` names
  // three separated by commas.
  std::vector<std::filesystem::path> paths;
  long line = 0;  // line of the layout file that defines it
};

struct Ring {
  double radius = 0;             // mean of its stations' radii
  std::vector<size_t> stations;  // indices into Layout::stations, in file order
};

struct Layout {
  std::string file;               // the layout file's name, as used in messages
  std::vector<Station> stations;  // in file order
  std::optional<size_t> centre;   // index of the centre station, if any
  std::vector<Ring> rings;        // sorted by radius, outer first
};

// Two radii belong to one ring when they differ by at most this fraction
// of the smaller one.
inline constexpr double kRingTolerance = 0.005;

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

}  // namespace array

#endif  // CIRCARRAY_ARRAY_LAYOUT_H_
