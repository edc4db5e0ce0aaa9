#ifndef CIRCARRAY_COMPONENT_SPLIT_WENDLE_H_
#define CIRCARRAY_COMPONENT_SPLIT_WENDLE_H_

#include <string>
#include <string_view>

namespace wendle {

// The output file name of a base and a suffix: the two joined and cut to
// the 200 characters of a name field.
std::string OutputName(std::string_view base, std::string_view suffix);

}  // namespace wendle

#endif  // CIRCARRAY_COMPONENT_SPLIT_WENDLE_H_
