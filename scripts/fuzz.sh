#!/usr/bin/env bash
# Runs every fuzz harness (fuzz/) one after another, each for a given time,
# under AddressSanitizer and UndefinedBehaviorSanitizer, on one core.
#
#   scripts/fuzz.sh                  every harness for 60 s
#   scripts/fuzz.sh --time 1800      every harness for 30 minutes
#   scripts/fuzz.sh --only search    one harness
#   scripts/fuzz.sh --ci             the CI smoke run: 45 s each, fresh corpus
#   scripts/fuzz.sh --disk DIR       also seed from the data disk in DIR
#   scripts/fuzz.sh --data DIR       also seed the CSV harness from the CSV files in DIR
#   scripts/fuzz.sh --build DIR      build folder (default build/fuzz)
#
# Builds with clang++ in build/fuzz (or --build). The corpus grows in build/fuzz/corpus/
# and is reused by later runs (except with --ci); seeds are rewritten every
# run by chronara_fuzz_seeds; inputs in tests/regressions/<harness>/ are
# always part of the corpus. A finding stops its harness, is written to
# build/fuzz/findings/ and makes the script fail. The figures of each run
# (executions, coverage) are printed at the end and kept in build/fuzz/logs/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

seconds=60
only=""
ci=0
disk=""
data=${CHRONARA_SAMPLE_DATA:-}
build="$root/build/fuzz"
while (($#)); do
  case $1 in
    --time) seconds=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --ci) ci=1; seconds=45; shift ;;
    --disk) disk=$2; shift 2 ;;
    --data) data=$2; shift 2 ;;
    --build) build=$(realpath -m "$2"); shift 2 ;;
    -h|--help) sed -n '2,19p' "$0"; exit 0 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

if ! command -v clang++ >/dev/null; then
  echo "clang++ is missing (Debian: apt-get install clang libclang-rt-14-dev)" >&2
  exit 1
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCHRONARA_FUZZ=ON -DCHRONARA_BUILD_VIEWER=OFF -DCHRONARA_BUILD_TESTS=OFF -DCHRONARA_BUILD_BENCH=OFF >/dev/null

harnesses=(name_index search profile)
[[ -f "$root/store/csv_reader.h" && -f "$root/store/cp1252.h" ]] && harnesses+=(csv)
if [[ -n $only ]]; then harnesses=("$only"); fi
targets=(chronara_fuzz_seeds)
for name in "${harnesses[@]}"; do targets+=("${name}_fuzzer"); done
cmake --build "$build" -j "${FUZZ_BUILD_JOBS:-2}" --target "${targets[@]}"

seeds="$build/seeds"
rm -rf "$seeds"
seed_args=("$seeds")
[[ -n $data ]] && seed_args+=(--data "$data")
[[ -n $disk ]] && seed_args+=(--disk "$disk")
"$build/fuzz/chronara_fuzz_seeds" "${seed_args[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/findings" "$build/logs"
failed=()
summary=()
for name in "${harnesses[@]}"; do
  corpus="$build/corpus/$name"
  ((ci)) && corpus="$build/corpus-ci/$name" && rm -rf "$corpus"
  mkdir -p "$corpus" "$root/tests/regressions/$name"
  log="$build/logs/$name.log"
  echo "=== $name: ${seconds} s"
  status=0
  # -timeout: an input that runs for 10 s counts as a hang.
  "$build/fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
    "$corpus" "$seeds/$name" "$root/tests/regressions/$name" >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cover=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$log" | tail -1 || true)
  line="$name: ${execs:-?} executions, ${cover:-no coverage line}, exit $status"
  summary+=("$line")
  echo "$line"
  if ((status != 0)); then
    failed+=("$name")
    grep -E 'ERROR|check failed|SUMMARY|Test unit written' "$log" | head -5 >&2 || true
  fi
done

echo "=== summary"
printf '%s\n' "${summary[@]}"
if ((${#failed[@]})); then
  echo "findings in: ${failed[*]} (inputs in $build/findings, logs in $build/logs)" >&2
  exit 1
fi
