# Shared by the real-window tests: start the game on the virtual display and find its window.
#   start_game GAME [ENV=VALUE...]   sets pid and wid, the window's WIDTH and HEIGHT, cx and cy
#   stop_game                         Escape, and waits for the game to end
#   run_under_xvfb SCRIPT GAME [ARGS] the outer half: a work folder with the game, and the
#                                     script run again with --inside GAME WORK FB ARGS
# Waits until the virtual display answers: on a loaded machine it may not yet when the
# script starts, and a game started then finds no display and ends at once.
wait_for_display() {
  for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "the virtual display did not answer"; exit 1
}

start_game() {
  local game=$1; shift
  wid=""
  # A game that ends before its window shows (no display yet) is started again, twice at most.
  for _attempt in 1 2 3; do
    wait_for_display
    env "$@" SDL_VIDEODRIVER=x11 "$game" & pid=$!
    for _ in $(seq 100); do
      wid=$(xdotool search --name '^Gyrix' 2>/dev/null | head -1 || true)
      [ -n "$wid" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    [ -n "$wid" ] && break
    kill -0 "$pid" 2>/dev/null && break
    sleep 1
  done
  [ -n "$wid" ] || { echo "no Gyrix window appeared"; exit 1; }
  sleep 1
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  cx=$((WIDTH / 2)); cy=$((HEIGHT / 2))
}

stop_game() {
  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
}

run_under_xvfb() {
  local script=$1 exe; exe=$(readlink -f "$2"); shift 2
  work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
  cp "$exe" "$work/gyrix"
  local dir; dir=$(dirname "$exe")
  [ -f "$dir/Web.bmp" ] && cp "$dir/Web.bmp" "$work/"
  mkdir "$work/fb"
  xvfb-run -a -s "-screen 0 800x600x24 -fbdir $work/fb" bash "$script" --inside "$work/gyrix" "$work" "$work/fb" "$@"
}
