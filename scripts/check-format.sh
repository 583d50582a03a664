#!/usr/bin/env bash
# scripts/check-format.sh [--fix]: checks every C and C++ source the repository tracks against
# .clang-format and fails, naming the files, when formatting would change any of them. With --fix
# it formats them in place instead (what `make format` runs).
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format}
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$format" -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  "$format" --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not formatted (make format fixes it):\n' >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
