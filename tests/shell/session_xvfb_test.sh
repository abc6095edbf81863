#!/usr/bin/env bash
# The real game on a virtual display under the event log: two drags made within one turn's
# animation both turn, and Ctrl+Z after a scramble brings back the picture before it; then, with
# slow turns, R, M and quick Backspaces given during a turn are each carried out, in order.
#   session_xvfb_test.sh <gyrix executable>
set -euo pipefail
. "$(dirname "$0")/xvfb_lib.sh"

if [ "${1:-}" = "--inside" ]; then
  game=$2; work=$3; fb=$4
  start_game "$game" GYRIX_EVENT_LOG="$work/events.log"
  trap 'kill $pid 2>/dev/null || true' EXIT
  drag() {  # from x y to x y, quickly
    xdotool mousemove --window "$wid" "$1" "$2" mousedown 1 mousemove --window "$wid" "$3" "$4" mouseup 1
  }
  # Two drags along the cube's front faces, the second while the first still turns.
  drag $((cx - 40)) $((cy + 40)) $((cx - 40)) $((cy - 10))
  drag $((cx + 40)) $((cy + 40)) $((cx + 40)) $((cy - 10))
  sleep 1.5
  turns=$(grep -c ' turn ' "$work/events.log" || true)
  [ "$turns" -eq 2 ] || { echo "two quick drags made $turns turns:"; cat "$work/events.log"; exit 1; }

  # Undo both, then Ctrl+Z after a scramble gives back the screen before it.
  xdotool mousemove --window "$wid" 5 $((HEIGHT - 5))
  xdotool key BackSpace BackSpace
  sleep 1.5
  cp "$fb/Xvfb_screen0" "$work/before.xwd"
  xdotool key m
  sleep 0.5
  xdotool key ctrl+z
  sleep 0.5
  cp "$fb/Xvfb_screen0" "$work/after.xwd"
  grep -q 'undone-command scramble' "$work/events.log" || { echo "Ctrl+Z did not take the scramble back:"; cat "$work/events.log"; exit 1; }
  cmp -s "$work/before.xwd" "$work/after.xwd" || { echo "the screen after Ctrl+Z differs from the one before the scramble"; exit 1; }
  stop_game

  # Commands given while a turn animates, in a game whose turns take most of a second.
  # A fresh start: without the first game's settings and log it begins on the solved cube. The
  # classic drawing, so that screens of one position compare exactly (smooth edges show the
  # sub-pixel rounding of a view made again).
  printf 'AnimSpeed=150\nSmooth=0\n' > "$work/Gyrix.ini"
  rm -f "$work/events.log" "$work"/gyrix.db*
  start_game "$game" GYRIX_EVENT_LOG="$work/events.log"
  park() { xdotool mousemove --window "$wid" 5 $((HEIGHT - 5)); sleep 0.3; }
  # The game keeps the log open, so it is read from a line on rather than emptied.
  base=0
  mark() { base=$(wc -l < "$work/events.log"); }
  since() { tail -n +$((base + 1)) "$work/events.log"; }
  events() { since | grep -v ' resumed$\| paused$' | cut -d' ' -f2- | tr '\n' ';'; }
  expect_events() {  # the events since the log was emptied, in order, as a shell pattern
    local seen; seen=$(events)
    # shellcheck disable=SC2254
    case "$seen" in $1) ;; *) echo "$2: expected '$1', saw '$seen'"; exit 1 ;; esac
    mark
  }
  park
  cp "$fb/Xvfb_screen0" "$work/solved.xwd"
  mark

  # Reset during a turn: the turn ends, then the reset; the screen is the solved one again.
  drag $((cx - 40)) $((cy + 40)) $((cx - 40)) $((cy - 10)); xdotool key r
  park; sleep 1.5
  expect_events "turn * mouse;reset;" "R during a turn"
  cp "$fb/Xvfb_screen0" "$work/reset.xwd"
  cmp -s "$work/solved.xwd" "$work/reset.xwd" || { echo "R during a turn did not bring back the solved cube"; exit 1; }

  # A new scramble during a turn comes after it: Ctrl+Z takes back the scramble alone.
  drag $((cx - 40)) $((cy + 40)) $((cx - 40)) $((cy - 10)); xdotool key m
  park; sleep 1.5
  expect_events "turn * mouse;scrambled seed *;" "M during a turn"
  xdotool key ctrl+z; sleep 0.5
  expect_events "*undone-command scramble;" "Ctrl+Z after M during a turn"
  xdotool key ctrl+z; sleep 1.5
  expect_events "undone * key;" "Ctrl+Z of the turn before the scramble"

  # Three turns, then three Backspaces 50 ms apart: all three are undone, in order.
  for x in $((cx - 40)) $((cx + 40)) $((cx - 40)); do
    drag "$x" $((cy + 40)) "$x" $((cy - 10)); sleep 1.2
  done
  made=$(since | grep ' turn ' | cut -d' ' -f3 | tr '\n' ' ')
  [ "$(wc -w <<< "$made")" -eq 3 ] || { echo "three drags made turns '$made':"; since; exit 1; }
  mark
  park
  xdotool key --delay 50 BackSpace BackSpace BackSpace
  sleep 3.5
  # Each undo names the turn it takes back: the three, last first.
  undone=$(since | grep ' undone ' | cut -d' ' -f3 | tr '\n' ' ')
  expected=$(for m in $made; do echo "$m"; done | tac | tr '\n' ' ')
  [ "$undone" = "$expected" ] || { echo "three Backspaces 50 ms apart undid '$undone', not '$expected':"; since; exit 1; }
  stop_game
  echo "ok"
  exit 0
fi

exe=$(readlink -f "$1")
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/gyrix"
dir=$(dirname "$exe")
[ -f "$dir/Web.bmp" ] && cp "$dir/Web.bmp" "$work/"
mkdir "$work/fb"
xvfb-run -a -s "-screen 0 800x600x24 -fbdir $work/fb" bash "$0" --inside "$work/gyrix" "$work" "$work/fb"
