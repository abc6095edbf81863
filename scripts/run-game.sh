#!/usr/bin/env bash
# Starts the game from a build folder. While the game program is still being built up,
# this says what exists and exits.
set -euo pipefail
dir=${1:-build/release}
if [ -x "$dir/gyrix/gyrix" ]; then
  exec "$dir/gyrix/gyrix"
fi
echo "The gyrix game program is not part of the build yet: make run has built the libraries"
echo "that exist so far (see README.md, 'State of the build') and stops here."
