#ifndef CIRCARRAY_SEISMIC_CONVERT_SEIS2COL_H_
#define CIRCARRAY_SEISMIC_CONVERT_SEIS2COL_H_

#include <string>
#include <vector>

#include "seismic_convert/columns.h"

namespace seis2col {

// The command line: options and the station's files.
struct Arguments {
  ColumnFormat format;
  std::string output;               // "" for standard output
  std::vector<std::string> inputs;  // one file of the station's channels, or three: u, e, n
};

// Parses `seis2col [--epoch] [--output FILE] [--digits N] INPUT...`: one
// operand is a miniSEED file of the station's channels, or, with commas,
// "u,e,n"; three operands are u, e, n. Anything else is a
// suite::UsageError.
Arguments ParseArguments(const std::vector<std::string>& args);

}  // namespace seis2col

#endif  // CIRCARRAY_SEISMIC_CONVERT_SEIS2COL_H_
