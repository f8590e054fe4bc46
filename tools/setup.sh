#!/usr/bin/env bash
# Installs every Debian package that the build, the program and the tests need.
# Does nothing when they are all present. Must run as root.
set -euo pipefail

packages=(
  g++ cmake pkg-config
  freeglut3-dev libglew-dev libgl-dev libglu1-mesa-dev libx11-dev libgl1-mesa-dri
  xvfb xauth xdotool imagemagick x11-utils python3
  openbox picom wmctrl
  console-data
  libgtest-dev libbenchmark-dev
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# A locale whose decimal point is a comma, for the tests that prove number
# conversion and number text do not depend on the process locale.
comma_locale_missing() { ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; }

if [ ${#missing[@]} -eq 0 ] && ! comma_locale_missing; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update
  # --no-upgrade keeps apt from upgrading packages that are already there (Mesa in particular).
  apt-get install -y --no-install-recommends --no-upgrade "${missing[@]}"
fi
if comma_locale_missing; then
  localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
