#!/usr/bin/env bash
# The real game played from the keyboard, read from its event log: an arrow shows the cursor,
# Shift+arrow turns a layer and Ctrl+Z takes it back; with Ctrl+K, I turns the right layer as
# the drag up the front face's right-hand column does.
#   keyboard_xvfb_test.sh <gyrix executable>
set -euo pipefail
. "$(dirname "$0")/xvfb_lib.sh"

if [ "${1:-}" = "--inside" ]; then
  game=$2; work=$3
  printf 'LastPuzzle=1\nSmooth=0\n' > "$work/Gyrix.ini"
  start_game "$game" GYRIX_EVENT_LOG="$work/events.log"
  trap 'kill $pid 2>/dev/null || true' EXIT
  base=0
  mark() { base=$(wc -l < "$work/events.log"); }
  since() { tail -n +$((base + 1)) "$work/events.log" | grep -v ' resumed$\| paused$' || true; }
  turn_of() { since | grep ' turn ' | tail -1 | cut -d' ' -f3; }
  xdotool mousemove --window "$wid" 5 $((HEIGHT - 5)); sleep 0.3
  mark

  xdotool key Right; sleep 0.3
  xdotool key shift+Up; sleep 1
  made=$(turn_of)
  [ -n "$made" ] || { echo "Shift+Up made no turn:"; since; exit 1; }
  since | grep -q " turn $made key" || { echo "the turn is not the keyboard's:"; since; exit 1; }
  mark
  xdotool key ctrl+z; sleep 1
  since | grep -q " undone $made " || { echo "Ctrl+Z did not take back turn $made:"; since; exit 1; }

  # The speedcubing layout: I is R, the drag up the right-hand column of the front-left face.
  xdotool key ctrl+k; sleep 0.3
  xdotool getwindowname "$wid" | grep -q 'speedcubing keys' || { echo "the title does not show the layout"; exit 1; }
  mark
  xdotool key i; sleep 1
  by_key=$(turn_of)
  xdotool key ctrl+z; sleep 1
  mark
  xdotool mousemove --window "$wid" $((cx - 12)) $((cy + 60)) mousedown 1 mousemove --window "$wid" $((cx - 12)) $((cy + 10)) mouseup 1
  sleep 1
  by_drag=$(turn_of)
  [ -n "$by_key" ] && [ "$by_key" = "$by_drag" ] || { echo "I made turn '$by_key', the drag '$by_drag'"; cat "$work/events.log"; exit 1; }
  stop_game
  echo "ok"
  exit 0
fi

run_under_xvfb "$0" "$1"
