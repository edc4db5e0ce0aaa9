#!/usr/bin/env bash
# Runs the worked example of every program and compares what it writes with
# the expected files.
#
# Usage: examples/check_examples.sh [--update] DIR [PROGRAM...]
#
# DIR is the directory of the programs (build/bin, or PREFIX/bin); without
# PROGRAMs, every example directory (one holding input.txt) is run.
# Each examples/<program>/ holds input.txt (standard input), expected.txt
# (standard output) and, for files the program writes, expected-<file>;
# a program that takes arguments finds them in args.txt, one per line;
# any other file there is data the program reads. The example runs in a
# fresh copy of its directory. --update rewrites the expected files from
# the programs' output instead of comparing (check the diff before
# committing it).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

update=0
if [[ ${1:-} == --update ]]; then
  update=1
  shift
fi
if (($# < 1)); then
  sed -n '5p' "$0" | sed 's/^# //' >&2
  exit 2
fi
dir="$(cd "$1" && pwd)"
shift
programs=("$@")
if ((${#programs[@]} == 0)); then
  for input in "$here"/*/input.txt; do programs+=("$(basename "$(dirname "$input")")"); done
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
for name in "${programs[@]}"; do
  example="$here/$name"
  program="$dir/$name"
  if [[ ! -x $program ]]; then
    echo "FAIL $name: no program $program"
    failures=$((failures + 1))
    continue
  fi
  cp -R "$example" "$work/$name"
  args=()
  if [[ -f $example/args.txt ]]; then
    mapfile -t args < "$example/args.txt"
  fi
  status=0
  (cd "$work/$name" && "$program" "${args[@]}" < input.txt > stdout.txt 2> stderr.txt) || status=$?
  if ((status != 0)); then
    echo "FAIL $name: exit status $status"
    cat "$work/$name/stderr.txt"
    failures=$((failures + 1))
    continue
  fi
  ok=1
  for expected in "$example"/expected.txt "$example"/expected-*; do
    [[ -e $expected ]] || continue
    base=$(basename "$expected")
    if [[ $base == expected.txt ]]; then
      actual="$work/$name/stdout.txt"
    else
      actual="$work/$name/${base#expected-}"
    fi
    if ((update)); then
      cp "$actual" "$expected"
    elif ! cmp -s "$expected" "$actual"; then
      echo "FAIL $name: ${actual#"$work/"} differs from examples/$name/$base"
      diff "$expected" "$actual" | head -n 20 || true
      ok=0
    fi
  done
  if ((ok)); then
    echo "ok   $name"
  else
    failures=$((failures + 1))
  fi
done
exit $((failures > 0))
