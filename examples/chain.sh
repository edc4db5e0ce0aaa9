#!/usr/bin/env bash
# A day's work with the suite, from raw records to a resampled dispersion
# curve, each program fed by the one before:
#
#   1. wendle splits the three-component record of a station (time, u, e,
#      n) into one file per component;
#   2. gauger measures how the level of the vertical component varies along
#      the record: RMS of 0.5 s windows relative to the whole record;
#   3. snippa cuts the vertical component, turned into a series file
#      (count, sampling interval, start time, values), into 2 s pieces and
#      cuts one of them again;
#   4. vantor turns the SPAC coefficients of a 5 m array into phase
#      velocities;
#   5. resampa resamples that dispersion curve onto a 0.5 Hz grid.
#
# Usage: examples/chain.sh [--check] DIR [OUTDIR]
#
# DIR is the directory of the programs (build/bin, or PREFIX/bin). The
# results are written to OUTDIR (default: a temporary directory that is
# removed afterwards). With --check, every result is compared with its copy
# in examples/chain/expected/ and the script fails on any difference.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

check=0
if [[ ${1:-} == --check ]]; then
  check=1
  shift
fi
if (($# < 1)); then
  sed -n '16p' "$0" | sed 's/^# //' >&2
  exit 2
fi
dir=$1
if (($# >= 2)); then
  out=$2
  mkdir -p "$out"
else
  out="$(mktemp -d)"
  trap 'rm -rf "$out"' EXIT
fi
out="$(cd "$out" && pwd)"
dir="$(cd "$dir" && pwd)"
for p in wendle gauger snippa vantor resampa; do
  [[ -x $dir/$p ]] || { echo "no program $p in $dir" >&2; exit 1; }
  declare "$p=$dir/$p"
done

cp "$here/chain/station.txt" "$here/spac_itype1.txt" "$out/"
cd "$out"

# 1. Component files site01u.d, site01e.d, site01n.d (selector 3: all
#    three); the text after the base name is a comment.
printf '3\n1\nstation.txt\nsite01  centre station, 50 samples/s\n' | "$wendle"

# 2. Windows of 0.5 s (25 samples at dt = 0.02 s), starting at the first
#    sample and overlapping by half; the two-column file is read with the
#    component letter u.
printf '0.5\n0.02\n0.02\n0.5\n0\nu\nsite01u.d\nrms_u.txt\n' | "$gauger"

# 3. The series file: sample count, sampling interval and start time as
#    the two header values, then the values. Segment 3 of 100 samples (2 s)
#    holds the peak of the wave packet; its second half is cut out of it
#    again. snippa copies the header values unchanged.
awk 'NR == 1 { t0 = $1 + 0 } { v[NR] = $2 + 0 }
     END { print NR; print 0.02; print t0; for (i = 1; i <= NR; ++i) print v[i] }' \
  site01u.d > series_u.txt
{ echo '3 100'; cat series_u.txt; } | "$snippa" > segment3_u.txt
{ echo '2 50'; cat segment3_u.txt; } | "$snippa" > segment3b_u.txt

# 4. Phase velocity from SPAC coefficients (itype 1, radius 5 m).
"$vantor" < spac_itype1.txt > velocity.txt

# 5. The dispersion curve on the grid 0.5, 1.0, ..., 20 Hz. Points more
#    than 0.5 Hz from any measured frequency are marked 999.
printf 'velocity.txt\n20\n0.5\n' | "$resampa" > velocity_grid.txt

results=(site01u.d site01e.d site01n.d rms_u.txt series_u.txt segment3_u.txt segment3b_u.txt
         velocity.txt velocity_grid.txt)
if ((check)); then
  failures=0
  for f in "${results[@]}"; do
    if cmp -s "$here/chain/expected/$f" "$f"; then
      echo "ok   $f"
    else
      echo "FAIL $f differs from examples/chain/expected/$f"
      diff "$here/chain/expected/$f" "$f" | head -n 20 || true
      failures=$((failures + 1))
    fi
  done
  exit $((failures > 0))
fi

echo "Results in $out:"
for f in "${results[@]}"; do
  printf '  %-18s %5d lines\n' "$f" "$(wc -l < "$f")"
done
echo
echo "RMS of 0.5 s windows of u relative to the whole record (rms_u.txt):"
awk 'NR > 1 { printf "  t = %5.2f s  %6.3f\n", $1, $2 }' rms_u.txt
