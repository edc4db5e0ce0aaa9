#include "suite/program.h"
#include "suite/programs.h"

namespace circsim {

namespace {

constexpr char kHelp[] = R"help(Usage: circsim [options] LAYOUT

Writes a synthetic wavefield with known dispersion for every station of a
circular array: one column text file per station, "time u e n", or
miniSEED or SAC files (--format).

The field is made exactly in the frequency domain. At every FFT bin f of
the signal band, W plane waves with azimuths uniform in [0, 360) degrees and
random phases, of equal power, cross the array; a station at radius r and
azimuth theta sees a wave propagating toward azimuth alpha with the phase
delay k r cos(theta - alpha), k = 2 pi f / c(f). The vertical u carries
Rayleigh waves; their horizontal motion is radial (along alpha), a quarter
period ahead of the vertical (retrograde). Love waves, a wave set of their
own with their own curve, move transversely. The total horizontal power is
H^2 times the vertical: Rayleigh waves carry (1 - A) of it (H/V amplitude
H sqrt(1 - A)), Love waves A. Independent Gaussian noise with the signal's
spectral shape and EPS times its power is added to every channel of every
station. One inverse real FFT per channel. The vertical signal has an
expected variance of 1. The waves of a frequency bin depend only on the
seed and the bin, a station's noise only on the seed, the station's name,
the channel and the bin: every station's record is the same whatever the
other stations or their order.

Options (defaults in brackets):
  --duration S         record length in seconds; the record holds
                       round(S/dt) samples [1800]
  --dt S               sampling interval in seconds [0.01]
  --band FMIN FMAX     signal band in Hz, 0 < FMIN < FMAX <= 0.5/dt; the
                       power rises as a cosine taper (in log f) from 0 at
                       FMIN to 1 at 1.25 FMIN and falls likewise from
                       FMAX/1.25 to 0 at FMAX [0.5 and 0.4/dt]
  --rayleigh FILE      Rayleigh phase velocity: lines "frequency velocity"
                       (Hz, m/s; '#' comments, any order), interpolated
                       linearly in log f - log c, held constant beyond the
                       ends [c(f) = 180 + 520 / (1 + (f/4)^2) m/s]
  --love FILE          Love phase velocity, same form [0.9 x the Rayleigh
                       curve]
  --love-fraction A    share of the horizontal power carried by Love waves,
                       0 to 1 [0]
  --hv H               horizontal-to-vertical amplitude ratio, >= 0: total
                       horizontal power is H^2 x vertical [0.7]
  --noise EPS          incoherent noise-to-signal power ratio on every
                       channel of every station, >= 0 [0]
  --waves W            plane waves per frequency bin and wave type [64]
  --seed N             random seed, integer >= 0 [1]
  --digits N           significant digits of u, e, n, 1 to 17 [9]
  --format F           text, mseed or sac: the records as column text,
                       miniSEED or SAC (see "Files written") [text]
  --offset NAME=S      station NAME's digitiser samples S seconds after
                       the grid, |S| < dt/2 (a clock off the whole-second
                       grid); its record's times say so; repeatable [0]
  --help               this text
  --version            the program's version

Layout file: one station per line, "name azimuth radius file"; '#' starts
a comment. Azimuth in degrees counterclockwise from east, radius in metres
(0 = the centre station, at most one). A first line "coordinates xy" or
"coordinates lonlat" gives positions as "name x y file" (metres east and
north) or "name longitude latitude file" (degrees, WGS84) instead; see
circspec --help. Every station of the layout gets its record.

Files written: for each station, its record at the layout's "file" path,
resolved against the folder of the layout file (not the working
directory), replacing what was there, so that circspec reads the same
layout back. Nothing is written on standard output.
  text   one file: each line holds the time (the j-th sample at j*dt,
         j = 1..n) and u (up), e (east), n (north) as the suite's
         free-format reals.
  mseed  one file holding the three channels, or, where "file" names three
         files separated by commas (u,e,n), one channel in each; records
         of 4096 bytes, samples as 32-bit floats (encoding 4).
  sac    "file" must name three files, u,e,n (e.g. C.u.sac,C.e.sac,C.n.sac):
         SAC binary, header version 6, little-endian, 32-bit floats.
  In both: network SY, station code the layout's name (at most 5
  characters for miniSEED, 8 for SAC), no location, channel codes of the
  rate's band, H and Z, E or N (HHZ, HHE, HHN at dt = 0.01 s); sample j at
  j*dt seconds after 1970-01-01T00:00:00 UTC, so that the epoch seconds
  are the text's times (miniSEED keeps them to the microsecond). 32-bit
  floats hold about 7 significant digits: --digits does not apply.

Errors: one line "circsim: ..." on standard error, exit status 2.

Example (a centre and five stations on a 10 m circle, 10 s, 10 % noise):
  $ cat site/layout.txt
  c   0   0  c.txt
  s1  0   10 s1.txt
  s2  72  10 s2.txt
  s3  144 10 s3.txt
  s4  216 10 s4.txt
  s5  288 10 s5.txt
  $ circsim --duration 10 --noise 0.1 site/layout.txt
  $ ls site
  c.txt
  layout.txt
  s1.txt
  s2.txt
  s3.txt
  s4.txt
  s5.txt
  $ wc -l < site/s1.txt
  1000
)help";

}  // namespace

const suite::Program kProgram{"circsim", kHelp, "", Run, suite::Arguments::kOptions};

}  // namespace circsim
