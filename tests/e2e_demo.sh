#!/usr/bin/env bash
# The demo as a user runs it: circsim -> circspec -> vantor / quillon must
# recover the true curve where the 10 m ring resolves it, and find the noise
# ratio that circsim put into the records.
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
# The table rows: f, true velocity, SPAC (itype 1), CCA (itype 5), noise.
rows=$(printf '%s\n' "$out" | awk 'NF == 5 && $1 ~ /^[0-9.]+$/')
count=$(printf '%s\n' "$rows" | grep -c .)
if [ "$count" -ne 25 ]; then
  echo "FAILED: $count table rows instead of 25"
  fail=1
fi
# SPAC within 2 % of the true curve from 5.5 to 12 Hz; the noise ratio of
# the records (0.01) within 30 % where k r is small (below 6 Hz).
printf '%s\n' "$rows" | awk '
  $1 >= 5.5 { d = ($3 - $2) / $2; if (d < 0) d = -d
              if (d > 0.02) { printf "FAILED: SPAC %s m/s at %s Hz, true %s\n", $3, $1, $2; bad = 1 } }
  $1 < 6 && ($5 < 0.007 || $5 > 0.013) { printf "FAILED: noise ratio %s at %s Hz\n", $5, $1; bad = 1 }
  END { exit bad }' || fail=1
exit $fail
