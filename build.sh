#!/usr/bin/env bash
# Installs whatever is missing on Debian 12, builds, then starts orv ("run")
# or runs every test ("test").
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libasound2-dev
          libasound2-plugins alsa-utils libgtest-dev libgmock-dev libbenchmark-dev
          sox time dbus)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja
cmake --build build

case "${1:-}" in
  run)  shift; exec build/bin/orv "$@" ;;
  test) export QT_QPA_PLATFORM=offscreen; cd build && exec ctest --output-on-failure -j2 ;;
  *)    echo "usage: $0 run|test" >&2; exit 2 ;;
esac
