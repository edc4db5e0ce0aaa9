#include "suite/program.h"
#include "component_split/wendle.h"
#include "suite/programs.h"

namespace wendle {

namespace {

constexpr char kHelp[] = R"(Usage: wendle [--help | --version] < input

Splits three-component column files (time u e n per line) into two-column
files, one per component, named by a base name plus u.d, e.d or n.d. Any
number of input files are split in one run. Values are carried unchanged
and written with 17 significant digits.

Standard input:
  line 1     component selector (integer):
               1 writes u.d; 2 writes e.d and n.d; 3 writes u.d, e.d, n.d;
               0 or less, 4 or more: input read through, nothing written
  line 2     item count (integer); 0 or less ends the run at once
  then, per item, two lines:
             input file name (the whole line, up to 200 characters)
             base line: the base name is the text before the first blank
             (a comment may follow); a line starting with a blank gives an
             empty base, so the files are u.d, e.d, n.d; base and suffix
             together are cut at 200 characters

Files read: the input files, one sample per line, "time u e n" (with
selector 1, "time u" is enough); the time must be a number. Reading ends at
the end of the file or at the first value that is not a number; a sample
cut short is not written. Input files are opened for reading only.

Files written: BASEu.d, BASEe.d, BASEn.d, each line "time value". Each is
emptied when opened, so it holds exactly what this run wrote.

Messages (standard output, exit status 0):
  ERROR(wendle) Read Parameters       selector or count is not an integer
  ERROR(wendle) OpenFile NAME         an input file cannot be opened (also
                                      a missing one) or an output file
                                      cannot be created; the run ends,
                                      earlier items are complete
Standard input that ends before a name line, or a failed write, is
reported on standard error with exit status 2.

Example (all three components of station.txt into site01u.d, site01e.d
and site01n.d):
  $ printf '3\n1\nstation.txt\nsite01  centre station\n' | wendle
  $ head -n 1 site01e.d
     1.0000000000000000E-002 -0.40000000000000002
)";

}  // namespace

const suite::Program kProgram{"wendle", kHelp, "the component selector, the item count, then file names", Run};

}  // namespace wendle
