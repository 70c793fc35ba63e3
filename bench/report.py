#!/usr/bin/env python3
"""Turns a chronara_bench JSON result into the comparison table, checks the
targets, and summarises system-call traces of single operations.

  report.py table RESULTS.json
  report.py syscalls TRACE_FOLDER     (files OPERATION.trace from strace -o)
"""

import json
import re
import sys
from collections import Counter

OPERATIONS = [
    ("search_rare", "search, rare surname (3 people)"),
    ("search_common", "search, most common surname"),
    ("search_absent", "search, absent surname"),
    ("filter_few", "first-name filter THAD, few hits"),
    ("filter_many", "first-name filter J, many hits"),
    ("next_direct", "Next, direct"),
    ("prev_direct", "Prev, direct"),
    ("next_filtered", "Next, filtered"),
    ("prev_filtered", "Prev, filtered"),
    ("full_text", "GetFullText, 3.6 KB record"),
    ("lookup", "index lookup alone"),
    ("disk_check", "data-disk check alone"),
]
SEARCHES = {"search_rare", "search_common", "search_absent", "filter_few", "filter_many"}
FILTERS = {"filter_few", "filter_many"}
TURNS_AND_FETCHES = {"next_direct", "prev_direct", "next_filtered", "prev_filtered", "full_text"}
MARK_BEGIN = "--- operation begins ---"
MARK_END = "--- operation ends ---"


def medians(path):
    """{(operation, side, people): (cpu_us, real_us, counters)} from the median aggregates."""
    with open(path, encoding="utf-8") as handle:
        data = json.load(handle)
    found = {}
    for run in data["benchmarks"]:
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        if run.get("error_occurred"):
            print(f"error in {run['name']}: {run.get('error_message')}", file=sys.stderr)
            continue
        name = run.get("run_name", run["name"])
        parts = name.split("/")
        if len(parts) < 3:
            continue
        scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[run.get("time_unit", "us")]
        counters = {k: v for k, v in run.items() if k in ("hits", "pages", "chars")}
        found[(parts[0], parts[1], int(parts[2]))] = (run["cpu_time"] * scale, run["real_time"] * scale, counters)
    return found


def fmt(value):
    if value is None:
        return "-"
    if value >= 100:
        return f"{value:,.0f}"
    if value >= 10:
        return f"{value:.1f}"
    return f"{value:.2f}"


def table(path):
    results = medians(path)
    sizes = sorted({key[2] for key in results})
    print("Median of the repetitions; processor time of one operation in microseconds")
    print("(wall-clock time in brackets). Ratio = SQLite / ours: above 1, ours is faster.")
    print()
    print("| operation | people | ours µs | SQLite µs | SQLite/ours |")
    print("|---|---:|---:|---:|---:|")
    for op, label in OPERATIONS:
        for size in sizes:
            ours = results.get((op, "ours", size))
            theirs = results.get((op, "sqlite", size))
            if ours is None and theirs is None:
                continue
            extra = ""
            if ours and "hits" in ours[2] and op in SEARCHES:
                extra = f", {int(ours[2]['hits']):,} hits"
            if ours and "pages" in ours[2]:
                extra = f", {ours[2]['pages']:.0f} pages read"
            ratio = theirs[0] / ours[0] if ours and theirs else None
            print(f"| {label}{extra} | {size:,} | {fmt(ours[0]) if ours else '-'} ({fmt(ours[1]) if ours else '-'}) | "
                  f"{fmt(theirs[0]) if theirs else '-'} ({fmt(theirs[1]) if theirs else '-'}) | "
                  f"{fmt(ratio) if ratio else '-'} |")
    print()
    check_targets(results, sizes)


def check_targets(results, sizes):
    largest = max(sizes)
    smallest = min(sizes)
    lines = []
    for op, label in OPERATIONS:
        ours = results.get((op, "ours", largest))
        if ours is None:
            continue
        limit = 10000.0 if op in FILTERS else 1000.0
        verdict = "met" if ours[0] < limit and ours[1] < limit else "NOT met"
        lines.append(f"- {label} at {largest:,}: {fmt(ours[0])} µs (wall {fmt(ours[1])}) "
                     f"against {limit:,.0f} µs: {verdict}")
    small = results.get(("lookup", "ours", smallest))
    large = results.get(("lookup", "ours", largest))
    if small and large:
        growth = large[0] / small[0]
        verdict = "met" if growth <= 1.5 else "NOT met"
        lines.append(f"- index lookup from {smallest:,} to {largest:,} people: x{growth:.2f} "
                     f"({small[2].get('pages', 0):.0f} to {large[2].get('pages', 0):.0f} pages read) "
                     f"against x1.5: {verdict}")
    for op, label in OPERATIONS:
        want = 1.0 if op in SEARCHES else 2.0 if op in TURNS_AND_FETCHES else None
        if want is None:
            continue
        worst = None
        for size in sizes:
            ours = results.get((op, "ours", size))
            theirs = results.get((op, "sqlite", size))
            if ours and theirs:
                ratio = theirs[0] / ours[0]
                if worst is None or ratio < worst[0]:
                    worst = (ratio, size)
        if worst:
            verdict = "met" if worst[0] >= want else "NOT met"
            lines.append(f"- {label}: SQLite/ours at least {want:g} on every size; lowest "
                         f"{worst[0]:.2f} at {worst[1]:,}: {verdict}")
    print("Targets:")
    print("\n".join(lines))


def syscalls(folder):
    import os

    print("| operation | system calls | of which | bytes read | bytes written |")
    print("|---|---:|---|---:|---:|")
    for op, label in OPERATIONS:
        path = os.path.join(folder, op + ".trace")
        if not os.path.exists(path):
            continue
        calls = Counter()
        read_bytes = 0
        written = 0
        inside = False
        with open(path, encoding="utf-8", errors="replace") as handle:
            for line in handle:
                if MARK_BEGIN in line:
                    inside = True
                    continue
                if MARK_END in line:
                    break
                if not inside:
                    continue
                match = re.match(r"(?:\d+\s+)?(\w+)\(", line)
                if not match:
                    continue
                name = match.group(1)
                calls[name] += 1
                result = re.search(r"=\s*(-?\d+)", line.rsplit(")", 1)[-1])
                if result and name in ("read", "pread64") and int(result.group(1)) > 0:
                    read_bytes += int(result.group(1))
                if result and name in ("write", "pwrite64") and int(result.group(1)) > 0:
                    written += int(result.group(1))
        detail = ", ".join(f"{count} {name}" for name, count in calls.most_common())
        print(f"| {label} | {sum(calls.values())} | {detail or 'none'} | {read_bytes:,} | {written:,} |")


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("table", "syscalls"):
        print(__doc__, file=sys.stderr)
        return 2
    if sys.argv[1] == "table":
        table(sys.argv[2])
    else:
        syscalls(sys.argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main())
