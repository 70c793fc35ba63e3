#!/usr/bin/env bash
# The one test command: installs what is missing, checks the format of
# every C++ file and that no include comes back round, then configures, builds
# and runs every test in two configurations (optimised, and with
# AddressSanitizer + UndefinedBehaviorSanitizer), then gives every fuzz
# harness a short run (45 s each) under the same sanitizers.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

"$root/scripts/install-deps.sh"

echo "=== format"
"$root/scripts/check-format.sh"
echo "=== include circles"
python3 "$root/scripts/check-include-cycles.py" "$root"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_config() {
  local name=$1
  shift
  local build="$root/build/$name"
  echo "=== $name: configure"
  cmake -S "$root" -B "$build" -G Ninja "$@"
  echo "=== $name: build"
  cmake --build "$build" -j "$jobs"
  echo "=== $name: test"
  ctest --test-dir "$build" --output-on-failure -j "$jobs"
}

run_config release -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "=== release: system-call fault sweep of chronara-query"
"$root/scripts/io-fault-sweep.sh" "$root/build/release"
run_config asan -DCMAKE_BUILD_TYPE=Debug -DCHRONARA_SANITIZE=ON -DCHRONARA_BUILD_BENCH=OFF

echo "=== fuzz: smoke run of every harness"
"$root/scripts/fuzz.sh" --ci --disk "$root/build/release/sample-disk"
