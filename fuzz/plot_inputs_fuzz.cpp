// circplot's recognition of its inputs on arbitrary text: every input is
// read as one kind or refused with a textio::InputError naming the source.
// (The --true file is the dispersion-curve file: see curve_reader_fuzz.)
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "harness.h"
#include "result_plot/read_inputs.h"
#include "result_plot/text_lines.h"
#include "textio/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const std::vector<circplot::TextLine> lines = circplot::ReadLines(in);
  fuzz::ReadOrRefusal("fuzz.txt", [&] { return circplot::RecogniseInput("fuzz.txt", lines); });
  return 0;
}
