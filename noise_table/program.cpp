#include "suite/program.h"
#include "noise_table/tessel.h"
#include "suite/programs.h"

namespace tessel {

namespace {

constexpr char kHelp[] = R"(Usage: tessel [--help | --version] < input > output

Table of the incoherent-noise level that biases the power ratio J0^2/J1^2
of the zeroth- and first-order circular components of a circular array as
much as a given relative error of k*r. For each rk of a fixed grid it finds
the noise level b at which
  (J0(rk)^2 + b/ndiv) / (J1(rk)^2 + b/ndiv) = J0(rkshift)^2 / J1(rkshift)^2
with rkshift = rk/(1 - shift) up to rk = 1.4347 (where J0 = J1) and
rk/(1 + shift) above it. Single precision throughout.

Standard input (free format: blanks, tabs or commas between values):
  record 1   shift ndiv
               shift: relative error of k*r (e.g. 0.1)
               ndiv: divisor of the noise level, e.g. the number of
                     stations (integer)
Nothing else is read.

Standard output: exactly 599 lines,
  rk  b  rkshift
    rk runs from 0.01 in steps of 0.005 (added in single precision, so the
    last row is 3.00002122); b is sought in [0, 10]. Where no noise level
    in [0, 10] gives the shift (near rk = 1.4347 and past 2.405, the first
    zero of J0) the row still shows the search's end point, close to 0 or
    to 10.

Messages (standard output, exit status 0):
  Error:nz or ierr in cbesj() NZ IERR
                 a shifted argument is out of the Bessel routine's range
                 (e.g. shift = 1); the rows before it stand
An unreadable parameter record is reported on standard error, status 2.

Example:
  $ echo '0.1 1' | tessel | head -n 2
     9.99999978E-03   5.86441547E-06   1.11111114E-02
     1.49999997E-02   1.31955330E-05   1.66666675E-02
)";

}  // namespace

const suite::Program kProgram{"tessel", kHelp, "the parameter record (shift ndiv)", Run};

}  // namespace tessel
