// corral fed arbitrary standard input and column files: the input up to the
// first NUL byte is standard input, each later part the file "in1.d",
// "in2.d", ... in the working directory (the seeds name them). Files the
// program writes land in the working directory too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "centre_series/corral.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Parts parts = fuzz::SplitAtNul(data, size);
  // Names must stay inside the working directory: nothing is read from or
  // written to a path elsewhere.
  if (parts.stdin_text.find('/') != std::string::npos) return -1;
  fuzz::WorkDir();
  for (size_t i = 0; i < parts.files.size() && i < 4; ++i) {
    fuzz::WriteFile("in" + std::to_string(i + 1) + ".d", parts.files[i]);
  }
  fuzz::RunAndCheck("corral", corral::RunCorral, std::move(parts.stdin_text), fuzz::DeviceLimit(data, size));
  fuzz::Clean();
  return 0;
}
