#ifndef CIRCARRAY_COMPONENT_SPLIT_WENDLE_H_
#define CIRCARRAY_COMPONENT_SPLIT_WENDLE_H_

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace wendle {

// The output file name of a base and a suffix: the two joined and cut to
// the 200 characters of a name field.
std::string OutputName(std::string_view base, std::string_view suffix);

// The whole program: reads the component selector, the item count and per
// item an input name line and a base line, and splits each input file into
// base + "u.d" / "e.d" / "n.d". Returns the exit status.
int RunWendle(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace wendle

#endif  // CIRCARRAY_COMPONENT_SPLIT_WENDLE_H_
