// gauger fed arbitrary standard input and column files: the input up to the
// first NUL byte is standard input, each later part the file "in1.d",
// "in2.d", ... in the working directory (the seeds name them). Files the
// program writes land in the working directory too.
#include <cstddef>
#include <cstdint>

#include "harness.h"
#include "rms_eval/gauger.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz::FuzzWithColumnFiles("gauger", gauger::RunGauger, data, size);
}
