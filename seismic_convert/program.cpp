#include "suite/program.h"
#include "seismic_convert/seis2col.h"
#include "suite/programs.h"

namespace seis2col {

namespace {

constexpr char kHelp[] = R"(Usage: seis2col [--epoch] [--output FILE] [--digits N] INPUT...

Writes the suite's column text file (time u e n, one sample per line) from
a station's field records in miniSEED or SAC, so that wendle, corral and
gauger read field data.

Input (the format of each file is recognised by its content, not its name):
  seis2col STATION.mseed       one miniSEED file holding the station's
                               channels; the last letter of each SEED
                               channel code picks its component: Z is u,
                               E is e, N is n (others are left out)
  seis2col U,E,N               three files of one channel each, SAC or
  seis2col U E N               miniSEED, in the order u, e, n (a comma in
                               the single operand always splits it)
  SAC: binary, either byte order, header version 6 or 7, evenly spaced
  time series only. miniSEED: any encoding libmseed decodes; the records
  of a channel may come in any order but must leave no gap or overlap.

Standard input:
  not read: the records come from the files named on the command line.

Options:
  --epoch          times as epoch seconds (UTC, POSIX) instead of seconds
                   from the first sample
  -o, --output FILE  write the column text to FILE instead of standard
                   output (created once the records have been read)
  --digits N       significant digits of the samples, 1 to 17 (default 9,
                   exact for counts up to 999999999)

Output: " t u e n" per sample, free-format reals. Times take at least N
digits, and as many as it takes to show the largest time to a tenth of the
sampling interval (an epoch time at 100 Hz has 13). Sample i lies at
i x interval from the first sample of u.

Alignment: the three channels must share the sampling interval (the
difference, summed over the record, under half a sample) and start within
less than half a sample of u. If they end apart, the samples all three
hold are written and standard error says so.

Errors (standard error, exit status 2): a file that cannot be read, is
neither SAC nor miniSEED, or whose header is damaged; a gap, overlap or
rate change inside a channel; channels missing, doubled or misaligned.
Each message names the file, and the channel and time where it applies.

Example (a station's three channels at 100 Hz in one miniSEED file):
  $ seis2col station.mseed
     0.00000000       10.0000000      -2.00000000       3.00000000
     1.00000000E-02   12.0000000       0.00000000       3.00000000
     2.00000000E-02   9.00000000       5.00000000      -1.00000000
     3.00000000E-02  -3.00000000       7.00000000      -6.00000000
     4.00000000E-02   4.00000000       1.00000000       2.00000000
  $ seis2col --epoch --digits 3 station.mseed | head -n 2
     1577836800.000        10.0      -2.00       3.00
     1577836800.010        12.0       0.00       3.00
)";

}  // namespace

const suite::Program kProgram{"seis2col", kHelp, "", Run, suite::Arguments::kOptions};

}  // namespace seis2col
