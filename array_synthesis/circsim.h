#ifndef CIRCARRAY_ARRAY_SYNTHESIS_CIRCSIM_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_CIRCSIM_H_

#include <ostream>
#include <span>
#include <string>

namespace circsim {

// The circsim program: `args` are its command-line arguments without the
// program name. Writes one record file per station of the layout; --help
// and --version go to `out`, errors as one line "circsim: ..." to `err`
// with status 2.
int RunCircsim(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_CIRCSIM_H_
