#ifndef CIRCARRAY_ARRAY_TESTING_FIELD_RECORDS_H_
#define CIRCARRAY_ARRAY_TESTING_FIELD_RECORDS_H_

// Test support: a synthetic array's records written as files the way the
// field gives them: stations that start late or stop early, gaps in a
// record, a burst of noise, as column text or miniSEED.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "array_testing/synthetic_array.h"

namespace circspec::testing {

// What happens to one station's record before it is written. Samples are
// counted from the first (index 0, at (0 + 1) dt + the station's clock
// offset).
struct RecordEdit {
  long cut_start = 0;  // samples left out at the start
  long cut_end = 0;    // and at the end
  struct Span {
    long first = 0, count = 0;
  };
  std::vector<Span> gaps;  // samples left out inside; the others keep their times
  // Samples whose values become `factor` times the record's RMS of white
  // Gaussian noise added to them (a transient: a footstep, a passing car).
  struct Burst {
    long first = 0, count = 0;
    double factor = 100;
  };
  std::vector<Burst> bursts;
  // miniSEED: the horizontals coded 1 (n) and 2 (e), as SEED codes a
  // sensor not aligned to north.
  bool unoriented = false;
};

enum class RecordForm { kText, kMiniSeed };

// Writes the records of every station of `array` into `dir` under the
// names its layout gives (text: "time u e n" with 17 significant digits,
// so that they read back exactly; miniSEED: one file of three channels of
// 64-bit floats, one record run per piece between gaps), with the edits
// of the stations named in `edits`, and the layout as "layout.txt" (the
// array's own layout text unless `layout_text` is given). Returns the
// layout file's path.
std::string WriteRecords(const SyntheticArray& array, const std::filesystem::path& dir, RecordForm form,
                         const std::map<std::string, RecordEdit>& edits = {}, const std::string& layout_text = "");

}  // namespace circspec::testing

#endif  // CIRCARRAY_ARRAY_TESTING_FIELD_RECORDS_H_
