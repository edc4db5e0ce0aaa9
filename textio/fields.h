#ifndef CIRCARRAY_TEXTIO_FIELDS_H_
#define CIRCARRAY_TEXTIO_FIELDS_H_

#include <string_view>
#include <vector>

namespace textio {

// The fields of `line`: its non-empty runs of characters that are not in
// `separators`. Separators next to each other, and at either end, make no
// empty field ("a,,b" split at "," is "a", "b"). The views point into
// `line`.
std::vector<std::string_view> SplitFields(std::string_view line, std::string_view separators);

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_FIELDS_H_
