// Whole-line name reads and the cut at the first blank, on arbitrary
// lines: a name never exceeds its field, never carries a line end, a
// carriage return or trailing blanks, and the cut is a blank-free prefix.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "harness.h"
#include "textio/free_reader.h"
#include "textio/names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const size_t width = size > 0 ? (data[0] % 2 == 0 ? textio::kNameWidth : data[0] % 64 + 1) : 1;
  std::istringstream in(text);
  textio::FreeReader reader(in);
  std::string name;
  long lines = 0;
  while (reader.ReadLine(&name, width).ok()) {
    ++lines;
    fuzz::Check(name.size() <= width, "a name is longer than its field");
    fuzz::Check(name.find('\n') == std::string::npos, "a name holds a line end");
    fuzz::Check(name.empty() || (name.back() != ' ' && name.back() != '\r'),
                "a name ends in a blank or a carriage return");
    fuzz::Check(text.find(name) != std::string::npos, "a name is not taken from the input");

    const std::string_view cut = textio::CutAtFirstBlank(name, width);
    fuzz::Check(std::string_view(name).substr(0, cut.size()) == cut, "the cut is not a prefix of the name");
    fuzz::Check(cut.find(' ') == std::string_view::npos, "the cut holds a blank");
  }
  fuzz::Check(lines == reader.line_number(), "names read and lines counted disagree");
  return 0;
}
