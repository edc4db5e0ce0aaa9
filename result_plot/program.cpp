#include "suite/program.h"
#include "suite/programs.h"

namespace circplot {

namespace {

constexpr char kHelp[] = R"help(Usage: circplot [OPTION]... [INPUT]...

Pictures of the suite's results, drawn by gnuplot against frequency on a
logarithmic axis: SPAC coefficients and CCA ratios of circspec tables,
phase velocities of vantor and of dispersion-curve tables (circspec --for
curve, circdisp), noise-to-signal ratios of quillon, and the shear-velocity
profile and fit of a circinv result directory.

Options:
  -o, --output FILE   the picture: FILE.png or FILE.svg (default circplot.png)
  --script FILE       the gnuplot script (default: the picture's name and .gp)
  --title T           the picture's title (default: the inputs' names and kinds)
  --radius R          the ring radius in metres, for the labels; with --true,
                      also the curve J0(k r) beside a table's SPAC coefficient
                      and J0^2/J1^2 beside its CCA ratio
  --fort7 FILE        quillon's fort.7: the resolution-limit velocity as a
                      line beside the phase velocities (longer waves, above
                      it, are not resolved by the array)
  --true FILE         a true dispersion curve to compare with: lines
                      "frequency velocity" ('#' lines are comments)
  --all               draw the invalid estimates of dispersion-curve tables
                      too (flag other than "ok"), as hollow marks

Inputs (each recognised by its content, not by its name):
  circspec table   '#' header lines, one naming circspec, the last the column
                   names (# freq spac spac_se cca cca_se ...): one panel of
                   spac, spac_r and spac_t, one of cca (log scale), one of
                   spac_tr, each with its standard errors as bars
  curve table      '#' header lines, the first naming circspec or circdisp,
                   the last "# freq c c_se ...": phase velocity with its
                   standard errors, one colour per method (c_<m>) or per
                   table; invalid estimates left out (--all: hollow); where
                   the header gives the ring ("radius 10 m, 5 stations"),
                   the lines lambda = 2 r and the resolution limit
                   lambda_max(eps) = 2 pi r / x(eps, N) of its eps column
  vantor output    lines "f v v/(r f)", "f v SINGULAR_POINT" and
                   "f 999.0 NO_ROOT status observed": phase velocity (m/s);
                   NO_ROOT frequencies are marks on the frequency axis,
                   counted in the legend; r is read from the third column
  quillon output   four 15-column fields (f, nsr0 or NO ROOT, nsr1, dltmx):
                   nsr0, NO ROOT frequencies marked and counted likewise
  fort.7           quillon's resolution limits, drawn as with --fort7
  directory        circinv's results (profile.txt, fit.txt; ensemble.txt and
                   best_model.txt where present): a row of two panels, the
                   vs profile against depth (acceptable models shaded by
                   misfit, 10/50/90 % lines, best model) and the fit (the
                   observed curve, the 10-90 % band, the best model's curve)
All vantor outputs and curve tables share one panel of phase velocity, on
logarithmic axes whose velocity range comes from the measured velocities
and their error bars; limit lines and the true curve are cut at its edges.
All quillon outputs share another. Anything else is an error naming the
input and the line. A last line that is a program's message (ERROR...,
Error...) is reported, the lines before it drawn.

Standard input:
  read for an INPUT "-", or when there is no INPUT

Files:
  The script holds its data inline, so it redraws the picture by itself:
  gnuplot SCRIPT, in the directory where circplot ran. With gnuplot on the
  PATH circplot runs it; without, it says how to install gnuplot
  (apt-get install gnuplot-nox) and leaves the script, exit status 0.
  A failure of gnuplot is an error with its messages, status 2.

Example:
  $ printf '1 10.0 0.0 100\n2.0 0.5\n3.0 1.5\n' | vantor > v.txt
  $ circplot --output dispersion.png v.txt
  $ ls dispersion*
  dispersion.png
  dispersion.png.gp
  $ grep -o 'NO_ROOT: [0-9]* frequenc[a-z]*' dispersion.png.gp
  NO_ROOT: 1 frequency
)help";

}  // namespace

const suite::Program kProgram{"circplot", kHelp, "a circspec table, a curve table, vantor or quillon output", Run,
                              suite::Arguments::kOptions};

}  // namespace circplot
