#ifndef CIRCARRAY_ARRAY_SYNTHESIS_FIELD_WRITER_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_FIELD_WRITER_H_

#include <string>

#include "array_synthesis/synthesis.h"
#include "seisio/trace.h"

namespace circsim {

// The formats circsim writes its records in.
enum class RecordFormat {
  kText,      // the suite's column text, "time u e n"
  kMiniSeed,  // miniSEED records of 32-bit floats
  kSac,       // SAC binary (32-bit floats, its only sample type)
};

// SEED codes of the synthetic records: network SY (SEED's code for
// synthetic data), no location.
inline constexpr char kNetwork[] = "SY";

// The SEED channel code for a sampling interval `dt` and a component:
// the band code of the rate (F >= 1000 Hz, C >= 250, H >= 80, B >= 10,
// M > 1, L >= 0.1, V >= 0.01, U below), H (a high-gain seismometer), and
// Z, E or N. The last letter is what the readers choose components by.
std::string ChannelCode(double dt, seisio::Component component);

// Channel `component` (0 u, 1 e, 2 n) of a synthesised station as a
// trace: station code `station`, sample j (j = 1..n) at j*dt + `offset`
// seconds after 1970-01-01T00:00:00 UTC, so that epoch seconds are the
// times of the column text.
seisio::Trace ChannelTrace(const StationRecord& record, int component, double dt, const std::string& station,
                           double offset = 0);

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_FIELD_WRITER_H_
