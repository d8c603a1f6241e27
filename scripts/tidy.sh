#!/usr/bin/env bash
# clang-tidy (.clang-tidy at the root) over the program's sources, with the
# flags of a configured build. TIDY_BASE=<git ref> checks only the sources
# changed since the branch left that ref (auto: main); all of them on the ref
# itself.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/test}
base=${TIDY_BASE:-}
if [ -n "$base" ]; then
  [ "$base" = auto ] && base=main
  # Where this branch left it, so that its later commits do not count.
  base=$(git merge-base HEAD "$base" 2>/dev/null || true)
  [ "$base" = "$(git rev-parse HEAD)" ] && base=
fi
if [ -n "$base" ]; then
  mapfile -t files < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp')
else
  mapfile -t files < <(git ls-files '*.cpp')
fi
# The fuzz targets are built by clang alone, with flags of their own; the
# tests are held by the tests themselves.
mapfile -t files < <(printf '%s\n' "${files[@]}" | grep -Ev '^(fuzz|tests)/|^$' || true)
if [ ${#files[@]} -eq 0 ]; then
  echo "tidy: no source to check"
  exit 0
fi
pattern="^$PWD/($(printf '%s\n' "${files[@]}" | sed 's/[.+]/\\&/g' | paste -sd '|'))\$"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
start=$(date +%s)
status=0
run-clang-tidy -p "$build" -j "${TIDY_JOBS:-2}" -quiet "$pattern" >"$log" 2>&1 || status=$?
# Only the findings: no colours, no counts of what was left out.
sed 's/\x1b\[[0-9;]*m//g' "$log" |
  grep -Ev '^(clang-tidy-[0-9]+ |[0-9]+ warnings? (generated|treated as errors)|Suppressed [0-9]+ warnings|Use -header-filter=)' ||
  true
echo "tidy: ${#files[@]} sources in $(($(date +%s) - start)) s"
exit "$status"
