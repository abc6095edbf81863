#!/usr/bin/env bash
# Opens and closes the game's small dialogs over and over on a virtual display under a window
# manager, with keys held down so that the server repeats them: Execute Move with Enter held
# (each repeat closes the dialog or opens the next one), the seed box of Ctrl + New Scramble
# dismissed by a held Enter, and the About box. The game must live through all of it and log
# no X error.
#   dialog_stress.sh <gyrix executable> [seconds]
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
  game=$2; seconds=$3; log=$4
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & sleep 0.5; fi
  # Fast key repeat where xset is at hand; the server repeats held keys in any case.
  if command -v xset >/dev/null; then xset r on; xset r rate 150 50; fi
  SDL_VIDEODRIVER=x11 "$game" 2>"$log" & pid=$!
  wid=""
  for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "no Gyrix window appeared"; kill "$pid" 2>/dev/null; exit 1; }
  sleep 1
  alive() { kill -0 "$pid" 2>/dev/null; }
  # xdotool itself may meet a window that has just gone; that is no fault of the game's.
  x() { xdotool "$@" >/dev/null 2>&1 || true; }
  hold() { x keydown "$1"; sleep "$2"; x keyup "$1"; }
  # Enter ends every one of these dialogs; Escape could reach the main window and end the game.
  close_dialogs() {
    for _ in 1 2 3 4 5; do
      local open
      open=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -vx "$wid" | head -1 || true)
      [ -z "$open" ] && return
      x windowactivate --sync "$open"; x key Return; sleep 0.2
    done
  }
  # A macro that undoes itself, kept by the window for every later Execute Move.
  x windowactivate --sync "$wid"
  x key e; sleep 0.5; x type "RRRR"; x key Return; sleep 0.5
  rounds=0; end=$((SECONDS + seconds))
  while [ "$SECONDS" -lt "$end" ] && alive; do
    x windowactivate --sync "$wid"
    hold Return 4                                     # Execute Move, open and closed by repeats
    close_dialogs
    x windowactivate --sync "$wid"
    x keydown ctrl mousemove --window "$wid" 42 107 click 1 keyup ctrl   # the seed box
    hold Return 0.5
    close_dialogs
    x windowactivate --sync "$wid"
    for _ in 1 2 3 4 5; do x key --delay 10 a Return; done   # About, opened and closed
    close_dialogs
    x windowactivate --sync "$wid"
    x key --delay 10 BackSpace BackSpace BackSpace
    rounds=$((rounds + 1))
  done
  if ! alive; then wait "$pid" || true; echo "the game died after $rounds rounds:"; tail -5 "$log"; exit 1; fi
  kill "$pid"; wait "$pid" 2>/dev/null || true
  errors=$(grep -c "X error\|X Error" "$log" || true)
  echo "$rounds rounds in $seconds s; X errors logged and survived: $errors"
  exit 0
fi

exe=$(readlink -f "$1"); seconds=${2:-20}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
# A copy, so that its settings file is written beside the copy and not beside the build.
cp "$exe" "$work/gyrix"
dir=$(dirname "$exe")
[ -f "$dir/Web.bmp" ] && cp "$dir/Web.bmp" "$work/"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside "$work/gyrix" "$seconds" "$work/stderr.log"
