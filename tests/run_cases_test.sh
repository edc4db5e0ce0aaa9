#!/usr/bin/env bash
# Checks tests/run_cases.sh itself: a driver that passed a wrong output
# would make every case worthless. The program under test is a stand-in,
# "sh", whose standard input is the script of what the run does, so each
# case below says in one line what the program writes, and whether the
# driver must accept it ("ok") or reject it ("FAIL" and a reason).
#
# Usage: tests/run_cases_test.sh
set -u
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/cases/fake"
ln -s "$(command -v sh)" "$work/bin/fake"

source "$here/checks.sh"
# expect NAME VERDICT REASON: the driver's verdict on case fake/NAME.
expect() {
  local name=$1 verdict=$2 reason=$3 out status=0
  out=$(bash "$here/run_cases.sh" "$work/bin" "$work/cases" "fake/$name" 2>&1) || status=$?
  if [[ $verdict == ok ]]; then
    if ((status != 0)) || ! grep -qx "ok   fake/$name" <<<"$out"; then
      echo "FAILED: $name should pass:"
      printf '%s\n' "$out"
      fail=1
    fi
  elif ((status == 0)) || ! grep -q "^FAIL fake/$name: .*$reason" <<<"$out"; then
    echo "FAILED: $name should fail with \"$reason\":"
    printf '%s\n' "$out"
    fail=1
  fi
}

# new_case NAME SCRIPT: a case whose run executes SCRIPT, expected to
# write "out" on standard output and nothing else.
new_case() {
  mkdir -p "$work/cases/fake/$1"
  printf '%s\n' "$2" > "$work/cases/fake/$1/stdin"
  printf 'out\n' > "$work/cases/fake/$1/expected_stdout"
}
at() { echo "$work/cases/fake/$1"; }

new_case exact 'echo out'
expect exact ok ''

new_case stdout_differs 'echo Out'
expect stdout_differs FAIL 'standard output differs'

new_case missing_newline 'printf out'
expect missing_newline FAIL 'standard output differs'

new_case unexpected_stderr 'echo out; echo warning >&2'
expect unexpected_stderr FAIL 'standard error differs'

new_case stderr_exact 'echo out; echo "fake: line 1" >&2; exit 2'
printf 'fake: line 1\n' > "$(at stderr_exact)/expected_stderr"
printf '2\n' > "$(at stderr_exact)/expected_status"
expect stderr_exact ok ''

new_case stderr_missing 'echo out'
printf 'fake: line 1\n' > "$(at stderr_missing)/expected_stderr"
expect stderr_missing FAIL 'standard error differs'

new_case status_differs 'echo out; exit 3'
expect status_differs FAIL 'exit status 3, expected 0'

new_case status_expected_but_zero 'echo out'
printf '2\n' > "$(at status_expected_but_zero)/expected_status"
expect status_expected_but_zero FAIL 'exit status 0, expected 2'

new_case pattern_matches 'echo out; echo "cannot open the input file \"$PWD/x\"" >&2'
printf 'cannot open the input file ".*/x"\n' > "$(at pattern_matches)/expected_stderr_pattern"
expect pattern_matches ok ''

new_case pattern_partial 'echo out; echo "error: cannot open x, and more" >&2'
printf 'cannot open x\n' > "$(at pattern_partial)/expected_stderr_pattern"
expect pattern_partial FAIL 'does not match its pattern'

new_case pattern_extra_line 'echo out; echo one >&2; echo two >&2'
printf 'one\n' > "$(at pattern_extra_line)/expected_stderr_pattern"
expect pattern_extra_line FAIL 'standard error has 2 lines, the patterns 1'

new_case both_stderr_kinds 'echo out'
: > "$(at both_stderr_kinds)/expected_stderr"
: > "$(at both_stderr_kinds)/expected_stderr_pattern"
expect both_stderr_kinds FAIL 'both expected_stderr and expected_stderr_pattern'

new_case no_expected_stdout 'echo out'
rm "$(at no_expected_stdout)/expected_stdout"
expect no_expected_stdout FAIL 'no expected_stdout'

new_case input_file_read 'cat data.txt'
mkdir "$(at input_file_read)/input_files"
printf 'out\n' > "$(at input_file_read)/input_files/data.txt"
expect input_file_read ok ''

new_case file_written 'echo out; printf "1 2\n" > result.d'
mkdir "$(at file_written)/expected_files"
printf '1 2\n' > "$(at file_written)/expected_files/result.d"
expect file_written ok ''

new_case file_differs 'echo out; printf "1 3\n" > result.d'
mkdir "$(at file_differs)/expected_files"
printf '1 2\n' > "$(at file_differs)/expected_files/result.d"
expect file_differs FAIL 'file result.d differs'

new_case file_not_written 'echo out'
mkdir "$(at file_not_written)/expected_files"
printf '1 2\n' > "$(at file_not_written)/expected_files/result.d"
expect file_not_written FAIL 'the run left no file result.d'

new_case absent_file_written 'echo out; : > fort.7'
printf 'fort.7\n' > "$(at absent_file_written)/absent_files"
expect absent_file_written FAIL 'the run left a file fort.7'

new_case absent_file_kept_absent 'echo out'
printf 'fort.7\n' > "$(at absent_file_kept_absent)/absent_files"
expect absent_file_kept_absent ok ''

# Each case runs in a fresh directory: a file left by one run is not there
# for the next, and the case's own input files are never changed.
new_case fresh_directory 'test -e left.txt && exit 1; echo out; : > left.txt; echo changed > data.txt'
mkdir "$(at fresh_directory)/input_files"
printf 'original\n' > "$(at fresh_directory)/input_files/data.txt"
out=$(bash "$here/run_cases.sh" "$work/bin" "$work/cases" fake/fresh_directory fake/fresh_directory 2>&1)
if ! grep -qx '2 passed, 0 failed' <<<"$out"; then
  echo "FAILED: two runs of one case in one call should both pass:"
  printf '%s\n' "$out"
  fail=1
fi
if [[ $(cat "$(at fresh_directory)/input_files/data.txt") != original ]]; then
  echo "FAILED: a run changed the case's input file"
  fail=1
fi

# Selection and summary: one failing case makes the whole run fail, and a
# named case or program that does not exist is a failure, not a pass.
status=0
bash "$here/run_cases.sh" "$work/bin" "$work/cases" fake > "$work/all.log" 2>&1 || status=$?
if ((status != 1)) || ! grep -q '^FAIL fake/stdout_differs' "$work/all.log" ||
  ! grep -q '^ok   fake/exact$' "$work/all.log"; then
  echo "FAILED: the run of every case (status $status):"
  cat "$work/all.log"
  fail=1
fi
expect no_such_case FAIL 'no such case'
expect_refusal "a program without cases should fail" '^FAIL missing: no cases' \
  bash "$here/run_cases.sh" "$work/bin" "$work/cases" missing
mkdir -p "$work/cases/unbuilt/one"
: > "$work/cases/unbuilt/one/expected_stdout"
expect_refusal "a program missing from BIN_DIR should fail" '^FAIL unbuilt/one: no program' \
  bash "$here/run_cases.sh" "$work/bin" "$work/cases" unbuilt

exit $fail
