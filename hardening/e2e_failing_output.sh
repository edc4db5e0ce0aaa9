#!/usr/bin/env bash
# The real programs on output that cannot be written: standard output on a
# full device and on a pipe nobody reads, and output files on a full
# device. Each must end with exactly one line on standard error, starting
# with its name, and a non-zero status. A message stop written through a
# real file keeps every line before the message.
#
#   e2e_failing_output.sh CLOSED_STDOUT WORK_DIR PROGRAM...
#
# CLOSED_STDOUT is the helper of that name; each PROGRAM is the path of a
# built program.
set -u
closed=$(readlink -f "$1")
work=$2
shift 2
declare -A path
for p in "$@"; do path[$(basename "$p")]=$(readlink -f "$p"); done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 2
fail=0
failed() {
  echo "FAILED: $*"
  fail=1
}

# expect_failure WHAT PROGRAM-NAME STATUS ERRFILE
expect_failure() {
  local what=$1 name=$2 status=$3 errfile=$4
  if ((status == 0 || status >= 128)); then
    failed "$what: status $status"
  fi
  if [[ $(wc -l <"$errfile") -ne 1 ]] || ! grep -q "^$name: " "$errfile"; then
    failed "$what: diagnostic is not one line: $(head -c 300 "$errfile")"
  fi
}

printf '1 10\n2 100\n3 1000\n' >pair.d
printf '0.00 1 2 3\n0.01 2 3 4\n0.02 -1 0 1\n0.03 0.5 1 2\n' >record.d
# Runs that write to standard output (gauger and wendle write files only).
declare -A input=(
  [vantor]=$'1 10.0 0.0 100\n2.0 0.5\n3.0 0.4\n'
  [quillon]=$'3.0 4\n2 0.5 2 0.5 2 7.5\n'
  [tessel]=$'0.1 1\n'
  [hollin]=$'1 2\n0.75 1 0 0\n0 1 0 0\n0 0.5 0 0\n0 1 0 0\n0 1 0 0\n0 0.1 0 0\n0 1 0 0\n'
  [resampa]=$'pair.d\n5\n1\n'
  [snippa]=$'2 2\n5\n0.5\n1.25\n1\n2\n3\n4\n5\n'
  [corral]=$'1 2\nrecord.d\n1\n0\ncorral_u.d\n'
)
# A message stop, for each program that has one.
declare -A stop=(
  [vantor]=$'7 1 1 1\n'
  [quillon]=$'3.0 4\n2 0.5 2 0.5 2 7.5\n6 .5 7 .5 6 0\n'
  [tessel]=$'0.9995 1\n'
  [hollin]=$'3 2\n'
  [resampa]=$'pair.d\n1e9\n1\n'
  [gauger]=$'0.02\n0.01\n0\n0.5\n0\nx\nrecord.d\nrms.d\n'
  [wendle]=$'3\n1\nmissing.d\nw_\n'
  [corral]=$'1 2\nrecord.d\n9\n0\n'
)

for name in "${!path[@]}"; do
  prog=${path[$name]:-}
  if [[ ! -x $prog ]]; then
    failed "$name: program not given"
    continue
  fi
  for case in input stop; do
    declare -n cases=$case
    [[ -n ${cases[$name]:-} ]] || continue
    text=${cases[$name]}

    printf '%s' "$text" | "$prog" >/dev/full 2>err
    expect_failure "$name $case > /dev/full" "$name" $? err

    printf '%s' "$text" | "$closed" "$prog" 2>err
    expect_failure "$name $case on a closed pipe" "$name" $? err

    printf '%s' "$text" | "$prog" >out 2>err
    status=$?
    if ((status != 0)) || [[ -s err ]] || [[ -n $(tail -c1 out) ]]; then
      failed "$name $case to a file: status $status, stderr '$(cat err)'"
    fi
  done
  unset -n cases
done

# The message stop keeps its 203 table rows in a real file.
prog=${path[tessel]}
printf '0.9995 1\n' | "$prog" >out 2>err
[[ $(wc -l <out) -eq 204 ]] || failed "tessel message stop: $(wc -l <out) lines, not 204"
tail -n1 out | grep -q 'Error:nz or ierr in cbesj()' || failed "tessel message stop: last line $(tail -n1 out)"

# quillon's second file on a full device.
prog=${path[quillon]}
rm -f fort.7 && ln -s /dev/full fort.7
printf '%s' "${input[quillon]}" | "$prog" >out 2>err
expect_failure "quillon fort.7 on /dev/full" quillon $? err
[[ $(wc -l <out) -eq 1 ]] || failed "quillon fort.7 on /dev/full: standard output lost its line"
rm -f fort.7

# Result and component files on a full device.
printf '0.02\n0.01\n0\n0.5\n0\nu\nrecord.d\n/dev/full\n' | "${path[gauger]}" >out 2>err
expect_failure "gauger result file on /dev/full" gauger $? err
printf '1 2\nrecord.d\n1\n0\n/dev/full\n' | "${path[corral]}" >out 2>err
expect_failure "corral output file on /dev/full" corral $? err
ln -sf /dev/full w_e.d
printf '3\n1\nrecord.d\nw_\n' | "${path[wendle]}" >out 2>err
expect_failure "wendle component file on /dev/full" wendle $? err
rm -f w_e.d

exit $fail
