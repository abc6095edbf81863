#!/usr/bin/env bash
# Starts the game from a build folder (make run passes build/release).
set -euo pipefail
dir=${1:-build/release}
game="$dir/gyrix/gyrix"
if [ ! -x "$game" ]; then
  echo "run-game: $game was not built; run 'make build' and look for errors." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-game: there is no display to open the Gyrix window on (neither DISPLAY nor" >&2
  echo "WAYLAND_DISPLAY is set). Start it from a desktop session, or under a virtual display:" >&2
  echo "  xvfb-run -a $game" >&2
  exit 1
fi
exec "$game"
