# Shared by the install and package tests (sourced after setting scratch_name): a scratch folder that
# goes away at exit, and pass/fail counting that ends with the plain
# "N passed, N failed" line.
work=$(mktemp -d "${TMPDIR:-/tmp}/chronara-$scratch_name.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

pass() { passed=$((passed + 1)); printf 'ok   %s\n' "$1"; }
fail() { failed=$((failed + 1)); printf 'FAIL %s\n' "$1"; }
check() {
  what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
  printf '%s passed, %s failed\n' "$passed" "$failed"
  [ "$failed" -eq 0 ]
  exit
}
