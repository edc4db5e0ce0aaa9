#!/usr/bin/env bash
# Recovers a known dispersion curve from synthetic array observations with
# vantor, and prints the recovered phase velocities beside the true ones;
# then measures with gauger how the level of a station record varies along
# it. With gnuplot installed, draws both into BUILD_DIR/demo.png.
#
# Usage: examples/filters_demo.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-build}"
vantor="$build/bin/vantor"
gauger="$build/bin/gauger"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/examples/make_demo_data" "$work"

# The generated data are the ones shipped in examples/; say so if not.
for f in spac_itype1.txt ratio_itype5.txt true_velocity.txt; do
  cmp -s "$work/$f" "$here/$f" || echo "note: $f differs from the shipped copy" >&2
done

"$vantor" < "$here/spac_itype1.txt" > "$work/spac.out"
"$vantor" < "$here/ratio_itype5.txt" > "$work/ratio.out"

echo "Phase velocity recovered by vantor from synthetic observations"
echo "(true curve c(f) = 180 + 520/(1 + (f/4)^2) m/s, with a little noise)"
echo
printf '%8s %12s %18s %18s\n' "f (Hz)" "true (m/s)" "SPAC, itype 1" "J0^2/J1^2, itype 5"
paste "$here/true_velocity.txt" "$work/spac.out" "$work/ratio.out" |
  awk '{ printf "%8.1f %12.1f %18.1f %18.1f\n", $1, $2, $4, $7 }'

# The windowed RMS of the vertical component of a synthetic station record
# (50 samples/s, a 3 Hz wave packet near 4 s in background noise): windows
# of 0.5 s from the first sample, overlapping by half.
printf '0.5\n0.02\n0.02\n0.5\n0\nu\n%s\n%s\n' "$here/chain/station.txt" "$work/rms_u.txt" |
  "$gauger"
echo
echo "RMS of 0.5 s windows of a station record relative to the whole record (gauger)"
awk 'NR > 1 && $2 > peak { peak = $2; at = $1 }
     END { printf "largest ratio %.2f in the window starting at %.2f s (%d windows)\n", peak, at, NR - 1 }' \
  "$work/rms_u.txt"

# The pictures.
echo
if command -v gnuplot > /dev/null; then
  cp "$here/true_velocity.txt" "$work/"
  picture="$(cd "$build" && pwd)/demo.png"
  gnuplot -e "dir='$work'; out='$picture'" "$here/demo.gp"
  echo "Picture of the dispersion curve and the RMS ratios: $picture"
else
  echo "For a picture of the dispersion curve and the RMS ratios, install gnuplot"
  echo "(apt-get install gnuplot-nox) and run this demo again."
fi
