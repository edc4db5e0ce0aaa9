#include "suite/program.h"
#include "suite/programs.h"

namespace hollin {

namespace {

constexpr char kHelp[] = R"(Usage: hollin [--help | --version] < input > output

Incoherent noise-to-signal ratio of a circular array per frequency, in
closed form from 7 (mode 1) or 15 (mode 2) complex spectral values of that
frequency. Single precision throughout.

Standard input (free format: blanks, tabs or commas between values):
  record 1   mode nsta
               mode: 1 (7 values G0..G6) or 2 (15 values G0..G14)
               nsta: number of stations (integer)
  then       records of 28 (mode 1) or 60 (mode 2) numbers, to end of
             input: groups of four, "abscissa real imaginary unused", one
             group per value G0, G1, ...; the first abscissa is the
             frequency; a record may span lines
The run ends quietly at end of input or at a value that is not a number.

What it computes:
  mode 1: A = G4/G0, B = G6/G3, K = G5/G1, D = G2/G1,
          eps = Re[(A*B - D*(A+B) + K) / (D*(A+B) - K + 2/nsta)]
  mode 2: P = G2/G1 + G11/G1, Q = G5/G1 + 2*G8/G7 + G14/G1,
          S = G12/G9 + G4/G0, R = G6/G3 + G13/G10,
          eps = Re[(S*R - P*(S+R) + Q) / (P*(S+R) - Q + 4/nsta)]

Standard output, one line per record with eps > 0:
  frequency  eps
A record gives no line when eps <= 0 or is not a number, or when a divisor
(G0, G1, G3; in mode 2 also G7, G9, G10) or the denominator is zero.

Messages (standard output, exit status 0):
  ERROR: no equation for mode M    mode is neither 1 nor 2
An unreadable first record is reported on standard error, status 2.

Example (mode 1, two stations, one record of 7 groups; eps = 0.1/1.9):
  $ cat in.txt
  1 2
  0.75 1 0 0   0 1 0 0   0 0.5 0 0   0 1 0 0
  0 1 0 0   0 0.1 0 0   0 1 0 0
  $ hollin < in.txt
    0.750000000       5.26315793E-02
)";

}  // namespace

const suite::Program kProgram{"hollin", kHelp, "the first record (mode nsta), then records of spectral values", Run};

}  // namespace hollin
