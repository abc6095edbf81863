#!/usr/bin/env bash
# Installs the Debian packages Gyrix needs to build, test, benchmark and run.
# Only missing packages are installed; when everything is present it prints nothing.
set -euo pipefail

packages=(
  # toolchain
  g++ make cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  # libraries
  zlib1g-dev libpng-dev libsqlite3-dev
  libsdl2-dev libx11-dev libfreetype-dev libfontconfig-dev
  fonts-liberation2 fonts-dejavu-core
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev
  # real-window checks and opening pages with the desktop's browser
  xvfb xauth xdotool xdg-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
