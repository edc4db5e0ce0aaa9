#ifndef CIRCARRAY_SEISIO_STATION_H_
#define CIRCARRAY_SEISIO_STATION_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "seisio/trace.h"

namespace seisio {

// The three components of one station, sample by sample on one time grid:
// traces[0] up (u), traces[1] east (e), traces[2] north (n), each with the
// file it came from.
struct StationRecord {
  std::array<Trace, 3> traces;
  std::array<std::string, 3> files;
  // Samples all three hold: the first `length` samples of each are the
  // station's record. The traces may run on beyond it by different counts.
  size_t length = 0;

  const Trace& u() const { return traces[0]; }
  bool lengths_differ() const;
};

// Checks that `b` lies on the time grid of `a`: the two start within less
// than half a sample of `a`, and their intervals differ so little that the
// offset they build up over the longer trace stays under half a sample too
// (so sample i of one and sample i of the other are always the nearest
// pair). Otherwise a textio::InputError naming both files, channels and
// start times (or intervals).
void CheckSameGrid(const Trace& a, std::string_view a_file, const Trace& b, std::string_view b_file);
// The same for traces whose samples are not held (read later, record by
// record): `a_count` and `b_count` are their sample counts.
void CheckSameGrid(const Trace& a, size_t a_count, std::string_view a_file, const Trace& b, size_t b_count,
                   std::string_view b_file);

// The choices StationOfFile and StationOfFiles make, for callers that
// read the samples themselves (the traces' samples are not looked at).
// ChooseComponents: the indices of the u, e and n channels among those of
// one file. CheckPlace: that a file given in place `place` (0 u, 1 e, 2 n)
// of three holds one channel, which names no other component.
// With Horizontals::kAlsoUnoriented, channels 1 and 2 stand for n and e.
std::array<size_t, 3> ChooseComponents(const std::vector<Trace>& channels, std::string_view file,
                                       Horizontals horizontals = Horizontals::kNorthEast);
void CheckPlace(const std::vector<Trace>& held, size_t place, std::string_view file,
                Horizontals horizontals = Horizontals::kNorthEast);

// The station in one file holding its channels: the channels are chosen
// by the last letter of their codes (Z u, E e, N n); channels named by any
// other letter are left out. A component missing, or named by two channels
// (two stations or two sampling rates in one file), is a textio::InputError
// listing the channels the file holds.
StationRecord StationOfFile(std::vector<Trace> channels, std::string_view file);

// The station in three files of one channel each, given in the order u,
// e, n. A file with no channel or several, or a channel whose code names
// another component than its place (an east channel given as u), is a
// textio::InputError naming the file.
StationRecord StationOfFiles(std::array<std::vector<Trace>, 3> channels, const std::array<std::string, 3>& files);

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_STATION_H_
