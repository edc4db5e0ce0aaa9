// snippa fed arbitrary standard input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "harness.h"
#include "segment_extract/snippa.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunAndCheck(snippa::kProgram, std::string(reinterpret_cast<const char*>(data), size),
                    fuzz::DeviceLimit(data, size));
  return 0;
}
