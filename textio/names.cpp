#include "textio/names.h"

namespace textio {

std::string_view CutAtFirstBlank(std::string_view line, size_t width) {
  std::string_view field = line.substr(0, width);
  size_t blank = field.find(' ');
  if (blank != std::string_view::npos) return field.substr(0, blank);
  // No blank inside the line: the padding supplies one right after it,
  // unless the line fills the whole field.
  return field.size() < width ? field : std::string_view();
}

}  // namespace textio
