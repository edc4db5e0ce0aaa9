#!/usr/bin/env bash
# No program carries test code: no function that the test benches define
# (array_testing/, testsupport/) is defined in any program binary.
#
# Usage: no_test_code_test.sh BIN_DIR TEST_LIBRARY...
set -u
bin=$1
shift
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

bench_symbols=$(mktemp)
trap 'rm -f "$bench_symbols"' EXIT
# The functions and data the benches define (T, D, B, R symbols), by their
# mangled names; weak symbols (inline functions, templates) are left out,
# since a program may instantiate the same inline code of a shared header.
for library in "$@"; do
  nm --defined-only "$library" 2>/dev/null | awk '$2 ~ /^[TDBR]$/ {print $3}'
done | sort -u >"$bench_symbols"
[[ -s $bench_symbols ]] || failed "no symbols read from the test libraries: $*"

checked=0
while read -r program directory; do
  [[ -x $bin/$program ]] || continue
  found=$(nm --defined-only "$bin/$program" | awk '{print $3}' | sort -u | comm -12 - "$bench_symbols")
  if [[ -n $found ]]; then
    failed "$program defines test-bench symbols: $(c++filt <<<"$found" | head -5 | tr '\n' ';')"
  fi
  checked=$((checked + 1))
done <"$bin/programs.txt"
((checked > 0)) || failed "no program binary found in $bin"
exit $fail
