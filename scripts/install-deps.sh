#!/usr/bin/env bash
# Installs the Debian packages that kelmora needs to build, test and run.
# Only what is missing is installed.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-l10n-tools libgl-dev
  libzip-dev libexpat1-dev zlib1g-dev
  fonts-dejavu-core fontconfig
  xdg-utils
)
if [ "${1:-}" = "--test" ]; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev
    libxlsxwriter-dev
    clang-14 libclang-rt-14-dev
    poppler-utils xvfb xauth xdotool
    python3
  )
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
