// circspec's reader of a station's column text ("time u e n" or "time
// value") on arbitrary text, for each of its columns (the first byte
// picks it): it delivers finite samples on the grid its first two times
// fix, every one of them and no more, or a textio::InputError whose
// message starts with the file's name.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
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
    fuzz::Check(reader.first_step() > 0 && std::isfinite(reader.start_time()), "a positive interval, a finite start");
    std::vector<double> block(7);  // small blocks: the head and the body are delivered across calls
    long total = 0;
    for (size_t n; (n = reader.Read(block.data(), block.size())) > 0;) {
      for (size_t i = 0; i < n; ++i) fuzz::Check(std::isfinite(block[i]), "finite samples");
      total += static_cast<long>(n);
      fuzz::Check(reader.samples_read() == total, "samples_read counts what was delivered");
    }
    fuzz::Check(total >= 2, "at least the two samples that fix the grid");
    // Every step lies within 1 % of the interval, so the last time lies
    // within 1 % per step of the grid time of the last sample.
    const double grid = reader.start_time() + reader.first_step() * static_cast<double>(total - 1);
    fuzz::Check(std::fabs(reader.last_time() - grid) <=
                    0.0101 * reader.first_step() * static_cast<double>(total) + 1e-9 * std::fabs(grid),
                "the last time lies on the grid within the step tolerance");
    return total;
  });
  return 0;
}
