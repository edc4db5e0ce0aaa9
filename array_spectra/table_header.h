#ifndef CIRCARRAY_ARRAY_SPECTRA_TABLE_HEADER_H_
#define CIRCARRAY_ARRAY_SPECTRA_TABLE_HEADER_H_

#include <cstddef>
#include <string>
#include <vector>

#include "array/layout.h"
#include "array/rings.h"
#include "array_spectra/analysis.h"

namespace circspec {

// The '#' header of circspec's table (and of its curve form): what was
// analysed and how, one fact a line, each line starting with a word that
// says what it is, in this order:
//   circspec (circarray) VERSION
//   layout FILE: N stations; centre C; ring 1 radius R m: A B C ...
//   ring 1 stations: NAME DISTANCE AZIMUTH NAME DISTANCE AZIMUTH ...
//   ring 1 geometry: from <the point>; radius R m, spread -2.8 % to +7.1 %, largest azimuth gap 60 degrees
//   left out: X (not on a ring of 3 or more stations)        (when a station was)
//   records: dt 0.01 s; common span FROM to TO (T s); analysed FROM to TO (T s)
//   clock offsets: C 0 s, A 0.005 s, ...
//   breaks: A gap at TIME, 2 s; B overlap at TIME, 0.5 s; ...  (when a record has one)
//   segments: window W s (n samples), step S samples (overlap F), reject K; kept N, dropped D as transients, B for
//   breaks transients: FROM to TO; ...                             (when a segment was dropped as one) frequencies: ...
//   components e and n ...                                  (--component h)
//   quantities of ring R (radius R m, N stations); standard errors by ...
// The "ring R stations" lines are for programs that read the table: each
// ring station's name, its distance from the rings' point in metres and
// its azimuth in degrees counterclockwise from east, all separated by
// blanks. Times are UTC (2017-06-09T22:32:00.000000) where the records
// have UTC times, else seconds of the records' own clock.
struct HeaderFacts {
  const array::Layout& layout;
  const array::RingLayout& rings;
  const ArrayGeometry& geometry;
  const AnalysisOptions& options;
  const SpectralSums& sums;
  size_t ring;  // whose quantities the table gives
};
std::vector<std::string> TableHeader(const HeaderFacts& facts);

// The header line that lists a ring's stations (without the "# ").
std::string RingStationsLine(size_t ring_number, const std::vector<std::string>& names,
                             const std::vector<double>& distances, const std::vector<double>& azimuths);

// The time ranges of the segments dropped as transients, merged where
// they touch or overlap, as "FROM to TO" texts.
std::vector<std::string> DroppedRanges(const SpectralSums& sums);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_TABLE_HEADER_H_
