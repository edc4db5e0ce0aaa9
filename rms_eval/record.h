#ifndef CIRCARRAY_RMS_EVAL_RECORD_H_
#define CIRCARRAY_RMS_EVAL_RECORD_H_

#include <cstdint>
#include <string>
#include <vector>

#include "suite/context.h"
#include "suite/stop.h"

namespace gauger {

// Most samples one record may hold. A file with more kept lines stops the
// run with a message instead of being cut short without notice.
inline constexpr int32_t kStoreSize = 5'000'000;

// Width of the label field that opens every line of a column file.
inline constexpr size_t kLabelWidth = 80;

// The sample store of one run. Samples are addressed from 1, as the window
// arithmetic counts them (sample i lies at time i x dt); slot 0 is never a
// sample. The vector grows as lines arrive, so a short record costs little.
struct Datblk {
  std::vector<double> samples = std::vector<double>(1, 0.0);

  double* first() { return samples.data() + 1; }  // sample 1
  const double* first() const { return samples.data() + 1; }
};

// Reads one column of the column text file `name` into `store` and drops
// the first `nskip` samples; returns n, the count left. Column `type` 1, 2
// or 3 (u, e, n) is kept; any other type reads nothing. n is negative when
// the skip exceeds the count read. Each line holds a label and the columns
// up to the kept one; reading ends quietly at the end of the file or at the
// first line that is not of that form.
//
// Stops the run (suite::Stop) with "Program gauger." and
// "ERROR:opening file <name>" when the file cannot be opened, and with one
// message line when it holds more than kStoreSize records.
// nskip must not be negative.
// The file is opened through `context`, which owns it.
int32_t rfile(Datblk* store, int32_t nskip, int32_t type, const std::string& name, suite::Context& context);

}  // namespace gauger

#endif  // CIRCARRAY_RMS_EVAL_RECORD_H_
