#!/usr/bin/env bash
# Runs every fuzz harness (fuzz/) one after another, each for a given time,
# under AddressSanitizer and UndefinedBehaviorSanitizer, on one core.
#
#   scripts/fuzz.sh                  every harness for 60 s
#   scripts/fuzz.sh --time 1800      every harness for 30 minutes (also: fuzz.sh 1800)
#   scripts/fuzz.sh --only search    one harness
#   scripts/fuzz.sh --ci             the CI smoke run: 20 s each, fresh corpus
#   scripts/fuzz.sh --disk DIR       seed from the data disk in DIR (default: the
#                                    sample disk of another build, when there is one)
#   scripts/fuzz.sh --data DIR       seed the CSV harness from the CSV files in DIR
#                                    (default: data/sample)
#   scripts/fuzz.sh --build DIR      build folder (default build/fuzz)
#   scripts/fuzz.sh --coverage       no fuzzing: replays each corpus in a source-
#                                    coverage build and reports the readers' coverage
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
coverage=0
disk=""
data=${CHRONARA_SAMPLE_DATA:-$root/data/sample}
build="$root/build/fuzz"
while (($#)); do
  case $1 in
    --time) seconds=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --ci) ci=1; seconds=20; shift ;;
    --coverage) coverage=1; shift ;;
    --disk) disk=$2; shift 2 ;;
    --data) data=$2; shift 2 ;;
    --build) build=$(realpath -m "$2"); shift 2 ;;
    -h|--help) sed -n '2,23p' "$0"; exit 0 ;;
    [0-9]*) seconds=$1; shift ;;  # a bare number is the time, as --time
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

if ! command -v clang++ >/dev/null; then
  echo "clang++ is missing (Debian: apt-get install clang libclang-rt-14-dev)" >&2
  exit 1
fi
# The sources each harness exists to exercise, for the coverage report.
declare -A readers=(
  [name_index]="store/name_index.cpp"
  [search]="store/record_database.cpp browse/session/result_pager.cpp browse/session/history_buffer.cpp browse/record_text/record_format.cpp"
  [profile]="platform/profile.cpp store/directories.cpp"
  [csv]="store/csv_reader.cpp store/cp1252.cpp"
  [record_query]="browse/record_query/record_query.cpp browse/record_query/record_words.cpp browse/record_query/record_fields.cpp browse/record_query/record_matcher.cpp browse/record_search/match_snippet.cpp"
  [word_index]="browse/word_index/word_index_reader.cpp browse/word_index/word_index_query.cpp browse/word_index/word_index_format.cpp"
  [about]="store/database_about.cpp browse/record_text/field_headings.cpp browse/record_text/whole_record.cpp browse/export/field_columns.cpp"
)

if ((coverage)); then
  corpora="$build"
  build="$build-cov"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCHRONARA_FUZZ=ON -DCHRONARA_FUZZ_COVERAGE=ON -DCHRONARA_BUILD_VIEWER=OFF -DCHRONARA_BUILD_TESTS=OFF \
    -DCHRONARA_BUILD_BENCH=OFF >/dev/null
  names=(name_index search profile record_query word_index about)
  [[ -f "$root/store/csv_reader.h" ]] && names+=(csv)
  [[ -n $only ]] && names=("$only")
  for name in "${names[@]}"; do
    cmake --build "$build" -j "${FUZZ_BUILD_JOBS:-2}" --target "${name}_fuzzer" >/dev/null
    profiles="$build/profiles/$name"
    rm -rf "$profiles" && mkdir -p "$profiles"
    LLVM_PROFILE_FILE="$profiles/%p.profraw" "$build/fuzz/${name}_fuzzer" \
      "$corpora/corpus/$name" "$corpora/seeds/$name" "$root/tests/regressions/$name" >/dev/null
    llvm-profdata merge -sparse "$profiles"/*.profraw -o "$profiles/merged.profdata"
    sources=()
    for file in ${readers[$name]}; do sources+=("$root/$file"); done
    echo "=== $name: coverage of its readers by the corpus in $corpora/corpus/$name"
    llvm-cov report "$build/fuzz/${name}_fuzzer" -instr-profile="$profiles/merged.profdata" "${sources[@]}" |
      awk 'NR == 1 || /^TOTAL/ || /\.cpp/'
  done
  exit 0
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCHRONARA_FUZZ=ON -DCHRONARA_BUILD_VIEWER=OFF -DCHRONARA_BUILD_TESTS=OFF -DCHRONARA_BUILD_BENCH=OFF >/dev/null

harnesses=(name_index search profile record_query word_index about)
[[ -f "$root/store/csv_reader.h" && -f "$root/store/cp1252.h" ]] && harnesses+=(csv)
if [[ -n $only ]]; then harnesses=("$only"); fi
targets=(chronara_fuzz_seeds)
for name in "${harnesses[@]}"; do targets+=("${name}_fuzzer"); done
cmake --build "$build" -j "${FUZZ_BUILD_JOBS:-2}" --target "${targets[@]}"

seeds="$build/seeds"
rm -rf "$seeds"
seed_args=("$seeds")
[[ -n $data ]] && seed_args+=(--data "$data")
# The sample disk of any other build (scripts/test.sh builds build/release first).
if [[ -z $disk ]]; then
  for candidate in "$root/build/release/sample-disk" "$root"/build/*/sample-disk; do
    if [[ -f $candidate/chronaradb.id ]]; then disk=$candidate; break; fi
  done
fi
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
