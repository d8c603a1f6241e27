#!/usr/bin/env bash
# Runs each fuzz target in turn (one process, the machine is shared) for
# FUZZ_SECONDS, new corpus entries kept under the build folder, apart from the
# seeds. Fails when a target crashed, and names the inputs that did it.
# Usage: fuzz/run.sh <build folder> [target ...]
set -uo pipefail

build=$(cd "$1" && pwd)
shift
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/fuzzers/fuzz_*; do targets+=("$(basename "$exe" | sed 's/^fuzz_//')"); done
fi

stamp="$build/fuzz-run.stamp"
touch "$stamp"
failed=()
for target in "${targets[@]}"; do
  exe="$build/fuzzers/fuzz_$target"
  new="$build/corpus/$target"
  crashes="$build/crashes/$target"
  log="$build/logs/$target.log"
  mkdir -p "$new" "$crashes" "$(dirname "$log")"
  echo "== $target: ${seconds}s"
  # The first folder receives what the run finds; the seeds are only read.
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" "$exe" "$new" "$root/fuzz/corpus/$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$crashes/" -print_final_stats=1 >"$log" 2>&1
  rc=$?
  grep -E '^(stat::number_of_executed_units|stat::new_units_added|stat::peak_rss_mb)' "$log" |
    sed 's/^/   /'
  echo "   corpus found: $(find "$new" -type f | wc -l) files in $new"
  if [ $rc -ne 0 ]; then
    failed+=("$target")
    echo "   FAILED (exit $rc), see $log"
    grep -m3 -E 'ERROR:|broken promise|SUMMARY' "$log" | sed 's/^/   /'
  fi
done

found=$(find "$build/crashes" -type f -newer "$stamp" 2>/dev/null)
if [ -n "$found" ]; then
  echo "Crash inputs of this run:"
  echo "$found" | sed 's/^/   /'
fi
if [ ${#failed[@]} -ne 0 ]; then
  echo "Targets that failed: ${failed[*]}"
  exit 1
fi
echo "No target crashed."
