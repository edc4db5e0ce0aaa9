#!/usr/bin/env bash
# The real programs on output that cannot be written: standard output on a
# full device and on a pipe nobody reads, and output files on a full
# device. Each must end with exactly one line on standard error, starting
# with its name, and a non-zero status. A message stop written through a
# real file keeps every line before the message.
#
#   e2e_failing_output.sh CLOSED_STDOUT WORK_DIR BIN_DIR CASES_DIR
#
# CLOSED_STDOUT is the helper of that name; BIN_DIR holds the built
# programs and programs.txt ("name directory" lines); CASES_DIR holds one
# directory per program, whose files say how to run it (each optional):
#   input         standard input of a run that writes standard output
#   stop_input    standard input of a run that ends by the program's message
#   stop_lines    the lines that message stop leaves in a real file
#   stop_message  text its last line holds
#   files/        data files the runs read, copied into the run directory
#                 (a link is copied as the file it names: programs that
#                 read the same record link to ../e2e_record.d)
#   files_input   standard input of a run that writes the files in `outputs`
#                 (default: input)
#   outputs       those files, one a line; each in turn is a link to
#                 /dev/full for that run, which must then fail
#   stdout_lines  the lines standard output still holds in such a run
# Each program runs in WORK_DIR/<name>. A program of the list without a
# directory in CASES_DIR has no case here, and is named as such.
set -u
closed=$(readlink -f "$1")
work=$2
bin=$(readlink -f "$3")
cases=$(readlink -f "$4")
rm -rf "$work" && mkdir -p "$work" || exit 2
work=$(readlink -f "$work")
source "$(dirname "${BASH_SOURCE[0]}")/../tests/checks.sh"

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

# check_program NAME CASE-DIRECTORY: every check of one program, run in
# the current directory.
check_program() {
  local name=$1 dir=$2 prog=$bin/$1
  if [[ ! -x $prog ]]; then
    failed "$name: program not built in $bin"
    return
  fi
  if [[ -d $dir/files ]]; then cp -RL "$dir/files/." .; fi

  local case
  for case in input stop_input; do
    [[ -f $dir/$case ]] || continue

    "$prog" <"$dir/$case" >/dev/full 2>err
    expect_failure "$name $case > /dev/full" "$name" $? err

    "$closed" "$prog" <"$dir/$case" 2>err
    expect_failure "$name $case on a closed pipe" "$name" $? err

    "$prog" <"$dir/$case" >out 2>err
    local status=$?
    if ((status != 0)) || [[ -s err ]] || [[ -n $(tail -c1 out) ]]; then
      failed "$name $case to a file: status $status, stderr '$(cat err)'"
    fi
  done

  # The message stop keeps its lines in a real file.
  if [[ -f $dir/stop_lines || -f $dir/stop_message ]]; then
    "$prog" <"$dir/stop_input" >out 2>err
    if [[ -f $dir/stop_lines ]]; then
      local want
      want=$(<"$dir/stop_lines")
      [[ $(wc -l <out) -eq $want ]] || failed "$name message stop: $(wc -l <out) lines, not $want"
    fi
    if [[ -f $dir/stop_message ]]; then
      tail -n1 out | grep -qF "$(<"$dir/stop_message")" || failed "$name message stop: last line $(tail -n1 out)"
    fi
  fi

  # Each output file in turn on a full device.
  [[ -f $dir/outputs ]] || return
  local input=$dir/files_input file
  [[ -f $input ]] || input=$dir/input
  while IFS= read -r file; do
    [[ -n $file ]] || continue
    rm -f "$file" && ln -s /dev/full "$file"
    "$prog" <"$input" >out 2>err
    expect_failure "$name $file on /dev/full" "$name" $? err
    if [[ -f $dir/stdout_lines ]]; then
      [[ $(wc -l <out) -eq $(<"$dir/stdout_lines") ]] ||
        failed "$name $file on /dev/full: standard output holds $(wc -l <out) lines, not $(<"$dir/stdout_lines")"
    fi
    rm -f "$file"
  done <"$dir/outputs"
}

[[ -f $bin/programs.txt ]] || {
  echo "FAILED: no $bin/programs.txt"
  exit 2
}
mapfile -t entries <"$bin/programs.txt"
declare -A listed=()
for entry in "${entries[@]}"; do
  name=${entry%% *}
  [[ -n $name ]] || continue
  listed[$name]=1
  if [[ ! -d $cases/$name ]]; then
    echo "note: $name has no end-to-end case in $cases"
    continue
  fi
  mkdir -p "$work/$name" && cd "$work/$name" || exit 2
  check_program "$name" "$cases/$name"
done

# A case directory of a program that is not in the list is a stale case.
for dir in "$cases"/*/; do
  name=$(basename "$dir")
  [[ -n ${listed[$name]:-} ]] || failed "$name: case directory for a program not in programs.txt"
done

exit $fail
