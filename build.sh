#!/usr/bin/env bash
# Builds the suite and runs its demo, tests, sanitizer tests or benchmarks.
#
#   ./build.sh demo       install missing packages, build, run the demo
#   ./build.sh test       install missing packages, build, run all tests
#   ./build.sh sanitize   the tests again, built with ASan and UBSan
#   ./build.sh bench      build and run the benchmarks
#   ./build.sh fuzz       build the fuzz targets with clang, run each briefly
#   ./build.sh format     check that every C++ file is as clang-format lays it out
#
# Missing Debian packages are installed with apt-get (directly as root,
# else through sudo).
set -euo pipefail
cd "$(dirname "$0")"

packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev libboost-dev libfftw3-dev
          libmseed-dev help2man lintian gnuplot-nox sac2mseed mseed2sac)

install_missing() {
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]} == 0)) && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  [[ $(id -u) -ne 0 ]] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

# Each command uses the configure, build and test presets of the same name
# in CMakePresets.json (release: build/, sanitize: build-sanitize/,
# bench: build-bench/, fuzz: build-fuzz/ through fuzz/run.sh).
build() {  # build PRESET
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$jobs"
}

run_tests() {  # run_tests PRESET
  ctest --preset "$1" -j "$jobs"
}

case "${1:-}" in
  demo)
    install_missing
    build release
    examples/demo.sh build
    ;;
  test)
    install_missing
    build release
    run_tests release
    ;;
  sanitize)
    install_missing
    build sanitize
    run_tests sanitize  # with ASAN_OPTIONS=detect_leaks=1, UBSAN_OPTIONS=print_stacktrace=1
    ;;
  bench)
    install_missing
    build bench
    for b in build-bench/*/*_bench; do
      echo "== $b"
      "$b"
    done
    ;;
  fuzz)
    packages+=(clang libclang-rt-14-dev)
    install_missing
    fuzz/run.sh
    ;;
  format)
    # The style of .clang-format; a file that differs is listed with the
    # lines clang-format would change (`clang-format -i FILE` mends it).
    packages=(clang-format)
    install_missing
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
    echo "clang-format: every C++ file is formatted"
    ;;
  *)
    sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
