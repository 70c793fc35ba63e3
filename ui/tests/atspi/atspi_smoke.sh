#!/usr/bin/env bash
# CTest's ui.atspi_smoke: atspi_smoke.py on a virtual X display with a
# session bus of its own, where the AT-SPI bus and registry are started on
# demand. Exits 77 (skipped) only when a package it needs is not installed
# (scripts/install-deps.sh installs them all).
#
#   atspi_smoke.sh VIEWER SAMPLE_DISK HELP_FILE [--dump]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

missing=()
for tool in xvfb-run Xvfb xauth dbus-run-session xdotool; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
[[ -x /usr/libexec/at-spi-bus-launcher ]] || missing+=(at-spi2-core)
# Debian's own Python, which has the package's pyatspi, whatever python3 is first on the PATH.
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing+=(python3-pyatspi)
if ((${#missing[@]} > 0)); then
  echo "atspi smoke: skipped, not installed: ${missing[*]}"
  exit 77
fi
exec timeout 75 dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" \
  /usr/bin/python3 "$here/atspi_smoke.py" "$@"
