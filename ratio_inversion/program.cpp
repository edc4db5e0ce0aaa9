#include "suite/program.h"
#include "suite/programs.h"

namespace vantor {

namespace {

constexpr char kHelp[] = R"(Usage: vantor [--help | --version] < input > output

Phase velocity per frequency from an observed array quantity of a circular
array: solves model(x) = observed for x = k*r inside a fixed bracket and
writes the velocity 2*pi*f*r/x.

Standard input (free format: blanks, tabs or commas between values):
  line 1     itype radius fstep fend
               itype: 1 J0 (SPAC), 2 J0^2, 3 J1^2, 4 J0/J1^2, 5 J0^2/J1^2,
                      10 J1(x)^2/J1(s x)^2, 11 J1(x)/J1(s x),
                      21 (J0-J2)/(J0+J2), 22 J0-J2, 23 J0+J2
               radius: array radius; fstep: minimum frequency step;
               fend: the run ends after the first frequency >= fend
  line 2     radius2, inner radius (itype 10 and 11 only; s = radius2/radius)
  then       frequency observed-value   (one pair per line, to end of input)

Standard output, one line per used frequency:
  frequency velocity velocity/(radius*frequency)     root found
  frequency velocity SINGULAR_POINT                  possible pole
  frequency 999.0 NO_ROOT status observed-value      no root in the bracket

Messages (standard output, exit status 0):
  ERROR: no list of itype N        unknown type code
  ERROR:radius.le.radius2: R R2    the inner radius is not smaller
  Error:nz or ierr in cbesj() NZ IERR
                                   a Bessel value could not be evaluated
An unreadable parameter record is reported on standard error, status 2.

Example:
  $ printf '1 10.0 0.0 100\n2.0 0.5\n' | vantor
     2.00000000       82.6113205       4.13056612
)";

}  // namespace

const suite::Program kProgram{"vantor", kHelp, "the parameter record (itype radius fstep fend)", Run};

}  // namespace vantor
