#include "suite/program.h"
#include "centre_series/corral.h"
#include "suite/programs.h"

namespace corral {

namespace {

constexpr char kHelp[] = R"(Usage: corral [--help | --version] < input

Complex series of the centre station of a circular array, from a column
file (time u e n per line): the vertical series u (imaginary part 0), the
first horizontal series (e - i*n)/2 and the second (n + i*e)/2. With
azimuth counted counterclockwise from east, the horizontal series are the
first-order circular Fourier coefficients of the radial and transverse
motion about the centre.

Standard input:
  line 1     two numbers, echoed to standard output and otherwise unused
  line 2     input file name: the text before the first blank
  line 3     ncomp (integer), which series to write:
               1: u                        (file 1)
               2: (e-i*n)/2, (n+i*e)/2     (files 1 and 2)
               3: u, (e-i*n)/2, (n+i*e)/2  (files 1, 2 and 3)
               0 or less, 4 to 6: none (the input file must still exist)
  line 4     one integer, read and unused
  then       ncomp output file names, one per line (each the whole line)

File read: the input file, one sample per line, "time u e n" (with ncomp
1, "time u" is enough). Reading ends at the end of the file or at the
first value that is not a number; a sample cut short is not written.

Files written: one per series, each line "time real imaginary" in three
20-column fields of 8 significant digits; each file is emptied when
opened, so it holds exactly what this run wrote.

Standard output:
  the two numbers of line 1
  INPUT: NAME
   read ncomp   :  NCOMP
  OUTPUT: NAME              one line per series written
   Done.

Messages (standard output, exit status 0):
  ERROR: ncomp above the 6 output names: NCOMP
                            refused before any name is read or file opened
An input file that does not exist or cannot be read (no output file is
then created), an output file that cannot be created, a line without the
expected numbers, or input that ends before all names are read is reported
on standard error with exit status 2.

Example (all three series of station.txt):
  $ printf '0.0 12.5\nstation.txt\n3\n0\nc_u.d\nc_r.d\nc_t.d\n' | corral
     0.0000000000000000        12.500000000000000
  INPUT: station.txt
   read ncomp   :            3
  OUTPUT: c_u.d
  OUTPUT: c_r.d
  OUTPUT: c_t.d
   Done.
  $ head -n 1 c_r.d
        0.10000000E-01     -0.20000000         -0.15500000
)";

}  // namespace

const suite::Program kProgram{"corral", kHelp, "two numbers, the input file name, ncomp, an integer, then output names",
                              Run};

}  // namespace corral
