#!/usr/bin/env bash
# Runs the end-to-end cases of the programs: each case is a directory of
# data (standard input, input files, the exact expected outputs) laid out
# as tests/cases/README.md describes. A case runs the program from BIN_DIR
# in a fresh working directory of its own, and every output is compared
# byte for byte.
#
# Usage: tests/run_cases.sh BIN_DIR CASES_DIR [PROGRAM[/CASE]...]
#
# Without a PROGRAM, every case of every program under CASES_DIR is run;
# PROGRAM runs all of its cases, PROGRAM/CASE just that one. Prints "ok" or
# "FAIL" per case, with the difference on failure, and exits with status 1
# if any case failed (2 for a usage error).
set -uo pipefail

if (($# < 2)); then
  sed -n '8p' "$0" | sed 's/^# //' >&2
  exit 2
fi
bin_dir="$(cd "$1" && pwd)" || exit 2
cases_dir="$(cd "$2" && pwd)" || exit 2
shift 2

selected=("$@")
if ((${#selected[@]} == 0)); then
  for dir in "$cases_dir"/*/; do selected+=("$(basename "$dir")"); done
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
passes=0

# fail CASE WHAT: report one failed expectation of a case.
fail() {
  echo "FAIL $1: $2"
  case_ok=0
}

# show_diff EXPECTED ACTUAL: the start of the difference, for the log.
show_diff() {
  diff -u --label expected --label actual "$1" "$2" | head -n 40
}

# expect_same CASE WHAT EXPECTED ACTUAL: ACTUAL holds EXPECTED's bytes.
expect_same() {
  if ! cmp -s "$3" "$4"; then
    fail "$1" "$2 differs"
    show_diff "$3" "$4"
  fi
}

# check_stderr_pattern CASE PATTERNS ACTUAL: one extended regular
# expression per line of standard error, each matching its whole line,
# and no line more or less.
check_stderr_pattern() {
  local name=$1 patterns=$2 actual=$3
  if [[ -s $actual && $(tail -c 1 "$actual" | od -An -tx1 | tr -d ' ') != 0a ]]; then
    fail "$name" "standard error does not end with a newline"
    return
  fi
  local -a expected_lines actual_lines
  mapfile -t expected_lines < "$patterns"
  mapfile -t actual_lines < "$actual"
  if ((${#expected_lines[@]} != ${#actual_lines[@]})); then
    fail "$name" "standard error has ${#actual_lines[@]} lines, the patterns ${#expected_lines[@]}"
    sed 's/^/  | /' "$actual"
    return
  fi
  local i
  for i in "${!expected_lines[@]}"; do
    if ! grep -qxE -- "${expected_lines[i]}" <<<"${actual_lines[i]}"; then
      fail "$name" "line $((i + 1)) of standard error does not match its pattern"
      echo "  pattern: ${expected_lines[i]}"
      echo "  line:    ${actual_lines[i]}"
    fi
  done
}

# run_case PROGRAM CASE: one case, reported on one line (more on failure).
run_case() {
  local program=$1 name="$1/$2"
  local case_dir="$cases_dir/$name"
  local run
  local exe="$bin_dir/$program"
  case_ok=1

  if [[ ! -x $exe ]]; then
    fail "$name" "no program $exe"
    return
  fi
  if [[ ! -f $case_dir/expected_stdout ]]; then
    fail "$name" "the case has no expected_stdout"
    return
  fi
  if [[ -e $case_dir/expected_stderr && -e $case_dir/expected_stderr_pattern ]]; then
    fail "$name" "the case has both expected_stderr and expected_stderr_pattern"
    return
  fi

  run=$(mktemp -d "$work/run.XXXXXX") && mkdir "$run/dir" || {
    fail "$name" "cannot make a working directory"
    return
  }
  if [[ -d $case_dir/input_files ]]; then
    cp -R "$case_dir/input_files/." "$run/dir/"
  fi
  local input=/dev/null
  [[ -e $case_dir/stdin ]] && input="$case_dir/stdin"

  local status=0
  (cd "$run/dir" && exec "$exe" < "$input" > "$run/stdout" 2> "$run/stderr") || status=$?

  local expected_status=0
  if [[ -e $case_dir/expected_status ]]; then
    expected_status=$(tr -d ' \n' < "$case_dir/expected_status")
  fi
  if [[ $status != "$expected_status" ]]; then
    fail "$name" "exit status $status, expected $expected_status"
  fi

  expect_same "$name" "standard output" "$case_dir/expected_stdout" "$run/stdout"

  if [[ -e $case_dir/expected_stderr_pattern ]]; then
    check_stderr_pattern "$name" "$case_dir/expected_stderr_pattern" "$run/stderr"
  else
    local expected_stderr=/dev/null
    [[ -e $case_dir/expected_stderr ]] && expected_stderr="$case_dir/expected_stderr"
    expect_same "$name" "standard error" "$expected_stderr" "$run/stderr"
  fi

  if [[ -d $case_dir/expected_files ]]; then
    local expected file
    while IFS= read -r -d '' expected; do
      file=${expected#"$case_dir/expected_files/"}
      if [[ ! -f $run/dir/$file ]]; then
        fail "$name" "the run left no file $file"
      else
        expect_same "$name" "file $file" "$expected" "$run/dir/$file"
      fi
    done < <(find "$case_dir/expected_files" -type f -print0 | sort -z)
  fi

  if [[ -e $case_dir/absent_files ]]; then
    local absent
    while IFS= read -r absent; do
      [[ -z $absent ]] && continue
      if [[ -e $run/dir/$absent || -L $run/dir/$absent ]]; then
        fail "$name" "the run left a file $absent, which must not exist"
      fi
    done < "$case_dir/absent_files"
  fi

  if ((case_ok)); then
    echo "ok   $name"
  fi
}

for selector in "${selected[@]}"; do
  program=${selector%%/*}
  if [[ $selector == */* ]]; then
    names=("${selector#*/}")
  else
    names=()
    for dir in "$cases_dir/$program"/*/; do
      [[ -d $dir ]] && names+=("$(basename "$dir")")
    done
  fi
  if ((${#names[@]} == 0)); then
    echo "FAIL $selector: no cases in $cases_dir/$program"
    failures=$((failures + 1))
    continue
  fi
  for case_name in "${names[@]}"; do
    if [[ ! -d $cases_dir/$program/$case_name ]]; then
      echo "FAIL $program/$case_name: no such case in $cases_dir"
      failures=$((failures + 1))
      continue
    fi
    run_case "$program" "$case_name"
    if ((case_ok)); then
      passes=$((passes + 1))
    else
      failures=$((failures + 1))
    fi
  done
done

echo "$passes passed, $failures failed"
exit $((failures > 0))
