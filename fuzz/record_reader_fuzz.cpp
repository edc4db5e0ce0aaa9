// circspec's reader of a station's column text ("time u e n" or "time
// value") on arbitrary text, for each of its columns (the first byte
// picks it): it delivers finite samples in runs, each run on the grid of
// its own start and the interval the first two times fix, every sample
// once, or a textio::InputError whose message starts with the file's name.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "array_spectra/record_reader.h"
#include "harness.h"
#include "testsupport/test_context.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int column = 1 + data[0] % 3;
  fuzz::WriteFile("record.txt", std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  testsupport::TestContext context(fuzz::WorkDir());
  fuzz::ReadOrRefusal("record.txt", [&] {
    circspec::RecordReader reader(context, "record.txt", column);
    const double dt = reader.interval();
    fuzz::Check(dt > 0 && std::isfinite(dt), "a positive, finite interval");
    std::vector<double> block(7);  // small blocks: the head and the body are delivered across calls
    long total = 0;
    bool first_run = true;
    do {
      const double start = static_cast<double>(reader.run_start_ns()) * 1e-9;
      long in_run = 0;
      for (size_t n; (n = reader.Read(block.data(), block.size())) > 0;) {
        for (size_t i = 0; i < n; ++i) fuzz::Check(std::isfinite(block[i]), "finite samples");
        in_run += static_cast<long>(n);
      }
      if (first_run) fuzz::Check(in_run >= 2, "the first run holds the two samples that fix the grid");
      fuzz::Check(in_run >= 1, "every run holds a sample");
      // Every step of a run lies within 1 % of the interval, so the run's
      // last time lies within 1 % per step of its last grid time.
      const double grid = start + dt * static_cast<double>(in_run - 1);
      const double last = static_cast<double>(reader.last_time_ns()) * 1e-9;
      fuzz::Check(std::fabs(last - grid) <= 0.0101 * dt * static_cast<double>(in_run) + 1e-9 * std::fabs(grid) + 2e-9,
                  "a run's last time lies on its grid within the step tolerance");
      total += in_run;
      first_run = false;
    } while (reader.NextRun());
    return total;
  });
  return 0;
}
