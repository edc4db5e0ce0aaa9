// quillon fed arbitrary standard input; its second output file goes to
// the fuzzing process's working directory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "harness.h"
#include "noise_ratio/quillon.h"

namespace {

int RunInWorkDir(std::istream& in, std::ostream& out, std::ostream& err) {
  return quillon::RunQuillon(in, out, err, fuzz::WorkDir() + "/fort.7");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunAndCheck("quillon", RunInWorkDir, std::string(reinterpret_cast<const char*>(data), size),
                    fuzz::DeviceLimit(data, size));
  fuzz::Clean();
  return 0;
}
