#!/usr/bin/env bash
# Runs the game on a virtual display: it must open its window, show a picture that is not
# blank, take a click, and end cleanly on Escape. The screenshot is kept in the output folder.
#   screenshot_test.sh <gyrix executable> <output folder>
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
  game=$2; out=$3; fb=$4
  SDL_VIDEODRIVER=x11 "$game" & pid=$!
  wid=""
  for _ in $(seq 100); do
    wid=$(xdotool search --name '^Gyrix' 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  if [ -z "$wid" ]; then echo "no Gyrix window appeared"; kill "$pid" 2>/dev/null || true; exit 1; fi
  sleep 1
  cp "$fb/Xvfb_screen0" "$out/start.xwd"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool mousemove --window "$wid" 42 42 click 1   # the reset button
  sleep 0.5
  xdotool mousemove --window "$wid" 400 200 mousedown 3 mousemove --window "$wid" 440 230 mouseup 3
  sleep 0.5
  cp "$fb/Xvfb_screen0" "$out/after-click.xwd"
  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "the game did not end on Escape"; kill "$pid"; exit 1; fi
  wait "$pid"
  exit $?
fi

exe=$(readlink -f "$1"); out=$2
mkdir -p "$out"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
# A copy, so the test writes its settings file beside the copy and not beside the build.
cp "$exe" "$work/gyrix"
dir=$(dirname "$exe")
[ -f "$dir/Web.bmp" ] && cp "$dir/Web.bmp" "$work/"
[ -d "$dir/help" ] && cp -r "$dir/help" "$work/"
mkdir "$work/fb"
xvfb-run -a -s "-screen 0 800x600x24 -fbdir $work/fb" bash "$0" --inside "$work/gyrix" "$out" "$work/fb"

# Not blank: a blank screen has a handful of byte values, a drawn one many.
distinct=$(od -An -v -tu1 "$out/start.xwd" | tr -s ' ' '\n' | sort -u | wc -l)
echo "screenshot: $distinct distinct byte values"
[ "$distinct" -gt 40 ] || { echo "the screenshot is blank"; exit 1; }
[ -f "$work/Gyrix.ini" ] || { echo "no settings file was written"; exit 1; }
echo "ok"
