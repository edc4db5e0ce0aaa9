#ifndef CIRCARRAY_SEISMIC_CONVERT_COLUMNS_H_
#define CIRCARRAY_SEISMIC_CONVERT_COLUMNS_H_

#include "seisio/station.h"
#include "textio/output.h"

namespace seis2col {

// How the column text is written.
struct ColumnFormat {
  bool epoch = false;  // time as epoch seconds instead of seconds from the first sample
  int digits = 9;      // significant digits of the samples, and the fewest of the times
};

// Significant digits of the time column: at least `digits`, and as many as
// it takes to show the largest time to a tenth of the sampling interval
// (so every sample's time is distinct and within a twentieth of a sample
// of the truth), at most 17. An epoch time of 1.6e9 s at 100 Hz takes 13.
int TimeDigits(double largest_time, double interval, int digits);

// Writes the station's record, one sample per line: " t u e n", each field
// a free-format real (textio::AppendReal) as the suite's column files hold
// them. Sample i lies at t = i x interval from the first sample, or with
// `epoch` at the first sample's epoch seconds plus that.
void WriteColumns(const seisio::StationRecord& station, const ColumnFormat& format, textio::Output& out);

}  // namespace seis2col

#endif  // CIRCARRAY_SEISMIC_CONVERT_COLUMNS_H_
