#include "suite/program.h"
#include "noise_ratio/quillon.h"
#include "suite/programs.h"

namespace quillon {

namespace {

constexpr char kHelp[] = R"(Usage: quillon [--help | --version] < input > output

Noise-to-signal ratio and resolution limit of a circular array with a centre
station, per frequency, from the coherence (coh) and the spatial
autocorrelation coefficient (rho) between the centre record and the average
of the circle records. Single precision throughout.

Standard input (free format: blanks, tabs or commas between values):
  record 1   radius nsta
               radius: circle radius (the length unit of the velocity column)
               nsta: number of stations on the circle (integer)
  then       frequency coh frequency rho frequency unused
               six values per record, to end of input: three (frequency,
               value) tables side by side; the three frequencies must be
               equal; the sixth value is not used; a record may span lines
The run ends quietly at end of input or at a record that is not six numbers.

Standard output, one 60-character line per record, four 15-column fields:
  frequency  nsr0  nsr1  dltmx
    nsr0   noise ratio of the plain coherence model,
           or "    NO ROOT    " when the search finds no root
    nsr1   noise ratio with a bounded excess term,
           or "    1234567    " when that search finds no root
    dltmx  largest admissible excess term (always written)
  A search that ends exactly on a zero of its function counts as a root.

File written, fort.7 in the working directory:
  frequency  velocity  wavelength/radius  rkmin
    one line per frequency whose resolution limit was found (only where
    nsr0 was found);
    rkmin is the k*r at which noise of ratio nsr0 biases J0^2/J1^2 as much
    as reading k*r too large by 1/0.9; wavelength/radius = 2*pi/rkmin;
    velocity = (2*pi/rkmin)*radius*frequency.
  fort.7 is created (or an old one emptied) only when its first line is
  written; a run that finds no limit leaves the directory untouched.

Messages (standard output, exit status 0):
  ERROR: inconcistent frequency !  F1 F2 F3
                            the three frequencies of a record differ;
                            the run stops after the earlier lines
  Error:nz or ierr in cbesj() NZ IERR
                            a Bessel value could not be evaluated
An unreadable first record, or a fort.7 that cannot be written, is reported
on standard error with exit status 2.

Example:
  $ printf '30.0 4\n2.0 0.5 2.0 0.5 2.0 0.0\n' | quillon
    0.2000000E+01  0.6180339E+00  0.0000000E+00  0.2500000E+00
  $ cat fort.7
    0.2000000E+01  0.3551995E+03  0.5919991E+01  0.1061350E+01
)";

}  // namespace

const suite::Program kProgram{"quillon", kHelp, "the first record (radius nsta), then records of six values", Run};

}  // namespace quillon
