#!/usr/bin/env bash
# Start-up of the viewer against a bare Qt 6 Widgets window of the same
# size (bench/bare_window.cpp), and against the same window showing one
# line of text, in one run on a virtual X display: time
# from exec to the window mapped and to its first frame drawn, and peak
# resident memory (bench/startup_watch.cpp), medians of CHRONARA_STARTS
# starts of each, taken in turn so that both see the same machine. The
# viewer starts on the sample disk with a private configuration; its
# runtime folder is on tmpfs, as a desktop session's is.
#
# Not part of the tests. Settings (environment):
#   CHRONARA_BENCH_BUILD   build folder (default build/release)
#   CHRONARA_STARTS        starts of each program (default 7)
#   CHRONARA_VIEWER        the viewer to time (default the build's)
#   CHRONARA_VIEWER_BEFORE another viewer (a build of an earlier version)
#                          to time in the same run, for a before and after
# A FONTCONFIG_FILE set is given to every program alike.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${CHRONARA_BENCH_BUILD:-$root/build/release}
starts=${CHRONARA_STARTS:-7}
jobs=$(nproc 2>/dev/null || echo 2)

if [[ ${1:-} != --on-display ]]; then
  CHRONARA_EXTRA_PACKAGES="libxdamage-dev ${CHRONARA_EXTRA_PACKAGES:-}" "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHRONARA_BUILD_BENCH=ON >/dev/null
  cmake --build "$build" -j "$jobs" --target chronara bare_window startup_watch sample-disk
  exec xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' "$0" --on-display
fi

viewer=${CHRONARA_VIEWER:-$build/ui/chronara}
bare=$build/bench/bare_window
watch=$build/bench/startup_watch
work=$(mktemp -d)
runtime=$(mktemp -d -p /dev/shm chronara-bench.XXXXXX)
trap 'rm -rf "$work" "$runtime"' EXIT
chmod 700 "$runtime"
mkdir -p "$work/config" "$work/install"
cp "$root/res/tavora7m.hlp" "$work/install/"
printf '[Tavora7m]\nTavoraDir=%s/\nChronaraPath=%s/\n' "$work/install" "$build/sample-disk" >"$work/config/corvane.ini"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$runtime

before=${CHRONARA_VIEWER_BEFORE:-}
for ((i = 0; i < starts; ++i)); do
  echo "viewer $("$watch" "$viewer")"
  if [[ -n $before ]]; then echo "before $("$watch" "$before")"; fi
  echo "bare $("$watch" "$bare")"
  echo "text $("$watch" "$bare" --text)"
done >"$work/runs.txt"

python3 - "$work/runs.txt" <<'PY'
import re, statistics, sys
runs = {"viewer": [], "before": [], "bare": [], "text": []}
for line in open(sys.argv[1]):
    m = re.match(r"(\w+) map_ms=([\d.]+) paint_ms=([\d.]+) maxrss_kb=(\d+)", line)
    if m:
        runs[m[1]].append((float(m[2]), float(m[3]), int(m[4]) / 1024))
med = {k: [statistics.median(r[i] for r in v) for i in range(3)] for k, v in runs.items() if v}
print("| program | starts | window mapped ms | first frame ms | peak memory MB |")
print("|---|---:|---:|---:|---:|")
names = {"viewer": "viewer", "before": "viewer before", "bare": "bare window",
         "text": "bare window with a line of text"}
for k in ("viewer", "before", "bare", "text"):
    if not runs[k]:
        continue
    print(f"| {names[k]} | {len(runs[k])} | {med[k][0]:.1f} | {med[k][1]:.1f} | {med[k][2]:.1f} |")
ratio = med["viewer"][1] / med["bare"][1]
extra = med["viewer"][2] - med["bare"][2]
print(f"first frame: viewer/bare {ratio:.2f} (target at most 1.30: {'met' if ratio <= 1.3 else 'NOT met'})")
print(f"peak memory: viewer - bare {extra:+.1f} MB (target at most +5.0: {'met' if extra <= 5.0 else 'NOT met'})")
print(f"against the window with text: time {med['viewer'][1] / med['text'][1]:.2f}x, "
      f"memory {med['viewer'][2] - med['text'][2]:+.1f} MB")
if "before" in med:
    print(f"the viewer before: viewer/bare {med['before'][1] / med['bare'][1]:.2f}, "
          f"viewer - bare {med['before'][2] - med['bare'][2]:+.1f} MB")
PY
