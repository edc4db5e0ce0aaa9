// The SAC reader fed arbitrary bytes. Whatever the bytes, it ends with a
// trace or a textio::InputError naming the file; a trace it returns is
// sound (a positive interval, finite samples, as many as the size allows)
// and comes back the same through the writer and the reader again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>

#include "harness.h"
#include "seisio/recognize.h"
#include "seisio/sac.h"
#include "textio/errors.h"
#include "textio/output.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
  seisio::Trace trace;
  try {
    trace = seisio::ReadSac(bytes, "fuzz.sac");
  } catch (const textio::InputError& e) {
    Check(std::string(e.what()).rfind("fuzz.sac: ", 0) == 0, "the message names the file");
    return 0;
  }
  Check(seisio::LooksLikeSac(bytes.first(std::min<size_t>(size, 632)), size), "a file read is recognised as SAC");
  Check(seisio::RecognizeBytes(bytes, size) == seisio::Format::kSac, "recognition agrees");
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
