#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build folder for a number of seconds each.
# Seeds come from fuzz/corpus/<target>/ when it exists; new inputs go to build/fuzz/corpus/<target>/.
set -euo pipefail
dir=${1:-build/fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
while IFS= read -r exe; do
  name=$(basename "$exe")
  work="$dir/corpus/$name"
  mkdir -p "$work"
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
  echo "== $name for ${seconds}s"
  if ! "$exe" -max_total_time="$seconds" -print_final_stats=1 "$work" "${seeds[@]}" 2>"$dir/$name.log"; then
    echo "   FAILED: see $dir/$name.log"; status=1
  else
    grep -E 'stat::number_of_executed_units|Done' "$dir/$name.log" | tail -n 2 | sed 's/^/   /'
  fi
done < <(find "$dir/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort)
exit $status
