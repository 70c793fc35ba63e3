#!/usr/bin/env bash
# The benchmark command: builds the benchmarks, makes the benchmark
# databases that are missing (10,000 to 4,000,000 people; deterministic, in
# the build folder; the largest takes a few minutes and about 2 GB of memory
# once), runs the suite against SQLite, and prints the table, the targets
# and the system calls of one operation of each kind.
#
# Not part of the tests. Settings (environment):
#   CHRONARA_BENCH_BUILD        build folder (default build/bench)
#   CHRONARA_BENCH_SIZES        sizes, blank-separated (default all four)
#   CHRONARA_BENCH_REPETITIONS  repetitions of each benchmark (default 5)
#   CHRONARA_BENCH_MIN_TIME     seconds per repetition (default 0.2)
#   CHRONARA_BENCH_FILTER       regular expression of benchmark names to run
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${CHRONARA_BENCH_BUILD:-$root/build/bench}
sizes=${CHRONARA_BENCH_SIZES:-"10000 100000 1000000 4000000"}
repetitions=${CHRONARA_BENCH_REPETITIONS:-5}
min_time=${CHRONARA_BENCH_MIN_TIME:-0.2}
filter=${CHRONARA_BENCH_FILTER:-.}
jobs=$(nproc 2>/dev/null || echo 2)

# Xapian 1.4 is the second baseline of the record search (bench_find_process);
# only the benchmarks use it.
CHRONARA_EXTRA_PACKAGES="strace libxapian-dev ${CHRONARA_EXTRA_PACKAGES:-}" "$root/scripts/install-deps.sh"

echo "=== build ($build)"
cmake -S "$root" -B "$build" -G Ninja -DCHRONARA_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$jobs" --target make_bench_disk chronara_bench bench_syscalls chronara-query \
  bench_gedcom_export bench_find bench_facets bench_find_process bench_fts5_query
cmake --build "$build" -j "$jobs" --target bench_xapian_query >/dev/null 2>&1 ||
  echo "(no Xapian in this build: the whole-process runs leave it out)"
# Only where Qt is there to build the viewer.
cmake --build "$build" -j "$jobs" --target bench_find_dialog bench_find_records_dialog bench_research_log sample-disk \
  >/dev/null 2>&1 ||
  echo "(no viewer in this build: the Find Surname, Find in Records and Research Log benchmarks are left out)"

data=$build/bench-data
mkdir -p "$data"
for size in $sizes; do
  # bench.info is written last: a folder without it is an interrupted run.
  if [[ ! -f $data/$size/bench.info ]]; then
    echo "=== making the $size-person databases"
    rm -rf "${data:?}/$size"
    "$build/bench/make_bench_disk" "$data/$size" "$size"
  fi
done

results=$build/bench-results.json
echo "=== running (repetitions $repetitions, $min_time s each)"
sample=()
[[ -d $build/sample-disk ]] && sample=(--sample-disk "$build/sample-disk")
"$build/bench/chronara_bench" --data-root "$data" --sizes "$(echo $sizes | tr ' ' ',')" "${sample[@]}" \
  --benchmark_filter="$filter" \
  --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_min_time="$min_time" \
  --benchmark_out="$results" --benchmark_out_format=json

echo
echo "=== results ($(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg))"
python3 "$root/bench/report.py" table "$results"

largest=$(echo $sizes | tr ' ' '\n' | sort -n | tail -1)
traces=$build/bench-traces
rm -rf "$traces"
mkdir -p "$traces"
for op in search_rare search_common search_absent filter_few filter_many next_direct prev_direct \
          next_filtered prev_filtered full_text lookup disk_check; do
  strace -o "$traces/$op.trace" "$build/bench/bench_syscalls" "$data/$largest" "$op" 2>/dev/null
done
echo
echo "System calls of one operation on the $largest-person databases (strace, between two markers):"
python3 "$root/bench/report.py" syscalls "$traces"

common=$(sed -n 's/^common=//p' "$data/$largest/bench.info")
echo
echo "strace -c of one whole chronara-query run (a $common search on $largest people, start included):"
mkdir -p "$traces/install"
strace -c -o "$traces/query-summary.txt" "$build/tools/query/chronara-query" --data-dir "$data/$largest" \
  --install-dir "$traces/install" --database 12 --surname "$common" >/dev/null
cat "$traces/query-summary.txt"

# Record searches: the word index against SQLite FTS5 on the largest sets
# (each index and FTS5 table built once more, in a process of its own, for
# its time and peak memory), and the sample disk's first and later queries.
find_sizes=$(echo $sizes | tr ' ' '\n' | awk '$1 >= 1000000' | paste -sd, -)
if [[ -n $find_sizes ]]; then
  echo
  echo "Record searches: the word index and SQLite FTS5 side by side:"
  find_results=$build/bench-find-results.json
  sample_args=()
  [[ -d $build/sample-disk ]] && sample_args=(--sample "$build/sample-disk")
  "$build/bench/bench_find" --data-root "$data" --sizes "$find_sizes" "${sample_args[@]}" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_min_time="$min_time" --benchmark_out="$find_results" --benchmark_out_format=json
  python3 "$root/bench/report.py" find "$find_results"

  echo
  echo "Facets of a common word (DOW, one person in ten) against SQLite's GROUP BY; the sample disk:"
  facet_results=$build/bench-facets-results.json
  "$build/bench/bench_facets" --data-root "$data" --sizes "$find_sizes" "${sample_args[@]}" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_min_time="$min_time" --benchmark_out="$facet_results" --benchmark_out_format=json
  python3 "$root/bench/report.py" facets "$facet_results"

  echo
  echo "Record searches as whole processes (--limit 10 and --format count) against FTS5 and Xapian:"
  process_results=$build/bench-process-results.json
  "$build/bench/bench_find_process" --data-root "$data" --tools "$build" --sizes "$find_sizes" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_min_time="$min_time" --benchmark_out="$process_results" --benchmark_out_format=json
  python3 "$root/bench/report.py" process "$process_results"
fi

if [[ -x $build/bench/bench_find_dialog ]]; then
  echo
  echo "The Find Surname dialog following one key on the sample disk (listing and list, offscreen):"
  "$build/bench/bench_find_dialog" --data-dir "$build/sample-disk" --benchmark_min_time="$min_time" 2>/dev/null
fi

if [[ -x $build/bench/bench_find_records_dialog ]]; then
  echo
  echo "Find in Records following the typing: one key on the sample disk; typed on 1,000,000 people (offscreen):"
  large=()
  [[ -f $data/1000000/bench.info ]] && large=(--large "$data/1000000")
  "$build/bench/bench_find_records_dialog" --data-dir "$build/sample-disk" "${large[@]}" \
    --benchmark_min_time="$min_time" 2>/dev/null
fi

if [[ -x $build/bench/bench_research_log ]]; then
  echo
  echo "The research log of 100,000 searches and 10,000 saved people: the window opening, logging one search (offscreen):"
  "$build/bench/bench_research_log" --data-dir "$build/sample-disk" --benchmark_min_time="$min_time"
fi

echo
echo "The family-tree export of a search of 100,000 people (chronara-query --export gedcom, a process each run):"
"$build/bench/bench_gedcom_export" "$data/gedcom" "$build/tools/query/chronara-query" 100000 "$repetitions"
