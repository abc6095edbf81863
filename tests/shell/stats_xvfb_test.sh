#!/usr/bin/env bash
# The real game on a virtual display with a solve in its log: T opens the Statistics dialog,
# Replay plays the newest solve in the main window (the title follows it), End jumps to its end,
# Esc brings the game back and a second Esc ends the program; the log and the game are as before.
#   stats_xvfb_test.sh <gyrix executable> <gyrix-tool executable>
set -euo pipefail
. "$(dirname "$0")/xvfb_lib.sh"

title() { xdotool getwindowname "$1" 2>/dev/null || true; }
wait_title() {  # window, pattern
  for _ in $(seq 50); do
    title "$1" | grep -q "$2" && return 0
    sleep 0.1
  done
  echo "the title never matched '$2': $(title "$1")"
  return 1
}

if [ "${1:-}" = "--inside" ]; then
  game=$2; work=$3
  start_game "$game" GYRIX_EVENT_LOG="$work/events.log"
  trap 'kill $pid 2>/dev/null || true' EXIT
  title "$wid" | grep -q 'Cube(2x2x2)' || { echo "the last puzzle did not come back: $(title "$wid")"; exit 1; }
  xdotool key t
  stats=""
  for _ in $(seq 50); do
    stats=$(xdotool search --name '^Statistics' 2>/dev/null | head -1 || true)
    [ -n "$stats" ] && break
    sleep 0.1
  done
  [ -n "$stats" ] || { echo "T opened no Statistics dialog"; exit 1; }
  xdotool windowfocus --sync "$stats" 2>/dev/null || true
  xdotool key alt+r
  wait_title "$wid" '^Replay of solve #1' || { xdotool key --window "$stats" space; wait_title "$wid" '^Replay of solve #1'; }
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key End
  wait_title "$wid" 'at the end'
  xdotool key Escape
  wait_title "$wid" '^Gyrix - Cube(2x2x2)'
  kill -0 "$pid" 2>/dev/null || { echo "Esc during the replay ended the program"; exit 1; }
  if grep -q ' turn ' "$work/events.log"; then echo "the replay turned the game:"; cat "$work/events.log"; exit 1; fi
  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  echo "ok"
  exit 0
fi

exe=$(readlink -f "$1"); tool=$(readlink -f "$2")
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/gyrix"
dir=$(dirname "$exe")
[ -f "$dir/Web.bmp" ] && cp "$dir/Web.bmp" "$work/"
# A portable copy: settings and log beside the program. One solve of the 2x2x2, played by the
# session runner from the solver's answer to the same scramble.
printf 'LastPuzzle=0\n' > "$work/Gyrix.ini"
solution=$("$tool" solve 0 --scramble 5 | sed -n 's/^solution: //p')
{ echo "scramble 5"; for t in ${solution//,/ }; do echo "wait 400"; echo "turn $t"; done; } > "$work/solve.txt"
"$tool" play 0 --db "$work/gyrix.db" --script "$work/solve.txt" | grep -q 'logged solve 1' || { echo "no solve to replay"; exit 1; }
xvfb-run -a -s "-screen 0 800x600x24" bash "$0" --inside "$work/gyrix" "$work"
"$tool" stats --db "$work/gyrix.db" 0 | grep -qx 'count 1' || { echo "the log changed:"; "$tool" stats --db "$work/gyrix.db" 0; exit 1; }
