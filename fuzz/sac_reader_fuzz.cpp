// The SAC reader fed arbitrary bytes. Whatever the bytes, it ends with a
// trace or a textio::InputError naming the file; a trace it returns is
// sound (a positive interval, finite samples, as many as the size allows)
// and comes back the same through the writer and the reader again. The
// piecewise reader (header first, samples block by block) agrees with the
// whole read: the same samples, or a refusal.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"
#include "seisio/input.h"
#include "seisio/recognise.h"
#include "seisio/sac.h"
#include "testsupport/read_blocks.h"
#include "textio/errors.h"
#include "textio/output.h"

using fuzz::Check;

namespace {

// The samples as the piecewise reader gives them, or nothing if it refuses.
std::optional<std::vector<double>> ReadPiecewise(std::span<const char> bytes) {
  return fuzz::ReadOrRefusal("fuzz.sac: ", [&] {
    seisio::MemoryStream in(bytes);
    seisio::SacChannelReader reader(in, "fuzz.sac");
    return testsupport::ReadInBlocks(reader, reader.count() + 1, 4099);
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<std::vector<double>> piecewise = ReadPiecewise(bytes);
  const auto read = fuzz::ReadOrRefusal("fuzz.sac: ", [&] { return seisio::ReadSac(bytes, "fuzz.sac"); });
  if (!read) {
    Check(!piecewise, "the piecewise reader refuses what the whole read refuses");
    return 0;
  }
  const seisio::Trace& trace = *read;
  Check(piecewise && *piecewise == trace.samples, "the piecewise reader gives the same samples");
  Check(seisio::LooksLikeSac(bytes.first(std::min<size_t>(size, 632)), size), "a file read is recognised as SAC");
  Check(seisio::RecogniseBytes(bytes, size) == seisio::Format::kSac, "recognition agrees");
  Check(trace.interval > 0.0 && std::isfinite(trace.interval), "a positive interval");
  Check(632 + 4 * trace.samples.size() <= size, "no more samples than the file holds");
  for (double v : trace.samples) Check(std::isfinite(v), "finite samples");

  // Through the writer: the samples (floats already) and the start time
  // come back exactly; the interval as the float the writer stores.
  std::ostringstream os;
  {
    textio::Output out(os);
    seisio::WriteSac(trace, out);
    out.Flush();
  }
  const std::string again = os.str();
  const seisio::Trace back = seisio::ReadSac(std::span<const char>(again.data(), again.size()), "again.sac");
  Check(back.samples == trace.samples, "samples survive a round trip");
  Check(back.start_ns == trace.start_ns || std::llabs(back.start_ns - trace.start_ns) <= 1, "start survives");
  return 0;
}
