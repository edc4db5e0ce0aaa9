#include "suite/program.h"
#include "suite/programs.h"

namespace circspec {

namespace {

constexpr char kHelp[] = R"help(Usage: circspec [options] LAYOUT

From the records of a circular array to the observed quantities per
frequency (SPAC coefficient, coherence, CCA ratio and their relatives,
each with a jackknife standard error) or to the dispersion curve (phase
velocities of every method with standard errors and validity flags), as
a table or as the input of vantor or quillon.

LAYOUT: one station per line ('#' starts a comment), in one of three forms
chosen by the first line that is not a comment:
  name azimuth radius file [orient=DEG]        (polar, the default)
  coordinates xy       then  name x y file [centre] [orient=DEG]
  coordinates lonlat   then  name longitude latitude file [centre] [orient=DEG]
Polar: azimuth in degrees counterclockwise from east, radius in metres from
the array's centre (0 marks the centre station). xy: metres east and north.
lonlat: degrees (WGS84), projected onto the plane tangent at the stations'
mean position. 'centre' marks the centre station (at most one). orient=DEG:
the azimuth of the sensor's n channel, clockwise from north [0]; channels
coded 1 and 2 are taken as that sensor's n and e. The file is relative to
the layout's folder. Stations whose distances from the centre station (or,
without one, from the centre of the circle through them) lie within
--ring-tolerance of their mean form a ring of 3 or more; one or two rings;
a station on no ring is left out with a note. The file field is one of
(format told by content):
  column text   lines 'time u e n' (the vertical u is used, or e and n
                with --component h) or 'time value'; times in seconds
                (epoch seconds, UTC, from 1e8 on)
  miniSEED      one file holding the station's channels, chosen by the
                last letter of the SEED channel code (Z u, E e, N n)
  U,E,N         three comma-separated files, SAC or miniSEED, one channel
                each (only the files of the components used are read)
Stations are placed on one time grid and analysed over the span they all
have (or --start/--end); a station sampled off the grid (|offset| < dt/2)
has its offset taken out of its spectra; segments that hold a gap, an
overlap or a clock jump of a record are left out. Stations must share the
sampling interval.

Options (defaults in brackets):
  --window S        segment length in seconds [20.48]
  --overlap F       fraction of a segment shared with the next, 0 <= F < 1 [0.5]
  --reject K        drop segments where any station's RMS exceeds K times
                    its median segment RMS (transients); 0 = keep all [3]
  --fmin F          lowest output frequency, Hz [4 / window]
  --fmax F          highest output frequency, Hz [0.4 / dt]
  --nfreq N         number of output frequencies [120]
  --grid log|linear spacing of the output frequencies [log]
  --smooth KIND     ko:B (Konno-Ohmachi, coefficient B), parzen:BW (Parzen,
                    bandwidth BW Hz) or none (nearest FFT bin) [ko:40]
  --ring RADIUS     ring whose quantities are given, by radius [the outer]
  --ring-tolerance F  relative spread of a ring's distances about their
                    mean, 0 < F < 1 [0.1]
  --start T, --end T  the span to analyse: seconds after the first sample
                    all stations have, or a UTC date-time
                    2017-06-09T22:32:00[.ffffff][Z] [all of it]
  --component v|h   v: the vertical u; h: the horizontal e and n, giving
                    the radial and transverse SPAC coefficients [v]
  --for FORM        table, curve (the dispersion curve, see below),
                    vantor:ITYPE (ITYPE 1 spac, 2 j0sq, 3 j1sq, 4 j0j1sq,
                    5 cca, 10 ringsq, 11 ring; with --component h 21, 22,
                    23) or quillon [table]
  --max-se E        --for curve: largest relative standard error c_se/c of
                    a valid estimate, 0 < E <= 1 [0.15]
  --wave love|rayleigh  the wave type vantor's itype 21, 22 or 23 is
                    solved for (required with them): love writes 22 spac_t,
                    23 spac_r, 21 spac_t/spac_r; rayleigh writes 22 spac_r,
                    23 spac_t, 21 spac_r/spac_t
  -o, --output FILE write there instead of standard output (created only
                    when the first line is written)
  -h, --help        this text
  --version         the version

Quantities (C centre spectrum, X_j ring spectra at azimuths theta_j,
Z0 = mean of X_j, Z1 = mean of X_j exp(-i theta_j), <> smoothed sums):
  spac   = mean over j of Re<C conj X_j> / sqrt(<|C|^2> <|X_j|^2>)   ~ J0(kr)
  coh    = |<C conj Z0>|^2 / (<|C|^2> <|Z0|^2>)
  cca    = <|Z0|^2> / <|Z1|^2>                                     ~ J0^2/J1^2
  j0sq   = <|Z0|^2> / <|C|^2>,  j1sq = <|Z1|^2> / <|C|^2>,  j0j1sq = Re<C conj Z0> / <|Z1|^2>
  ringsq = <|Z1 outer|^2> / <|Z1 inner|^2>,  ring = Re<Z1 outer conj Z1 inner> / <|Z1 inner|^2>
Without a centre station only cca, ringsq and ring exist.

Horizontal (--component h, needs the centre): the centre's and station
j's motion are both projected on theta_j, radial R = e cos(theta_j) +
n sin(theta_j), transverse T = -e sin(theta_j) + n cos(theta_j):
  spac_r  = mean over j of Re<R_cj conj R_j> / sqrt(<|R_cj|^2> <|R_j|^2>)
  spac_t  = the same with T,   spac_tr = spac_t / spac_r
Rayleigh waves give spac_r ~ J0(kr) - J2(kr), spac_t ~ J0 + J2; Love
waves the reverse; with a Love share a of the horizontal power
spac_r ~ (1-a)(J0-J2)(k_R r) + a(J0+J2)(k_L r), spac_t likewise swapped.

Output: table (default): '#' header lines (the layout; per ring a line
'ring R stations: NAME DISTANCE AZIMUTH ...' (metres, degrees
counterclockwise from east, from the centre station or the circle's centre)
and its spread and largest azimuth gap; stations left out; the span
analysed; each station's clock offset; the breaks of the records; the
segments kept, dropped as transients and left out for breaks, with the
transients' time ranges; frequencies; quantities), the last naming the
columns
  # freq spac spac_se coh coh_se cca cca_se ... segments
  # freq spac_r spac_r_se spac_t spac_t_se spac_tr spac_tr_se segments
(the second with --component h), then one line per frequency.
curve: the dispersion curve of the ring (vertical component). Methods:
spac (mean of J0(k r_j) over the ring's own distances = spac), spac_nc
(the same divided by 1 + eps), cca (G0/G1, the pair sums of J0(k d_ab)
with the ring's positions, every aliased order in them), cca_nc
((G0 + eps/N)/(G1 + eps/N)), with two rings ringsq and ring; without a
centre only cca, ringsq and ring. eps, the noise-to-signal ratio, solves
spac and coh together. The models are those of the smoothed spectra (the
windows stop at their first zeros). Each standard error comes from
inverting every jackknife replicate. Each estimate is valid ('ok') or
flagged by the first rule it fails: noroot, branch (past the model's
first extreme, or k r falling back: every higher frequency too), alias
(k r beyond the ring's aliasing limit), noise (spac, cca: bias from eps
above c_se), error (c_se/c above --max-se), consistency (spac and coh
disagree on eps: every method). Columns
  # freq c c_se method kr lambda_over_r eps eps_se c_spac c_spac_se flag_spac ...
the first three the best estimate (valid, least c_se; nan and '-' where
none), a curve file for circsim, circplot, circdisp and circinv.
vantor:ITYPE: 'ITYPE r 0.0 fmax' (and the inner radius for 10 and 11),
then 'frequency value stderr'. quillon: 'r N', then 'f coh f spac f cca'.
Both take the ring's mean radius r; how far the stations lie from it is
said on standard error. Non-finite values are left out of the vantor and
quillon forms, with a count on standard error; so are the counts of
segments dropped as transients or for breaks.

Example (10 minutes of circsim records; true c = 440, 340, 284, 252 m/s):
  $ cat site/layout.txt
  c   0   0  c.txt
  s1  0   10 s1.txt
  s2  72  10 s2.txt
  s3  144 10 s3.txt
  s4  216 10 s4.txt
  s5  288 10 s5.txt
  $ circsim --duration 600 site/layout.txt
  $ circspec --fmin 4 --fmax 10 --nfreq 4 --grid linear site/layout.txt | grep '^# freq '
  # freq spac spac_se coh coh_se cca cca_se j0sq j0sq_se j1sq j1sq_se j0j1sq j0j1sq_se segments
  $ circspec --for curve --fmin 4 --fmax 8 --nfreq 3 --grid linear site/layout.txt | awk '!/^#/ {print $1+0, $2+0, $3+0, $4}'
  4 446.519 10.691 spac
  6 342.027 5.39797 spac
  8 287.493 2.0216 spac
  $ circspec --for vantor:1 --fmin 4 --fmax 10 --nfreq 4 --grid linear site/layout.txt | vantor
     4.00000000       443.757233       11.0939312
     6.00000000       338.923798       5.64872980
     8.00000000       285.468140       3.56835175
     10.0000000       250.769089       2.50769091
  $ circspec --component h --for vantor:22 --wave rayleigh --fmin 4 --fmax 10 --nfreq 4 --grid linear site/layout.txt | vantor
     4.00000000       426.070435       10.6517611
     6.00000000       336.027496       5.60045815
     8.00000000       281.703979       3.52129984
     10.0000000       251.918427       2.51918435
)help";

}  // namespace

const suite::Program kProgram{"circspec", kHelp, "", Run, suite::Arguments::kOptions};

}  // namespace circspec
