#include "suite/program.h"
#include "suite/programs.h"

namespace circdisp {

namespace {

constexpr char kHelp[] = R"help(Usage: circdisp [options] CURVE...

Merges the dispersion curves of several arrays of one site (rings of
different radii, records of different days) into one phase-velocity curve
on a common frequency grid, weighting each estimate by its standard error
and testing whether the estimates agree.

CURVE: a dispersion-curve table as circspec --for curve writes it ('#'
header lines, the last naming the columns 'freq c c_se ...'; per method m
the columns c_m c_m_se flag_m, flag 'ok' where the estimate is valid), or
any curve file whose lines are 'frequency velocity standard_error' (Hz,
m/s, m/s; '#' comments; a velocity 'nan' is a frequency without an
estimate). A curve without the standard error is refused: the merge
weighs every estimate by it.

Options (defaults in brackets):
  --fmin F          lowest frequency of the grid, Hz [the lowest frequency
                    with a valid estimate in any input]
  --fmax F          highest frequency of the grid, Hz [the highest one]
  --nfreq N         number of grid frequencies, 1 to 100000 [the number
                    that keeps the step of the finest input: the smallest
                    of the inputs' median steps between valid estimates
                    (in ln f, or in f on a linear grid), so count =
                    ceil(span/step) + 1]
  --grid log|linear spacing of the grid frequencies [log]
  --methods LIST    comma-separated method names (spac,cca,...): each
                    valid estimate of each of these methods in each table
                    counts; a curve without method columns counts with its
                    c c_se [each input's best estimate, its columns c c_se]
  -o, --output FILE write there instead of standard output (created only
                    when the first line is written)
  -h, --help        this text
  --version         the version

Merging, at each grid frequency f:
  Each source (an input, or with --methods a method of an input) gives an
  estimate where f lies within the span of its valid estimates: an
  estimate at f as it is, else between the two neighbouring valid
  estimates c linearly in ln f and ln c (a power law) and its standard
  error linearly in ln f; nothing beyond the first and the last (no
  extrapolation).
  The n estimates c_i +- se_i are combined with weights w_i = 1/se_i^2:
    c = sum w_i c_i / sum w_i,    se = 1 / sqrt(sum w_i).
  Their agreement is tested with chi2 = sum w_i (c_i - c)^2 on n-1 degrees
  of freedom: where its upper tail probability is below 0.05, se is
  multiplied by the Birge ratio sqrt(chi2/(n-1)), the error the observed
  scatter implies, and the line says so.
  The estimates are taken as independent: the methods of one array share
  its records, so with --methods the se of a frequency where several
  methods of one array count is too small.

Output: a dispersion-curve table: header lines '# circdisp (circarray)
VERSION', the inputs with their valid ranges, the sources, the grid and
the rules, then the column line
  # freq c c_se n_estimates sources
and one line per grid frequency (9 significant digits). sources names the
contributing inputs, with --methods as FILE:METHOD, separated by ';' (a
file name holding blanks, commas, ';' or '#' is called input<k>, k its
place on the command line). A frequency without an estimate is
'nan nan 0 -'. A line whose estimates disagree ends with
  # scatter: se xRATIO (chi2 VALUE on N dof)

Errors (one line on standard error, status 2, no output file): a curve
without standard errors, or with a valid estimate of a method that lacks a
positive velocity or error (naming the file and line); a method of
--methods no input has; inputs whose valid frequency ranges do not meet
(naming both ranges); a file given twice; bad option values. An input
without a valid estimate is noted on standard error and left out.

Example (a 25 m and a 5 m ring; they agree at 4 Hz, not at 8 Hz):
  $ cat r25.txt
  # frequency velocity standard_error
  1   650  20
  2   560  12
  4   430  10
  8   390  12
  16  nan  nan
  $ cat r5.txt
  4   445  8
  8   330  5
  16  210  4
  $ circdisp r25.txt r5.txt | sed -n '/^# freq/,$p'
  # freq c c_se n_estimates sources
   1.00000000e+00  6.50000000e+02  2.00000000e+01 1 r25.txt
   2.00000000e+00  5.60000000e+02  1.20000000e+01 1 r25.txt
   4.00000000e+00  4.39146341e+02  6.24695048e+00 2 r25.txt;r5.txt
   8.00000000e+00  3.38875740e+02  2.13017751e+01 2 r25.txt;r5.txt  # scatter: se x4.62 (chi2 21.3 on 1 dof)
   1.60000000e+01  2.10000000e+02  4.00000000e+00 1 r5.txt
)help";

}  // namespace

const suite::Program kProgram{"circdisp", kHelp, "", Run, suite::Arguments::kOptions};

}  // namespace circdisp
