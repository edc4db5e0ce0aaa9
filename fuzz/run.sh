#!/usr/bin/env bash
# Builds the libFuzzer targets (the main project with -DCIRCARRAY_FUZZ=ON,
# clang) and runs each for a bounded time.
#
#   fuzz/run.sh [SECONDS [TARGET...]]
#
# SECONDS per target (default 30, or $FUZZ_SECONDS); TARGETs (free_reader,
# vantor, ...) pick some of the targets, all by default.
#
# The build goes to $FUZZ_BUILD_DIR (default build-fuzz in the source tree,
# which git ignores). Each target starts from its committed seeds in
# fuzz/corpus/<target>/ and grows a working corpus in the build directory;
# the committed seeds are never touched. Any crash, sanitizer report, leak,
# an input running longer than 5 seconds or a memory blow-up stops that
# target; the script reports every target and exits 1 if any found
# something. Findings are saved as <build>/artifacts/<target>-*.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
seconds=${1:-${FUZZ_SECONDS:-30}}
shift $(($# > 0 ? 1 : 0))
only=" $* "
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
jobs=${FUZZ_JOBS:-$(nproc 2>/dev/null || echo 2)}

# The main project's fuzz preset (clang, -DCIRCARRAY_FUZZ=ON), built for
# the fuzz targets only. A directory left by the former stand-alone fuzz
# project (configured from fuzz/) is reconfigured from scratch.
if [[ -f $build/CMakeCache.txt ]] && ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$root" "$build/CMakeCache.txt"; then
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
mkdir -p "$build"
(cd "$root" && cmake --preset fuzz -B "$build") >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 2; }
cmake --build "$build" --target fuzz_targets -j "$jobs" >"$build/build.log" 2>&1 || { cat "$build/build.log"; exit 2; }

mkdir -p "$build/artifacts" "$build/logs"
failed=()
printf '%-14s %10s %8s %6s  %s\n' target executions exec/s corpus result
while read -r target; do
  name=${target%_fuzz}
  [[ $only == "  " || $only == *" $name "* ]] || continue
  work="$build/corpus/$name"
  mkdir -p "$work"
  log="$build/logs/$name.log"
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -malloc_limit_mb=2048 \
    -detect_leaks=1 -max_len=8192 -print_final_stats=1 -dict="$here/free_format.dict" \
    -artifact_prefix="$build/artifacts/$name-" "$work" "$here/corpus/$name" >"$log" 2>&1
  status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  size=$(find "$work" -type f | wc -l)
  if ((status == 0)); then
    result=ok
  else
    result="FINDING (status $status, see $log)"
    failed+=("$name")
    grep -m3 -E 'ERROR|fuzz check failed|runtime error|Test unit written' "$log" | sed 's/^/    /'
  fi
  printf '%-14s %10s %8s %6s  %s\n' "$name" "${execs:-?}" "${rate:-?}" "$size" "$result"
done <"$build/fuzz/targets.txt"

if ((${#failed[@]} > 0)); then
  echo "fuzzing found problems in: ${failed[*]}"
  exit 1
fi
echo "fuzzing: no findings"
