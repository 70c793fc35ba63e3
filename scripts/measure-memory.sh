#!/usr/bin/env bash
# Peak resident memory (GNU time -v, "Maximum resident set size") of
# chronara-query and of the viewer for a search on the 4,000,000-person
# benchmark database: the most common surname, with and without a
# first-name filter. The viewer runs unchanged, driven by a stand-in user
# preloaded into it (bench/viewer_driver.cpp), once on the offscreen
# platform and once on a virtual X server when xvfb-run is there; a run
# without a search gives its start-up figure.
#
# Not part of the tests. Settings (environment):
#   CHRONARA_BENCH_BUILD   build folder (default build/bench)
#   CHRONARA_MEMORY_SIZE   people in the database searched (default 4000000)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${CHRONARA_BENCH_BUILD:-$root/build/bench}
size=${CHRONARA_MEMORY_SIZE:-4000000}
jobs=$(nproc 2>/dev/null || echo 2)

CHRONARA_EXTRA_PACKAGES="time ${CHRONARA_EXTRA_PACKAGES:-}" "$root/scripts/install-deps.sh"

echo "=== build ($build)"
cmake -S "$root" -B "$build" -G Ninja -DCHRONARA_BUILD_BENCH=ON -DCHRONARA_BUILD_VIEWER=ON >/dev/null
cmake --build "$build" -j "$jobs" --target make_bench_disk chronara-query chronara chronara_viewer_driver

data=$build/bench-data/$size
if [[ ! -f $data/bench.info ]]; then
  echo "=== making the $size-person databases"
  rm -rf "$data"
  "$build/bench/make_bench_disk" "$data" "$size"
fi
surname=$(sed -n 's/^common=//p' "$data/bench.info")
row=12  # the war-graves database in the viewer's list

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/install" "$work/runtime"
chmod 700 "$work/runtime"
printf '[Tavora7m]\nTavoraDir=%s/\nChronaraPath=%s/\n' "$work/install" "$data" >"$work/config/corvane.ini"

query=$build/tools/query/chronara-query
viewer=$build/ui/chronara
driver=$build/bench/libchronara_viewer_driver.so

results=()
# record LABEL LIMIT_MB TIME_OUTPUT: adds the peak that GNU time wrote to the table.
record() {
  local kb
  kb=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$3")
  results+=("$(awk -v label="$1" -v limit="$2" -v kb="$kb" 'BEGIN {
    printf "| %s | %.1f | %d | %s |", label, kb / 1024, limit, (kb <= limit * 1024 ? "met" : "NOT met") }')")
}

# measure LABEL LIMIT_MB COMMAND...: runs COMMAND under GNU time.
measure() {
  local label=$1 limit=$2
  shift 2
  if ! /usr/bin/time -v -o "$work/time.txt" "$@" >"$work/out.txt" 2>"$work/err.txt"; then
    echo "failed: $label" >&2
    cat "$work/err.txt" >&2
    exit 1
  fi
  record "$label" "$limit" "$work/time.txt"
}

# The viewer's environment: its INI file, and the stand-in user loaded into it alone.
viewer_env=(env XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" LD_PRELOAD="$driver"
            CHRONARA_DRIVE_ROW="$row")

measure "chronara-query, $surname" 8 \
  "$query" --data-dir "$data" --install-dir "$work/install" --database "$row" --surname "$surname"
measure "chronara-query, $surname, first name J" 8 \
  "$query" --data-dir "$data" --install-dir "$work/install" --database "$row" --surname "$surname" --first-name J

measure "viewer (offscreen), started and quit, no search" 80 \
  "${viewer_env[@]}" QT_QPA_PLATFORM=offscreen CHRONARA_DRIVE_SURNAME= "$viewer"
measure "viewer (offscreen), $surname" 80 \
  "${viewer_env[@]}" QT_QPA_PLATFORM=offscreen CHRONARA_DRIVE_SURNAME="$surname" "$viewer"
measure "viewer (offscreen), $surname, first name J" 80 \
  "${viewer_env[@]}" QT_QPA_PLATFORM=offscreen CHRONARA_DRIVE_SURNAME="$surname" CHRONARA_DRIVE_FIRST_NAME=J "$viewer"
if command -v xvfb-run >/dev/null; then
  # Only the viewer is measured, not the X server that xvfb-run starts.
  if ! xvfb-run -a /usr/bin/time -v -o "$work/time.txt" "${viewer_env[@]}" QT_QPA_PLATFORM=xcb \
      CHRONARA_DRIVE_SURNAME="$surname" "$viewer" >"$work/out.txt" 2>"$work/err.txt"; then
    echo "failed: the viewer on Xvfb" >&2
    cat "$work/err.txt" >&2
    exit 1
  fi
  record "viewer (X11 on Xvfb), $surname" 80 "$work/time.txt"
fi

echo
echo "Peak resident memory, search on the $size-person database:"
echo
echo "| program and search | peak MB | target MB | |"
echo "|---|---:|---:|---|"
printf '%s\n' "${results[@]}"
