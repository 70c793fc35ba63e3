#!/usr/bin/env bash
# Runs the viewer from the build on the sample data disk: installs what is
# missing, builds, prepares the sample disk and a private corvane.ini, and
# starts chronara. The user's own configuration is never touched: the INI
# file lives in an XDG_CONFIG_HOME of its own inside the build folder.
#
#   scripts/run-viewer.sh            (CHRONARA_BUILD_DIR picks another build folder)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${CHRONARA_BUILD_DIR:-$root/build/release}"
jobs=$(nproc 2>/dev/null || echo 2)

# Say it before a long build: the viewer is a window and needs a display.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "run-viewer: there is no display to show the viewer on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run it from a desktop session, or on a virtual display: xvfb-run -a $0" >&2
  exit 2
fi

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHRONARA_BUILD_VIEWER=ON >/dev/null
targets=(chronara)
if cmake --build "$build" --target help | grep -q '^sample-disk:'; then
  targets+=(sample-disk)
fi
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

viewer="$build/ui/chronara"
disk="$build/sample-disk"
if [[ ! -x "$viewer" ]]; then
  echo "run-viewer: the viewer was not built (is Qt 6 installed? see the cmake output above)" >&2
  exit 1
fi
if [[ ! -f "$disk/chronaradb.id" ]]; then
  echo "run-viewer: the sample data disk is missing from $disk" >&2
  exit 1
fi

# The installation directory holds the help file and the scratch file history.buf.
home="$build/run-viewer"
mkdir -p "$home/config" "$home/install"
cp "$root/res/tavora7m.hlp" "$home/install/"
cat >"$home/config/corvane.ini" <<INI
[Tavora7m]
TavoraDir=$home/install
ChronaraPath=$disk
INI

echo "run-viewer: starting $viewer on $disk"
export XDG_CONFIG_HOME="$home/config"
exec "$viewer"
