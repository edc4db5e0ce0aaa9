# What the shell test scripts share; sourced, not run:
#   source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
# `fail` is the script's exit status: 0 until a check fails.
fail=0

# failed WHAT...: reports a failed check and marks the run as failed.
failed() {
  echo "FAILED: $*"
  fail=1
}

# expect_refusal WHAT PATTERN COMMAND...: COMMAND must fail and print a
# line matching the extended regular expression PATTERN.
expect_refusal() {
  local what=$1 pattern=$2 out status=0
  shift 2
  out=$("$@" 2>&1) || status=$?
  if ((status == 0)) || ! grep -qE "$pattern" <<<"$out"; then
    failed "$what (status $status): $out"
  fi
}
