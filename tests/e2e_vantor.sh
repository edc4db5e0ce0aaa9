#!/usr/bin/env bash
# vantor as a user runs it: the shipped demo data, a run-time error, and a
# failing output device.
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

# An unreadable parameter record: message on standard error, status 2,
# nothing on standard output.
err=$(printf 'one 2 3 4\n' | "$vantor" 2>&1 >/dev/null)
status=$(printf 'one 2 3 4\n' | "$vantor" >/dev/null 2>&1; echo $?)
check "runtime error status ($status)" test "$status" -eq 2
check "runtime error message ($err)" grep -q '^vantor: line 1: ' <<<"$err"

# A full device is a failure, never a silent success.
status=$("$vantor" < "$examples/spac_itype1.txt" > /dev/full 2>/dev/null; echo $?)
check "write failure status ($status)" test "$status" -ne 0

exit $fail
