#!/usr/bin/env bash
# The one test command: installs what is missing, checks the format of
# every C++ file and that no include comes back round, then configures, builds
# and runs every test in an optimised build, the core's and the tools' tests
# again with AddressSanitizer + UndefinedBehaviorSanitizer, then gives every
# fuzz harness a short run (20 s each) under the same sanitizers.
#
# Built for a short run on a small machine: no debug information in the
# optimised build, the tests' own sources unoptimised (the code they test
# keeps its optimisation), the sanitizer build at -O1 with line tables and
# without the viewer, whose tests take half of a build's time.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
# Each step says when it began, counted from the start, so a slow one shows.
phase() { echo "=== $* (at ${SECONDS} s)"; }

"$root/scripts/install-deps.sh"

phase "format"
"$root/scripts/check-format.sh"
phase "include circles"
python3 "$root/scripts/check-include-cycles.py" "$root"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_config() {
  local name=$1
  shift
  local build="$root/build/$name"
  phase "$name: configure"
  cmake -S "$root" -B "$build" -G Ninja "$@"
  phase "$name: build"
  cmake --build "$build" -j "$jobs"
  phase "$name: test"
  ctest --test-dir "$build" --output-on-failure -j "$jobs"
}

run_config release -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  -DCHRONARA_QUICK_TEST_BUILD=ON
phase "release: system-call fault sweep of chronara-query"
"$root/scripts/io-fault-sweep.sh" "$root/build/release"
run_config asan -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" -DCHRONARA_SANITIZE=ON \
  -DCHRONARA_BUILD_BENCH=OFF -DCHRONARA_BUILD_VIEWER=OFF -DCHRONARA_QUICK_TEST_BUILD=ON

phase "fuzz: smoke run of every harness"
"$root/scripts/fuzz.sh" --ci --disk "$root/build/release/sample-disk"
phase "done"
