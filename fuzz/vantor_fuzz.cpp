// vantor fed arbitrary standard input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "harness.h"
#include "ratio_inversion/vantor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunAndCheck(vantor::kProgram, std::string(reinterpret_cast<const char*>(data), size),
                    fuzz::DeviceLimit(data, size));
  return 0;
}
