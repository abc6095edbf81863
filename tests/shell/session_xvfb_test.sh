#!/usr/bin/env bash
# The real game on a virtual display under the event log: two drags made within one turn's
# animation both turn, and Ctrl+Z after a scramble brings back the picture before it.
#   session_xvfb_test.sh <gyrix executable>
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
  game=$2; work=$3; fb=$4
  GYRIX_EVENT_LOG="$work/events.log" SDL_VIDEODRIVER=x11 "$game" & pid=$!
  trap 'kill $pid 2>/dev/null || true' EXIT
  wid=""
  for _ in $(seq 100); do
    wid=$(xdotool search --name '^Gyrix' 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "no Gyrix window appeared"; exit 1; }
  sleep 1
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  cx=$((WIDTH / 2)); cy=$((HEIGHT / 2))
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
  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
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
