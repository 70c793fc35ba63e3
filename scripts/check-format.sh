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
bad=()
for file in "${files[@]}"; do
  [[ -f $file ]] || continue
  if ! "$formatter" --dry-run --Werror "$file" >/dev/null 2>&1; then bad+=("$file"); fi
done
if ((${#bad[@]} > 0)); then
  echo "These files are not formatted (scripts/check-format.sh --fix rewrites them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format wants them"
