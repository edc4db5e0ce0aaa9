#ifndef CIRCARRAY_TEXTIO_NAMES_H_
#define CIRCARRAY_TEXTIO_NAMES_H_

#include <cstddef>
#include <string_view>

namespace textio {

// Width of a whole-line name field.
inline constexpr size_t kNameWidth = 200;

// The part of a name field before its first blank. The field is the line
// padded with blanks to `width` characters (or cut there), so a line that
// begins with a blank, or holds no blank within the width, gives an empty
// name.
std::string_view CutAtFirstBlank(std::string_view line, size_t width = kNameWidth);

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_NAMES_H_
