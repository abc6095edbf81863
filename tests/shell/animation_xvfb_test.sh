#!/usr/bin/env bash
# The real game on a virtual display under the frame log: a turn drawn smoothly shows more
# frames than its steps, at angles that rise to the whole turn; the classic animation shows its
# steps; nothing is drawn while the puzzle rests.
#   animation_xvfb_test.sh <gyrix executable>
set -euo pipefail
. "$(dirname "$0")/xvfb_lib.sh"

if [ "${1:-}" = "--inside" ]; then
  game=$2; work=$3; style=$4
  printf 'Animation=%s\nAnimSpeed=40\n' "$style" > "$work/Gyrix.ini"
  rm -f "$work/frames.log" "$work/events.log"
  start_game "$game" GYRIX_FRAME_LOG="$work/frames.log" GYRIX_EVENT_LOG="$work/events.log"
  trap 'kill $pid 2>/dev/null || true' EXIT
  xdotool mousemove --window "$wid" $((cx - 40)) $((cy + 40)) mousedown 1 \
          mousemove --window "$wid" $((cx - 40)) $((cy - 10)) mouseup 1
  xdotool mousemove --window "$wid" 5 $((HEIGHT - 5))
  sleep 1.5
  grep -q ' turn ' "$work/events.log" || { echo "$style: the drag made no turn:"; cat "$work/events.log"; exit 1; }
  resting=$(wc -l < "$work/frames.log")
  sleep 2
  [ "$(wc -l < "$work/frames.log")" -eq "$resting" ] || { echo "$style: frames drawn at rest:"; tail "$work/frames.log"; exit 1; }
  # The turn's frames: their count, whether the angles never fall back, and the last angle.
  read -r count rising last micros < <(awk '$2 == "turn" { n++; a = $5 < 0 ? -$5 : $5; if (n > 1 && a < prev) down = 1; prev = a; us += $6 }
                                 END { print n, (down ? 0 : 1), prev, (n ? int(us / n) : 0) }' "$work/frames.log")
  echo "$style: $count frames, last angle $last, $micros us a frame to draw"
  [ "$rising" -eq 1 ] || { echo "$style: the angles fall back:"; cat "$work/frames.log"; exit 1; }
  [ "$last" -eq 90 ] || { echo "$style: the turn ends at $last:"; cat "$work/frames.log"; exit 1; }
  if [ "$style" = Smooth ]; then
    [ "$count" -gt 6 ] || { echo "smooth: only $count frames"; cat "$work/frames.log"; exit 1; }
  else
    [ "$count" -le 6 ] || { echo "classic: $count frames"; cat "$work/frames.log"; exit 1; }
  fi
  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  exit 0
fi

exe=$(readlink -f "$1")
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/gyrix"
dir=$(dirname "$exe")
[ -f "$dir/Web.bmp" ] && cp "$dir/Web.bmp" "$work/"
for style in Smooth Classic; do
  xvfb-run -a -s "-screen 0 800x600x24" bash "$0" --inside "$work/gyrix" "$work" "$style"
done
echo "ok"
