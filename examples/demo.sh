#!/usr/bin/env bash
# The whole chain on synthetic records with known dispersion:
#
#   circsim   records of a centre station and a 10 m ring of 5 stations,
#             with incoherent noise of ratio 0.01 on every channel;
#   circspec  SPAC coefficients, coherence and CCA ratio from the records;
#   vantor    phase velocities from the SPAC coefficient (itype 1) and from
#             the CCA ratio J0^2/J1^2 (itype 5);
#   quillon   the noise-to-signal ratio and the resolution limit;
#
# and prints the recovered velocities beside the true ones, with the noise
# ratio found. With gnuplot installed, circplot draws the SPAC coefficient
# with its error bars beside J0(2 pi f r / c_true) and the dispersion
# curves with the resolution limit into BUILD_DIR/demo.png.
#
# Usage: examples/demo.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
bin="$build/bin"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

cat > layout.txt <<'EOF'
# name azimuth(deg) radius(m) record
C    0   0  c.txt
S1   0  10  s1.txt
S2  72  10  s2.txt
S3 144  10  s3.txt
S4 216  10  s4.txt
S5 288  10  s5.txt
EOF

# Half an hour at 100 samples/s; the true curve is circsim's default,
# c(f) = 180 + 520 / (1 + (f/4)^2) m/s.
"$bin/circsim" --duration 1800 --noise 0.01 --seed 7 layout.txt
"$bin/circspec" --fmin 3 --fmax 12 --nfreq 25 layout.txt > spectra.txt
"$bin/circspec" --fmin 3 --fmax 12 --nfreq 25 --for vantor:1 layout.txt | "$bin/vantor" > spac.out
"$bin/circspec" --fmin 3 --fmax 12 --nfreq 25 --for vantor:5 layout.txt | "$bin/vantor" > cca.out
"$bin/circspec" --fmin 3 --fmax 12 --nfreq 25 --for quillon layout.txt | "$bin/quillon" > noise.out

# The true curve at the same frequencies, for the table and the picture.
awk '!/^#/ { f = $1; printf "%.6f %.3f\n", f, 180 + 520 / (1 + (f / 4) ^ 2) }' spectra.txt > true.txt

echo "Phase velocity recovered from synthetic records of a 10 m circular array"
echo "(circsim -> circspec -> vantor; true c(f) = 180 + 520/(1 + (f/4)^2) m/s,"
echo " noise-to-signal power ratio 0.01; '-' where no root was found)"
echo
printf '%8s %11s %15s %15s %10s\n' "f (Hz)" "true (m/s)" "SPAC (itype 1)" "CCA (itype 5)" "noise"
# Lines are matched by frequency: vantor skips none here, but a non-finite
# observation would be left out by circspec.
awk 'function key(f) { return sprintf("%.4g", f) }
     FILENAME == "spac.out" { v1[key($1)] = ($3 == "NO_ROOT") ? "-" : sprintf("%.1f", $2); next }
     FILENAME == "cca.out"  { v5[key($1)] = ($3 == "NO_ROOT") ? "-" : sprintf("%.1f", $2); next }
     FILENAME == "noise.out" { n[key($1)] = ($2 == "NO") ? "-" : sprintf("%.3f", $2); next }
     { k = key($1); printf "%8.2f %11.1f %15s %15s %10s\n", $1, $2,
         (k in v1) ? v1[k] : "-", (k in v5) ? v5[k] : "-", (k in n) ? n[k] : "-" }' \
  spac.out cca.out noise.out true.txt

echo
if command -v gnuplot > /dev/null; then
  "$bin/circplot" --output "$build/demo.png" --title "Synthetic 10 m array, noise ratio 0.01" \
    --radius 10 --fort7 fort.7 --true true.txt spectra.txt spac.out cca.out
  echo "Picture of the SPAC coefficient and the dispersion curves: $build/demo.png"
else
  echo "For a picture of the SPAC coefficient and the dispersion curves, install gnuplot"
  echo "(apt-get install gnuplot-nox) and run this demo again."
fi
