#include "suite/program.h"
#include "suite/programs.h"

namespace circinv {

namespace {

constexpr char kHelp[] = R"help(Usage: circinv [options] CURVE
       circinv --forward MODEL [options]

Finds the shear-velocity profiles beneath an array that explain its
measured dispersion curve: a global search of layered models over a
half-space (the neighbourhood algorithm), a polish of the best model, then
a walk over the region of the models that fit, whose spread gives the
profile's and Vs30's quantiles. With --forward, computes the
dispersion curve of a given layered model instead.

CURVE: the measured Rayleigh-wave phase velocities, a curve file or a
dispersion-curve table (circspec --for curve, circdisp): lines
'frequency velocity standard_error' (Hz, m/s, m/s; '#' comments; further
columns are passed over). A velocity 'nan' marks a frequency without an
estimate: the row is skipped and the summary counts it. Every point needs
its standard error, by which the misfit weighs it. '-' reads standard
input.

MODEL: one row per layer, top down, 'thickness vp vs density' (m, m/s,
m/s, kg/m^3); the last row is the half-space, with thickness 0; '#'
comments. (The result directory's best_model.txt is such a file.)

Inversion options (defaults in brackets):
  --love CURVE       a Love-wave curve, inverted jointly with CURVE, or
                     alone when there is no CURVE
  --layers N         layers over the half-space, 1 to 10, with the ranges
                     made from the data (below) [4]
  --param FILE       the ranges of every layer from a param file instead
                     (not with --layers): one row per layer, top down,
                     'hmin hmax vsmin vsmax numin numax [density]' (m, m/s,
                     Poisson's ratio, kg/m^3), the half-space last with
                     thickness 0 0; min = max fixes a parameter; without a
                     density, it follows from vp (Gardner); a line
                     'increasing' is --increasing
  --increasing       vs and vp must not decrease with depth [they may]
  --models M         models in all, at least 100 per chain, at most
                     1000000: of the first 20000, 50 % for the search,
                     10 % for the polish, 40 % for the walk; the walk
                     takes all beyond them [20000]
  --chains K         independent searches that share the models, 1 to
                     1000 [4]
  --seed S           random seed, an integer of 0 or more; the same seed
                     gives the same models on every machine [1]
  -o, --output DIR   write the result files into the directory DIR, which
                     is made, or replaced when empty; a directory that is
                     not empty is refused before the search [none]

Forward options:
  --forward MODEL    the curve of this model file ('-': standard input)
  --wave W           rayleigh or love [rayleigh]
  --fmin F           lowest frequency of the grid, Hz [1]
  --fmax F           highest frequency of the grid, Hz [50]
  --nfreq N          grid frequencies, 1 to 100000 [60]
  --grid log|linear  spacing of the grid frequencies [log]
  --at FILE          the frequencies of a curve file or table instead of
                     the grid, those of its rows without an estimate too
  -o, --output FILE  write the curve there instead of standard output
                     (made with its first line)

  -h, --help         this text
  --version          the version

Ranges from the data, with lambda = c/f over all points of all curves:
the half-space lies at lambda_min/3 to lambda_max/2 depth, layer i of N
(top down) taking the share 2^(i-1)/(2^N-1) of it; vs of every layer and
of the half-space from 0.8 c_min to 1.5 c_max; Poisson's ratio 0.2 to
0.49; density from vp by Gardner's relation (at least 1926 kg/m^3).
Thicknesses and velocities are searched in log scale.

Misfit: the root mean square of (c_obs - c_model)/se over all points of
all curves; a point where the model has no mode counts as 100 se. The
acceptable models are those of misfit <= 1 when they are at least 5 % of
all, else the best 5 %; the summary says which.

Summary, on standard output: the curves and their skipped rows, the
ranges, the search, the best misfit, the acceptable models and their
rule, the depth the data constrain (half the longest wavelength), the
best model, Vs30 (30 m over the shear-wave travel time through the top
30 m) of the acceptable models, median and 10-90 % range, whether the
walk's walkers agree on Vs30 (split R-hat at most 1.1; above it, a larger
--models lengthens the walk), a note when the half-space's vs crowds the
top of its range (the data do not bound it from above), and last, for
scripts, the line
  vs30 MEDIAN P10 P90
(m/s, each number in full precision). While standard error is a terminal,
a progress line there follows every stage of the models.

Result files in DIR, written all together or not at all:
  best_model.txt   the best model, a model file
  profile.txt      depth, the 10/50/90 % quantiles of the acceptable
                   models' vs and the best model's vs, to lambda_max/2
  ensemble.txt     every model tried: misfit, then its layers
  fit.txt          per curve: frequency, observed c and se, the best
                   model's c, the 10/50/90 % of the acceptable models' c

Forward output: '#' lines naming the program, the model, the wave and the
frequencies, then '# freq c' and one line 'f c' per frequency (9
significant digits), c nan where the fundamental mode does not exist: a
curve file as circsim --rayleigh and --love, circplot --true and --at read
it.

Errors (one line on standard error, status 2, nothing written): a file
that cannot be read, or a line of it not of its form (naming the file and
the line); a curve without standard errors (saying how to add them);
inconsistent ranges in a param file; bad option values, an option of the
other kind of run, --layers with --param; an --output directory that is
not empty.

Example (the curve of 10 m of soft soil over stiffer ground, whose Vs30
is 381.8 m/s; then the ground back from that curve with 3 % errors):
  $ cat model.txt
  # thickness vp vs density (m, m/s, m/s, kg/m^3)
  10  400   200  1800
  0   1400  700  2100
  $ circinv --forward model.txt --fmin 2 --fmax 32 --nfreq 5 | grep -v '^#'
   2.00000000e+00  6.31100090e+02
   4.00000000e+00  5.94652421e+02
   8.00000000e+00  4.23122963e+02
   1.60000000e+01  1.91438320e+02
   3.20000000e+01  1.86580258e+02
  $ circinv --forward model.txt --fmin 2 --fmax 30 --nfreq 20 | awk 'NF && !/^#/ {$3 = 0.03 * $2} 1' > curve.txt
  $ circinv --models 2000 -o result curve.txt | grep -i '^vs30'
  Vs30: 350.1 m/s, 10-90 % 299.3 to 400.2 m/s (a walk over the region of the 702 acceptable models); best model 385.6 m/s
  vs30 350.13869116102364 299.2822607797824 400.2399048885966
  $ ls result
  best_model.txt
  ensemble.txt
  fit.txt
  profile.txt
)help";

}  // namespace

const suite::Program kProgram{"circinv", kHelp, "", Run, suite::Arguments::kOptions};

}  // namespace circinv
