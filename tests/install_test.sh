#!/usr/bin/env bash
# Installs the build into a temporary prefix, as `cmake --install` does for
# a user, and checks the installed programs: each answers --help and
# --version, has its manual page (when the build made them), runs the
# example its --help shows with the output shown there, and runs its worked
# example from examples/ with the expected output (every filter has one).
#
# Usage: install_test.sh BUILD_DIR SOURCE_DIR MAN_PAGES(ON|OFF) PROGRAM...
set -u
build=$1
source=$2
man_pages=$3
shift 3

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

cmake --install "$build" --prefix "$prefix" > "$prefix.log" 2>&1 || {
  cat "$prefix.log"
  failed "cmake --install"
}
rm -f "$prefix.log"

version=$(sed -n 's/^project(circarray VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
worked=()  # the programs whose worked example (examples/NAME/) is run
for program in "$@"; do
  bin="$prefix/bin/$program"
  if [[ ! -x $bin ]]; then
    failed "$program is not installed in bin/"
    continue
  fi
  help=$("$bin" --help) || failed "$program --help exit status"
  grep -q "^Usage: $program " <<<"$help" || failed "$program --help has no usage line"
  # A filter (its usage line says it reads standard input) describes that
  # input and has a worked example; a tool with options and files may.
  filter=0
  grep -q "^Usage: $program \[--help | --version\] < input" <<<"$help" && filter=1
  if ((filter)); then
    grep -q "^Standard input" <<<"$help" || failed "$program --help does not describe standard input"
  fi
  if ((filter)) || [[ -e $source/examples/$program/input.txt ]]; then worked+=("$program"); fi
  grep -q "^Example" <<<"$help" || failed "$program --help has no example"
  [[ $("$bin" --version) == "$program (circarray) $version" ]] || failed "$program --version"
  if [[ $man_pages == ON ]]; then
    page="$prefix/share/man/man1/$program.1.gz"
    if [[ ! -s $page ]]; then
      failed "no manual page $program.1.gz"
    else
      zcat "$page" | grep -q "^\.SH NAME" || failed "$program.1 has no NAME section"
      if ((filter)); then
        zcat "$page" | grep -q "^\.SS \"Standard input" || failed "$program.1 lacks the input layout"
      fi
    fi
  fi
done

for doc in copyright changelog.Debian.gz; do
  [[ -s $prefix/share/doc/circarray/$doc ]] || failed "no share/doc/circarray/$doc"
done

# The examples of the help texts, run as shown there.
bash "$source/tests/help_examples.sh" "$prefix/bin" "$source/examples/help" "$@" || failed "help examples"

# The worked examples, run with the installed programs.
bash "$source/examples/check_examples.sh" "$prefix/bin" "${worked[@]}" || failed "examples with the installed programs"

exit $fail
