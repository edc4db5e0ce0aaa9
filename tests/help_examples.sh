#!/usr/bin/env bash
# Runs the example of every program's --help text and compares what it
# prints with the output the help text shows.
#
# Usage: help_examples.sh BIN_DIR DATA_DIR PROGRAM...
#
# An example is the part of the help from a line starting "Example": lines
# "  $ command" are run in order by bash in a fresh directory holding a copy
# of DATA_DIR (the files the examples read), with BIN_DIR first on PATH;
# the lines after a command, up to the next command, are its expected
# output, indented by two blanks. Trailing blanks are not compared (the
# help text cannot show them).
set -u
bin=$(cd "$1" && pwd)
data=$(cd "$2" && pwd)
shift 2
fail=0
for program in "$@"; do
  work=$(mktemp -d)
  cp -R "$data"/. "$work"/
  expected="$work/.expected"
  actual="$work/.actual"
  : >"$expected"
  : >"$actual"
  commands=0
  while IFS= read -r line; do
    ((commands == 0)) && [[ $line != '  $ '* ]] && continue  # the heading, maybe two lines
    if [[ $line == '  $ '* ]]; then
      command=${line#'  $ '}
      commands=$((commands + 1))
      (cd "$work" && PATH="$bin:$PATH" bash -c "$command") >>"$actual" 2>&1
    else
      printf '%s\n' "${line#  }" >>"$expected"
    fi
  done < <("$bin/$program" --help | sed -n '/^Example/,$p' | sed '1d')
  if ((commands == 0)); then
    echo "FAIL $program: no example in --help"
    fail=1
  elif ! diff <(sed 's/ *$//' "$expected") <(sed 's/ *$//' "$actual") >"$work/.diff"; then
    echo "FAIL $program: the help example prints something else"
    cat "$work/.diff"
    fail=1
  else
    echo "ok   $program ($commands commands)"
  fi
  rm -rf "$work"
done
exit $fail
