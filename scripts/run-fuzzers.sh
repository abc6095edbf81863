#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build folder for a number of seconds each, one at a time.
# Seeds come from fuzz/corpus/<target>/ when it exists, words from fuzz/dict/<target>.dict;
# new inputs go to build/fuzz/corpus/<target>/, a crashing one to build/fuzz/crash-<target>-*.
# FUZZ_TARGETS="fuzz_a fuzz_b" runs only those.
set -euo pipefail
dir=${1:-build/fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
while IFS= read -r exe; do
  name=$(basename "$exe")
  if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $name "* ]]; then continue; fi
  work="$dir/corpus/$name"
  mkdir -p "$work"
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
  options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=20 -artifact_prefix="$dir/crash-$name-")
  [ -f "$root/fuzz/dict/$name.dict" ] && options+=(-dict="$root/fuzz/dict/$name.dict")
  echo "== $name for ${seconds}s"
  if ! "$exe" "${options[@]}" "$work" "${seeds[@]}" 2>"$dir/$name.log"; then
    echo "   FAILED: see $dir/$name.log"; status=1
  else
    # Executions, and the coverage (edges) and features reached at the end.
    grep -E 'stat::number_of_executed_units' "$dir/$name.log" | sed 's/^/   /'
    grep -E '^#[0-9]+' "$dir/$name.log" | tail -n 1 | sed 's/^/   /'
  fi
done < <(find "$dir/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort)
exit $status
