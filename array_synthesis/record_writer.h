#ifndef CIRCARRAY_ARRAY_SYNTHESIS_RECORD_WRITER_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_RECORD_WRITER_H_

#include "array_synthesis/synthesis.h"
#include "textio/output.h"

namespace circsim {

// Significant digits of the time column for a record of `samples`: at
// least 9, and enough that the last time is shown to a thousandth of dt
// (ceil(log10(samples)) + 3), at most 17.
int TimeDigits(long samples);

// Writes one station's record as the suite's column text file: one line
// per sample, "time u e n", the j-th sample (j = 1..n) at time j*dt +
// `offset` (a digitiser's clock offset, 0 on the grid), so that a time t
// falls on sample round(t/dt) as the suite's programs count. Values as
// the suite's free-format reals with `digits` significant digits
// (textio::AppendReal), the time with TimeDigits(n).
void WriteColumns(const StationRecord& record, double dt, double offset, int digits, textio::Output& out);

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_RECORD_WRITER_H_
