#!/usr/bin/env bash
# The demo as a user runs it, from a layered model's curve to its profile
# again: the classic chain (circspec -> vantor / quillon) must recover the
# curve where the 5 m ring resolves it and the noise ratio circsim put
# into the records; the dispersion curve's valid estimates must lie within
# their standard errors of the model's curve; and the model's Vs30 must
# lie within circinv's 10-90 % range.
set -u
build=$1
source_dir=$2
out=$(bash "$source_dir/examples/demo.sh" "$build")
status=$?
fail=0
if [ "$status" -ne 0 ]; then
  echo "FAILED: demo exit status $status"
  fail=1
fi
# The classic table: f, true velocity, SPAC (itype 1), CCA (itype 5), noise.
rows=$(printf '%s\n' "$out" | awk '/^Phase velocity/ { on = 1 } /^The dispersion curve/ { on = 0 }
                                   on && NF == 5 && $1 ~ /^[0-9.]+$/')
count=$(printf '%s\n' "$rows" | grep -c .)
if [ "$count" -ne 25 ]; then
  echo "FAILED: $count rows of the classic table instead of 25"
  fail=1
fi
# SPAC within 2 % of the true curve from 10.5 Hz up (below, the noise
# biases it, which is what the curve form corrects); the noise ratio of the
# records (0.01) within 30 % where k r is small (below 9 Hz).
printf '%s\n' "$rows" | awk '
  $1 >= 10.5 { d = ($3 - $2) / $2; if (d < 0) d = -d
               if (d > 0.02) { printf "FAILED: SPAC %s m/s at %s Hz, true %s\n", $3, $1, $2; bad = 1 } }
  $1 < 9 && ($5 < 0.007 || $5 > 0.013) { printf "FAILED: noise ratio %s at %s Hz\n", $5, $1; bad = 1 }
  END { exit bad }' || fail=1
# The curve: f, true, c, se, z, method; "-" where none is valid.
printf '%s\n' "$out" | awk '/^The dispersion curve/ { on = 1 } /^The profile/ { on = 0 }
  on && NF == 6 && $1 ~ /^[0-9.]+$/ { n++; z = $5 < 0 ? -$5 : $5; if (z < 2) within++
                                      if (z > 3.5) { printf "FAILED: curve at %s Hz %s se from the truth\n", $1, $5; bad = 1 } }
  END { if (n < 30) { printf "FAILED: %d valid estimates of the curve, expected 30 or more\n", n; bad = 1 }
        else if (within < 0.85 * n) { printf "FAILED: %d of %d estimates within 2 se\n", within, n; bad = 1 }
        exit bad }' || fail=1
# Vs30: "Vs30: MEDIAN m/s, 10-90 % P10 to P90 m/s ..." and the model's.
printf '%s\n' "$out" | awk '
  /^Vs30:/ { p10 = $6; p90 = $8 }
  /^The model.s Vs30:/ { truth = $4 }
  END { if (p10 == "" || truth == "") { print "FAILED: no Vs30 lines"; exit 1 }
        if (truth < p10 + 0 || truth > p90 + 0) { printf "FAILED: the model'"'"'s Vs30 %s outside %s to %s\n", truth, p10, p90; exit 1 } }' ||
  fail=1
exit $fail
