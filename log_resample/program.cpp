#include "suite/program.h"
#include "suite/programs.h"

namespace resampa {

namespace {

constexpr char kHelp[] = R"(Usage: resampa [--help | --version] < input > output

Resamples a positive curve, given as (abscissa, value) pairs at ascending
abscissae, onto the grid step, 2*step, ..., m*step by linear interpolation
of the base-10 logarithm of the value, with m = trunc(grid end/step + 0.5).
The end segments are extended beyond the first and last pairs. A grid point
with no data abscissa within one step is marked with 999. 64-bit
arithmetic.

Standard input:
  line 1     path of the pair file (the whole line, up to 200 characters;
             trailing blanks dropped)
  line 2     grid end (real)
  line 3     grid step (real)

File read: the pair file, one "abscissa value" pair per line (free format;
further values on a line are ignored), abscissae strictly ascending. The
pairs end at the end of the file or at a line that is not two numbers; at
most 5000000 pairs.

Standard output, one line per grid point:
  x  value         (x = i*step; value interpolated, or 999 when the
                    nearest data abscissa is more than one step away)
A value of 0 comes out as 0 and a negative value as NaN.

Messages (standard output, exit status 0):
  Program resampa
  ERROR(ndata>nmax) in rmkd: N 5000000
                             more than 5000000 pairs
  ERROR(ndata<2) in rmkd: N  fewer than two pairs
  ERROR(f not ascending) in rmkd: record I F
                             abscissae not strictly ascending
  ERROR(m>nmax) in resampa: M 5000000
                             more than 5000000 grid points (also a zero
                             step with a positive grid end)
An unreadable parameter line or a pair file that cannot be opened is
reported on standard error with exit status 2.

Example (a curve growing tenfold per abscissa unit, grid step 0.5):
  $ printf '1 10\n2 100\n3 1000\n' > curve.d
  $ printf 'curve.d\n4\n0.5\n' | resampa | head -n 3
    0.50000000000000000        3.1622776601683795
     1.0000000000000000        10.000000000000000
     1.5000000000000000        31.622776601683793
)";

}  // namespace

const suite::Program kProgram{"resampa", kHelp, "the pair-file name, the grid end and the grid step", Run};

}  // namespace resampa
