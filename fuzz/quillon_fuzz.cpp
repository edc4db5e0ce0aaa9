// quillon fed arbitrary standard input; the fort.7 file it writes lands in
// the private working directory of the run.
#include <cstddef>
#include <cstdint>
#include <string>

#include "harness.h"
#include "noise_ratio/quillon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunAndCheck(quillon::kProgram, std::string(reinterpret_cast<const char*>(data), size),
                    fuzz::DeviceLimit(data, size));
  return 0;
}
