// tessel fed arbitrary standard input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "harness.h"
#include "noise_table/tessel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunAndCheck(tessel::kProgram, std::string(reinterpret_cast<const char*>(data), size),
                    fuzz::DeviceLimit(data, size));
  return 0;
}
