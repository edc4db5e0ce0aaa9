#!/usr/bin/env bash
# vantor as a user runs it, where an exact output is not the point: the
# shipped demo data recover the true curve, and a failing output device is
# a failure. The exact outputs (the demo run itself, a run-time error) are
# cases under tests/cases/vantor/.
set -u
vantor=$1
examples=$2
fail=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if ! "$@"; then
    echo "FAILED: $what"
    fail=1
  fi
}

# The demo data recover the true curve within 2 per cent.
out=$("$vantor" < "$examples/spac_itype1.txt")
check "demo exit status" test $? -eq 0
check "demo line count" test "$(printf '%s\n' "$out" | wc -l)" -eq 17
worst=$(paste "$examples/true_velocity.txt" <(printf '%s\n' "$out") |
  awk '{ d = ($4 - $2) / $2; if (d < 0) d = -d; if (d > m) m = d } END { print m }')
check "demo accuracy ($worst)" awk -v w="$worst" 'BEGIN { exit !(w < 0.02) }'

# A full device is a failure, never a silent success.
status=$("$vantor" < "$examples/spac_itype1.txt" > /dev/full 2>/dev/null; echo $?)
check "write failure status ($status)" test "$status" -ne 0

exit $fail
