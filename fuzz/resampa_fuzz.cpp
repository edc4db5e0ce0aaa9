// resampa fed arbitrary standard input and pair file: the input up to the
// first NUL byte is standard input, the rest the file "pair.d" in the
// working directory (the seeds name it on their first line).
#include <cstddef>
#include <cstdint>
#include <string>

#include "harness.h"
#include "suite/programs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Parts parts = fuzz::SplitAtNul(data, size);
  // The name line must stay inside the working directory: no device or
  // system file is ever opened.
  if (parts.stdin_text.substr(0, parts.stdin_text.find('\n')).find('/') != std::string::npos) return -1;
  if (!parts.files.empty()) fuzz::WriteFile("pair.d", parts.files[0]);
  fuzz::RunAndCheck(resampa::kProgram, std::move(parts.stdin_text), fuzz::DeviceLimit(data, size));
  return 0;
}
