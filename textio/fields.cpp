#include "textio/fields.h"

namespace textio {

std::vector<std::string_view> SplitFields(std::string_view line, std::string_view separators) {
  std::vector<std::string_view> fields;
  size_t start = line.find_first_not_of(separators);
  while (start != std::string_view::npos) {
    const size_t end = line.find_first_of(separators, start);
    fields.push_back(line.substr(start, end - start));
    start = end == std::string_view::npos ? end : line.find_first_not_of(separators, end);
  }
  return fields;
}

}  // namespace textio
