#!/usr/bin/env bash
# Builds the Debian package with CPack and checks what it holds: the
# programs in /usr/bin, their compressed manual pages, the copyright file
# and changelog, a dependency line, and lintian's verdict (no errors).
#
# Usage: deb_test.sh BUILD_DIR MAN_PAGES(ON|OFF) PROGRAM...
set -u
build=$1
man_pages=$2
shift 2

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAILED: cpack"
  exit 1
fi
deb=$(ls "$work"/*.deb 2>/dev/null | head -n 1)
[[ -n $deb ]] || { echo "FAILED: no .deb produced"; exit 1; }

contents=$(dpkg-deb -c "$deb")
for program in "$@"; do
  grep -q " \./usr/bin/$program\$" <<<"$contents" || failed "$program not in /usr/bin"
  if [[ $man_pages == ON ]]; then
    grep -q " \./usr/share/man/man1/$program\.1\.gz\$" <<<"$contents" || failed "no manual page $program.1.gz"
  fi
done
[[ $(dpkg-deb -f "$deb" Package) == circarray ]] || failed "package name"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libc6' <<<"$depends" || failed "Depends lacks libc6: '$depends'"
grep -q 'libstdc++6' <<<"$depends" || failed "Depends lacks libstdc++6: '$depends'"
for doc in copyright changelog.Debian.gz; do
  grep -q " \./usr/share/doc/circarray/$doc\$" <<<"$contents" || failed "no /usr/share/doc/circarray/$doc"
done
if command -v lintian >/dev/null; then
  # Errors fail the test; warnings are shown for the record.
  lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; failed "lintian errors"; }
  grep -E '^(E|W): ' "$work/lintian.log" || true
else
  echo "SKIPPED lintian: not installed (apt-get install lintian)"
fi
exit $fail
