#!/usr/bin/env bash
# Runs every benchmark program of a bench build folder.
set -euo pipefail
dir=${1:-build/bench}
found=0
while IFS= read -r exe; do
  found=1
  echo "== $(basename "$exe")"
  "$exe" --benchmark_counters_tabular=true
done < <(find "$dir/bench" -type f -name 'bench_*' -perm -u+x | sort)
[ "$found" -eq 1 ] || echo "no benchmarks built yet"
