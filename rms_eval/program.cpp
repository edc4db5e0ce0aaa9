#include "suite/program.h"
#include "rms_eval/gauger.h"
#include "suite/programs.h"

namespace gauger {

namespace {

constexpr char kHelp[] = R"(Usage: gauger [--help | --version] < input

How the level of one component varies along a record: removes the
least-squares straight line from the whole record, then writes, for windows
sliding along it, the window's RMS relative to the RMS of the whole record
(a ratio above 1: the window is busier than the record as a whole).

Standard input (one value or name per line):
  line 1     window length (in the time unit of dt)
  line 2     sampling interval dt
  line 3     start time of the first window
  line 4     overlap: fraction of a window shared with the next
             (0 = windows touch, 0.5 = half overlap, at most 1)
  line 5     skip count: leading samples of the file to drop (integer >= 0)
  line 6     component letter: u, e or n (numeric column 1, 2 or 3)
  line 7     input file path (the whole line, up to 200 characters)
  line 8     result file path (the whole line, up to 200 characters)

File read: the input file, one sample per line: a label of up to 80
characters (a time stamp, say), then the columns u e n (only those up to
the chosen one are needed; wendle's two-column files are read with u).
Reading ends at the end of the file or at the first line whose fields are
not numbers; a slash ends a line's reading (the sample stays 0).

What it computes:
  sample i lies at time i*dt; time t is sample trunc(t/dt + 0.5); a window
  holds trunc(length/dt + 0.5) samples; RMS over samples a..b is
  sqrt(sum of squares / ((b - a)*dt)); window starts advance by
  (1 - overlap)*length. A window starting before sample 1 is skipped; the
  first window running past the last sample ends the evaluation; at most
  1000000 windows.

File written: the result file, rewritten from scratch after the input
file has been opened:
  line 1     window-length dt first-start overlap   (as read)
  then       window-start-time rms-ratio            (one line per window)
A constant or straight-line record has an RMS of 0: every ratio is NaN.
Standard output stays empty on success.

Messages (standard output, exit status 0):
  Program gauger.
   ERROR:opening file PATH                the input file cannot be opened
                                          (the result file is not touched)
  ERROR: component letter not u, e or n: L
  ERROR: overlap above 1 steps the windows backwards: OVERLAP
  ERROR: negative skip count: N
  ERROR: record longer than the sample store of 5000000 samples
An unreadable parameter, input ending before line 8, or a result file that
cannot be written is reported on standard error with exit status 2.

Example (windows of 4 samples, half overlap, on an 8-sample record):
  $ printf '0.04\n0.01\n0.01\n0.5\n0\nu\nstation.txt\nrms_u.txt\n' | gauger
  $ tail -n 3 rms_u.txt
     1.0000000000000000E-002   1.1179430436170523
     2.9999999999999999E-002   1.2915088958363821
     5.0000000000000003E-002   1.0409306819195863
)";

}  // namespace

const suite::Program kProgram{"gauger", kHelp, "eight parameter lines (window length, dt, ..., result file)", Run};

}  // namespace gauger
