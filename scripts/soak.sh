#!/usr/bin/env bash
# Soak: the real game of a sanitizer build on a virtual display, played by a script for a
# number of minutes. Every built puzzle type is opened in turn (through the Open command and
# its file dialog) and played: drags, view turns, undo, scramble, modes, saving, the options
# dialog, resizing. Resident memory is sampled every minute. Fails on a crash, a sanitizer
# report, or an ending other than a clean one on SIGTERM.
#   soak.sh <build folder> [minutes]
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
  shift
  game=$1; tool=$2; work=$3; minutes=$4
  export SDL_VIDEODRIVER=x11
  # A window manager, as a player has (dialogs take the focus from it).
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & sleep 1; fi
  "$game" 2>"$work/game.log" & pid=$!
  wid=""
  for _ in $(seq 300); do
    wid=$(xdotool search --name '^Gyrix' 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "soak: no window appeared"; kill "$pid"; exit 1; }

  alive() { kill -0 "$pid" 2>/dev/null; }
  rss() { awk '/^VmRSS/ {print $2}' "/proc/$pid/status"; }
  # Keys go to the window that has the focus (X's own input, which the game takes as typed).
  to() { xdotool windowfocus --sync "$1" 2>/dev/null || true; }
  act() { echo "$*" >> "$work/actions.txt"; }  # what was done last, when something goes wrong
  key() { act key "$@"; to "$wid"; xdotool key "$@" 2>/dev/null || true; sleep 0.15; }
  # A dialog of the game by its title; keys go to it alone, never to the main window (an
  # Escape there would end the game).
  dialog() {
    local d=""
    for _ in $(seq 100); do  # a sanitizer build under load may take seconds to show it
      d=$(xdotool search --name "^$1\$" 2>/dev/null | head -1 || true)
      [ -n "$d" ] && break
      sleep 0.1
    done
    echo "$d"
  }
  type_into_dialog() {  # title text
    act type "$@"
    local d; d=$(dialog "$1")
    [ -n "$d" ] || { echo "soak: no $1 dialog" >&2; return 0; }
    to "$d"
    xdotool key ctrl+a 2>/dev/null || true
    xdotool type --delay 2 "$2" 2>/dev/null || true
    xdotool key Return 2>/dev/null || true
    sleep 0.5
  }
  close_dialog() {  # title
    local d; d=$(dialog "$1")
    [ -n "$d" ] && { to "$d"; xdotool key Escape 2>/dev/null || true; }
    sleep 0.3
  }
  drag() {  # button x1 y1 x2 y2
    act drag "$@"
    xdotool mousemove --window "$wid" "$2" "$3" mousedown "$1" mousemove --window "$wid" "$4" "$5" mouseup "$1" 2>/dev/null || true
    sleep 0.25
  }
  random_point() { echo $((150 + RANDOM % 400)) $((80 + RANDOM % 320)); }

  start=$(date +%s); deadline=$((start + minutes * 60)); next_sample=$start
  types=("$work"/games/*.puz); round=0
  echo "minute rss_kb type" > "$work/rss.txt"
  while [ "$(date +%s)" -lt "$deadline" ]; do
    alive || break
    game_file=${types[$((round % ${#types[@]}))]}
    # Open the next type, as a player would: L, the file's path, Return.
    key l; type_into_dialog Open "$game_file"
    for _ in $(seq 6); do
      alive || break
      read -r x1 y1 < <(random_point); read -r x2 y2 < <(random_point)
      drag 1 "$x1" "$y1" "$x2" "$y2"
      read -r x1 y1 < <(random_point); drag 1 "$x1" "$y1" $((x1 + 40)) $((y1 + 10))
      key BackSpace
    done
    read -r x1 y1 < <(random_point); drag 3 "$x1" "$y1" $((x1 + 60)) $((y1 + 30))
    key m; sleep 1; key BackSpace; key BackSpace
    key $((1 + RANDOM % 4)); key c
    if [ $((round % 3)) -eq 0 ]; then
      key s; type_into_dialog "Save As" "$work/saved-$round.puz"; rm -f "$work/saved-$round.puz"
    fi
    if [ $((round % 4)) -eq 1 ]; then key o; close_dialog Options; fi
    if [ $((round % 5)) -eq 2 ]; then
      act resize; xdotool windowsize "$wid" $((500 + RANDOM % 500)) $((400 + RANDOM % 300)) 2>/dev/null || true; sleep 0.3
    fi
    key r
    now=$(date +%s)
    if [ "$now" -ge "$next_sample" ]; then
      echo "$(((now - start) / 60)) $(rss) $(basename "$game_file" .puz)" | tee -a "$work/rss.txt"
      next_sample=$((next_sample + 60))
    fi
    round=$((round + 1))
  done
  if ! alive; then
    wait "$pid" && code=0 || code=$?
    echo "soak: the game ended by itself after $round rounds (status $code); its last words and our last actions:"
    tail -5 "$work/game.log"; tail -5 "$work/actions.txt"
    exit 1
  fi
  echo "$(( ($(date +%s) - start) / 60 )) $(rss) end" | tee -a "$work/rss.txt"
  echo "soak: $round rounds; ending the game with SIGTERM"
  kill -TERM "$pid"
  for _ in $(seq 100); do alive || break; sleep 0.1; done
  alive && { echo "soak: SIGTERM did not end the game"; kill -KILL "$pid"; exit 1; }
  wait "$pid" || { echo "soak: the game ended with status $?"; exit 1; }
  exit 0
fi

build=${1:-build/asan}; minutes=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
game=$(readlink -f "$build/gyrix/gyrix"); tool=$(readlink -f "$build/tools/gyrix-tool")
[ -x "$game" ] && [ -x "$tool" ] || { echo "soak: build gyrix and gyrix-tool in $build first" >&2; exit 1; }
work=$(mktemp -d /tmp/gyrix-soak-XXXXXX)
echo "soak: $minutes minutes; work folder $work"
# A copy, so the settings file is written beside the copy and not into the build.
cp "$game" "$work/gyrix"
cp "$(dirname "$game")/Web.bmp" "$work/" 2>/dev/null || true
mkdir -p "$work/games"
while read -r id built; do
  [ "$built" = yes ] && ASAN_OPTIONS=detect_leaks=0 "$tool" save "$id" "$work/games/$id.puz" --scramble "$id" >/dev/null
done < <(ASAN_OPTIONS=detect_leaks=0 "$tool" list | tail -n +2 | awk '{print $1, $NF}')
echo "soak: $(ls "$work/games" | wc -l) puzzle types"

# A small quarantine, so that resident memory shows the game's own use rather than freed blocks kept back.
export ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=16:log_path=$work/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$work/ubsan"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside "$work/gyrix" "$tool" "$work" "$minutes" || status=$?
if ls "$work"/asan.* "$work"/ubsan.* >/dev/null 2>&1; then
  echo "soak: sanitizer reports:"; cat "$work"/asan.* "$work"/ubsan.* 2>/dev/null | head -60; status=1
fi
echo "soak: resident memory (kB) by minute:"; cat "$work/rss.txt"
[ $status -eq 0 ] && echo "soak: ok" || echo "soak: FAILED (work folder kept: $work)"
[ $status -eq 0 ] && rm -rf "$work"
exit $status
