#include "suite/programs.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "spectral_noise/closed_form_epsilon.h"
#include "suite/stop.h"
#include "textio/free_reader.h"
#include "textio/output.h"
#include "textio/require.h"

namespace hollin {

void Run(suite::Context& context) {
  textio::FreeReader& reader = context.reader();
  textio::Output& out = context.out();
  const auto [mode, nsta] =
      textio::RequireRecord<int32_t, int32_t>(reader, "the first record (mode, nsta: two integers)");
  if (mode != 1 && mode != 2) suite::StopWith("ERROR: no equation for mode ", mode);
  const size_t n = mode == 2 ? kMode2Values : kMode1Values;

  // One buffer for all records: a read cut short by a slash leaves the
  // values of the record before in place.
  std::array<float, kMode2Values> a{};
  const std::span<float> record(a.data(), n);
  for (int64_t records = 0;; ++records) {
    const textio::ReadResult r = reader.ReadFloats(record);
    if (!r.ok()) return context.NoteDataEnd(r, "standard input", records, "records read");
    std::optional<float> eps = mode == 2 ? Mode2Epsilon(record, nsta) : Mode1Epsilon(record, nsta);
    // Only a positive ratio is a noise level; a NaN fails the test too.
    if (eps && *eps > 0.0f) textio::FreeLine(out).Add(a[0]).Add(*eps).End();
  }
}

}  // namespace hollin
