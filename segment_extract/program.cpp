#include "suite/program.h"
#include "suite/programs.h"

namespace snippa {

namespace {

constexpr char kHelp[] = R"(Usage: snippa [--help | --version] < input > output

Cuts one fixed-length segment out of a series. Run with segment numbers 1,
2, 3, ... it splits a record into consecutive pieces of equal length. The
output is a series in the input's own format, so it can be cut again after
a new first line.

Standard input (free format: blanks, tabs or commas between values):
  line 1     segment-number segment-length (two integers)
  line 2     series length: the count of values in the series (integer)
  line 3     first header value (real, copied unchanged)
  line 4     second header value (real, copied unchanged)
  line 5 on  the values of the series, one per line
Lines 2 on are a series file as snippa writes it.

What it does:
  If the segment length is not 0 and is less than the series length,
  segment n is the values after the first (n-1)*length lines (a segment
  number below 1 means 1; a negative length copies nothing). Otherwise the
  whole series is the segment. Skipped lines count one value each, blank or
  not; copied values are numbers (blank lines passed over, one per line).

Standard output:
  line 1     the number of values in the segment (the series length when
             the whole series is copied), as an integer in 5 columns
  lines 2-3  the two header values, 10 columns with 4 decimals
  then       the segment's values, 10 columns with 4 decimals
A number too wide for its field is written as asterisks.

Messages: none on success. Input that ends before the segment is complete,
or a value that is not a number, is reported on standard error with exit
status 2; the lines already written stay written.

Example (segment 2 of length 2 from a series of 5 values):
  $ printf '2 2\n5\n0.5\n1.25\n1\n2\n3\n4\n5\n' | snippa
      2
      0.5000
      1.2500
      3.0000
      4.0000
)";

}  // namespace

const suite::Program kProgram{"snippa", kHelp, "the segment number and length, then the series", Run};

}  // namespace snippa
