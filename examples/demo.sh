#!/usr/bin/env bash
# The whole chain, from a known ground to its profile again, on synthetic
# records:
#
#   circinv --forward  the Rayleigh dispersion curve of a layered model
#                      (8 m of 200 m/s over 12 m of 400 m/s over 800 m/s);
#   circsim   records of a centre station and a 5 m ring of 5 stations
#             carrying that curve, with incoherent noise of ratio 0.01;
#   circspec  SPAC coefficients, coherence and CCA ratio from the records,
#             and the dispersion curve with standard errors and validity;
#   vantor    phase velocities from the SPAC coefficient (itype 1) and from
#             the CCA ratio J0^2/J1^2 (itype 5), the classic way;
#   quillon   the noise-to-signal ratio and the resolution limit;
#   circinv   the shear-velocity profile and Vs30 from the curve;
#
# and prints the recovered velocities beside the true ones, the curve with
# its standard errors, and Vs30 beside the model's. With gnuplot installed,
# circplot draws the SPAC coefficient and the classic velocities
# (BUILD_DIR/demo.png), the dispersion curve (BUILD_DIR/demo_curve.png)
# and the profile (BUILD_DIR/demo_profile.png).
#
# Usage: examples/demo.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
bin="$build/bin"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

cat > model.txt <<'EOF'
# thickness vp vs density (SI units); the last row is the half-space
8    500  200 1927
12   900  400 1927
0   1600  800 1958
EOF
cat > layout.txt <<'EOF'
# name azimuth(deg) radius(m) record
C    0   0  c.txt
S1   0   5  s1.txt
S2  72   5  s2.txt
S3 144   5  s3.txt
S4 216   5  s4.txt
S5 288   5  s5.txt
EOF

# The model's curve, then half an hour of records at 100 samples/s.
"$bin/circinv" --forward model.txt --fmin 0.5 --fmax 50 --nfreq 100 > model_curve.txt
"$bin/circsim" --duration 1800 --noise 0.01 --seed 7 --rayleigh model_curve.txt layout.txt

# 1. The observed quantities and the classic inversions.
grid=(--fmin 3 --fmax 15 --nfreq 25)
"$bin/circspec" "${grid[@]}" layout.txt > spectra.txt
"$bin/circspec" "${grid[@]}" --for vantor:1 layout.txt | "$bin/vantor" > spac.out
"$bin/circspec" "${grid[@]}" --for vantor:5 layout.txt | "$bin/vantor" > cca.out
"$bin/circspec" "${grid[@]}" --for quillon layout.txt | "$bin/quillon" > noise.out
"$bin/circinv" --forward model.txt --at spectra.txt | grep -v '^#' > true.txt

echo "Phase velocity recovered from synthetic records of a 5 m circular array"
echo "(circinv --forward -> circsim -> circspec -> vantor; noise-to-signal"
echo " power ratio 0.01; '-' where no root was found)"
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

# 2. The dispersion curve: every method's velocity with its standard error
# and validity, the best valid one first.
"$bin/circspec" --for curve --fmin 1 --fmax 40 --nfreq 60 layout.txt > curve.txt
"$bin/circinv" --forward model.txt --at curve.txt | grep -v '^#' > curve_true.txt
echo
echo "The dispersion curve (circspec --for curve): the best valid estimate and"
echo "its standard error; '-' where no method is valid at that frequency"
echo
printf '%8s %11s %10s %8s %6s %9s\n' "f (Hz)" "true (m/s)" "c (m/s)" "se" "z" "method"
paste curve_true.txt <(grep -v '^#' curve.txt) | awk '
  $4 == "nan" { printf "%8.2f %11.1f %10s %8s %6s %9s\n", $1, $2, "-", "-", "", "-"; next }
  { printf "%8.2f %11.1f %10.1f %8.1f %6.2f %9s\n", $1, $2, $4, $5, ($4 - $2) / $5, $6 }'

# 3. The profile: the global inversion of the curve.
"$bin/circinv" --output profile curve.txt > summary.txt
echo
echo "The profile (circinv on the curve):"
sed -n '/^best misfit/p; /^acceptable/p; /^Vs30/p; /walkers/p' summary.txt
# 30 m over the shear-wave travel time through the top 30 m.
true_vs30=$(awk '!/^#/ && NF == 4 {
                   h = ($1 > 0 && d + $1 < 30) ? $1 : 30 - d; if (h > 0) { t += h / $3; d += h } }
                 END { printf "%.1f", 30 / t }' model.txt)
echo "The model's Vs30: $true_vs30 m/s"

echo
if command -v gnuplot > /dev/null; then
  "$bin/circplot" --output "$build/demo.png" --title "Synthetic 5 m array, noise ratio 0.01" \
    --radius 5 --fort7 fort.7 --true true.txt spectra.txt spac.out cca.out
  "$bin/circplot" --output "$build/demo_curve.png" --title "Dispersion curve of the 5 m array" \
    --true model_curve.txt curve.txt
  "$bin/circplot" --output "$build/demo_profile.png" --title "Profile from the curve" profile
  echo "Pictures: $build/demo.png (SPAC and the classic velocities),"
  echo "          $build/demo_curve.png (the dispersion curve), $build/demo_profile.png (the profile)"
else
  echo "For pictures of the SPAC coefficient, the curve and the profile, install gnuplot"
  echo "(apt-get install gnuplot-nox) and run this demo again."
fi
