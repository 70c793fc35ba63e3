#!/usr/bin/env bash
# Fails when any tracked C++ file differs from what clang-format makes of it
# under the root's .clang-format; lists the files. --fix rewrites them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
formatter=${CLANG_FORMAT:-clang-format}
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
if [[ ${1:-} == --fix ]]; then
  "$formatter" -i "${files[@]}"
  exit 0
fi
# Files go to the formatter in batches, one batch a processor at a time: a
# process a file spent most of a minute starting clang-format. A batch that
# fails is checked again file by file, to name the files.
jobs=$(nproc 2>/dev/null || echo 2)
check_batch() {
  local formatter=$1
  shift
  "$formatter" --dry-run --Werror "$@" >/dev/null 2>&1 && return 0
  local file
  for file; do
    "$formatter" --dry-run --Werror "$file" >/dev/null 2>&1 || printf '%s\n' "$file"
  done
}
export -f check_batch
present=()
for file in "${files[@]}"; do [[ -f $file ]] && present+=("$file"); done
mapfile -t bad < <(printf '%s\0' "${present[@]}" |
  xargs -0 -n 40 -P "$jobs" bash -c 'check_batch "$@"' check_batch "$formatter" | sort)
if ((${#bad[@]} > 0)); then
  echo "These files are not formatted (scripts/check-format.sh --fix rewrites them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format wants them"
