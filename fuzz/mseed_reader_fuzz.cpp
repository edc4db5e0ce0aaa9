// The miniSEED reader (libmseed underneath) fed arbitrary bytes. Whatever
// the bytes, it ends with channels or a textio::InputError naming the
// file; the channels it returns are sound (codes, a positive interval,
// samples), the piecewise read (the index, then each channel decoded record
// by record) gives them exactly, and they come back the same through the
// writer and the reader.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "seisio/input.h"
#include "seisio/mseed.h"
#include "seisio/mseed_index.h"
#include "seisio/recognise.h"
#include "testsupport/read_blocks.h"
#include "textio/errors.h"
#include "textio/output.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
  const auto read = fuzz::ReadOrRefusal("fuzz.mseed: ", [&] { return seisio::ReadMiniSeed(bytes, "fuzz.mseed"); });
  if (!read) return 0;
  const std::vector<seisio::Trace>& traces = *read;
  size_t total = 0;
  for (const seisio::Trace& t : traces) {
    Check(!t.samples.empty(), "a channel has samples");
    Check(t.interval > 0.0 && std::isfinite(t.interval), "a positive interval");
    total += t.samples.size();
  }
  Check(total <= 2 * size, "no more samples than the bytes can hold");

  // Piecewise, as circspec streams a channel: the same channels and samples.
  {
    seisio::MemoryStream in(bytes);
    std::vector<seisio::MiniSeedChannel> index = seisio::IndexMiniSeed(in, "fuzz.mseed");
    Check(index.size() == traces.size(), "the index holds every channel");
    for (size_t k = 0; k < index.size(); ++k) {
      Check(index[k].trace.id() == traces[k].id(), "the index names the channels alike");
      Check(index[k].count == traces[k].samples.size(), "the index counts the samples alike");
      seisio::MiniSeedChannelReader reader(in, "fuzz.mseed", std::move(index[k]));
      Check(testsupport::ReadInBlocks(reader, traces[k].samples.size() + 1, 333) == traces[k].samples,
            "the piecewise read gives the same samples");
    }
  }

  // Through the writer as 64-bit floats: every sample comes back exactly.
  std::ostringstream os;
  try {
    textio::Output out(os);
    for (const seisio::Trace& t : traces) seisio::WriteMiniSeed(t, out, {seisio::MiniSeedEncoding::kFloat64, 4096});
    out.Flush();
  } catch (const textio::RuntimeError&) {
    return 0;  // non-finite float samples, or a rate the packer refuses
  }
  const std::string again = os.str();
  const std::vector<seisio::Trace> back =
      seisio::ReadMiniSeed(std::span<const char>(again.data(), again.size()), "again.mseed");
  Check(back.size() == traces.size(), "channels survive a round trip");
  for (size_t k = 0; k < back.size(); ++k) {
    Check(back[k].samples == traces[k].samples, "samples survive a round trip");
    Check(back[k].id() == traces[k].id(), "codes survive a round trip");
  }
  return 0;
}
