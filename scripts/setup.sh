#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run, test and
# benchmark Velorin. Safe to run again: it only installs missing packages.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtk2.0-dev libsuitesparse-dev libopenblas-dev
  libgtest-dev
  xvfb xauth xdotool imagemagick
  clang clang-format
  # checking the installed tree and building the Debian package
  desktop-file-utils man-db dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # CI and fresh machines run as root; elsewhere go through sudo.
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo --preserve-env=DEBIAN_FRONTEND)
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
