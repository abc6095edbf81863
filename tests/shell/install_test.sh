#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs from it: the
# program runs from there with its own libraries, the menu entry, icons, file type and
# description are in place and valid, and (with a virtual display) opening a saved puzzle
# starts the game on it, keeping the settings in the user's configuration folder.
#   install_test.sh <build folder> [--no-display]
set -euo pipefail

# Inside the virtual display: the desktop opens a saved game with the installed program.
if [ "${1:-}" = "--open" ]; then
  prefix=$2; work=$3
  # The display may not answer yet on a loaded machine; a game that found none is started again.
  for _attempt in 1 2 3; do
    for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
    HOME=$work/home XDG_CONFIG_HOME=$work/config SDL_VIDEODRIVER=x11 "$prefix/bin/gyrix" "$work/game.puz" & pid=$!
    for _ in $(seq 100); do
      xdotool search --name '^Gyrix' >/dev/null 2>&1 && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    xdotool search --name '^Gyrix' >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null && break
    sleep 1
  done
  xdotool search --name '^Gyrix' >/dev/null 2>&1 || { echo "install: no window appeared"; kill "$pid"; exit 1; }
  sleep 0.5
  # Logging out ends the game by SIGTERM: the settings are written as on closing the window.
  kill -TERM "$pid"
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "install: SIGTERM did not end the game"; kill -KILL "$pid"; exit 1; fi
  wait "$pid" || { echo "install: the game ended with status $?"; exit 1; }
  exit 0
fi
build=$1; display=${2:-}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "install: $*"; exit 1; }

for f in bin/gyrix bin/gyrix-tool lib/libcordak.so lib/liblumex.so share/gyrix/Web.bmp \
         share/gyrix/help/index.html share/applications/gyrix.desktop \
         share/mime/packages/gyrix.xml share/metainfo/io.github.gyrix.Gyrix.metainfo.xml; do
  [ -f "$prefix/$f" ] || fail "$f is missing"
done
for size in 16 32 48 128 256; do
  [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/gyrix.png" ] || fail "no ${size}px icon"
done

# The installed program, not the build's: its libraries come from the prefix.
version=$(env -u LD_LIBRARY_PATH "$prefix/bin/gyrix" --version)
[[ $version == "Gyrix "* ]] || fail "--version printed '$version'"
# Whole outputs first: grep -q leaving a pipe early would fail the pipeline.
help=$(env -u LD_LIBRARY_PATH "$prefix/bin/gyrix" --help)
[[ $help == *"Usage: gyrix"* ]] || fail "--help printed '$help'"
libs=$(env -u LD_LIBRARY_PATH ldd "$prefix/bin/gyrix")
[[ $libs == *"liblumex.so => $prefix/bin/../lib/liblumex.so"* ]] || fail "liblumex.so not from the prefix"
libs=$(env -u LD_LIBRARY_PATH ldd "$prefix/lib/liblumex.so")
[[ $libs == *"libcordak.so => $prefix/lib/libcordak.so"* ]] || fail "libcordak.so not from the prefix"

grep -q '^Categories=Game;LogicGame;$' "$prefix/share/applications/gyrix.desktop" || fail "categories"
grep -q '^MimeType=application/x-gyrix-puzzle;$' "$prefix/share/applications/gyrix.desktop" || fail "MIME type"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/gyrix.desktop" || fail "the desktop file is not valid"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/io.github.gyrix.Gyrix.metainfo.xml" >/dev/null ||
    fail "the metainfo file is not valid"
fi

"$prefix/bin/gyrix-tool" save 5 "$work/game.puz" --turns 1 >/dev/null
if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime" 2>/dev/null
  grep -q '^50:application/x-gyrix-puzzle:\*\.puz$' "$prefix/share/mime/globs2" || fail "no file type for .puz"
  if command -v gio >/dev/null; then
    type=$(XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_DATA_HOME="$work/none" \
           gio info -a standard::content-type "$work/game.puz" | sed -n 's/.*content-type: //p')
    [ "$type" = "application/x-gyrix-puzzle" ] || fail "a saved game is of type '$type'"
  fi
fi

[ "$display" = "--no-display" ] && { echo "ok (no display check)"; exit 0; }
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || { echo "ok (no virtual display)"; exit 0; }
mkdir -p "$work/home"
xvfb-run -a -s "-screen 0 800x600x24" bash "$0" --open "$prefix" "$work"
settings=$work/config/gyrix/Gyrix.ini
[ -f "$settings" ] || fail "no settings file in the configuration folder"
grep -q '^LastPuzzle=5' "$settings" || fail "the game on the command line was not opened"
[ ! -e "$prefix/bin/Gyrix.ini" ] || fail "settings written into the installed program's folder"
echo "ok"
