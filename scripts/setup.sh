#!/usr/bin/env bash
# Installs everything Vorn needs to build, run and test on Debian 12, and the
# packages named as arguments.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-tools-dev qt6-l10n-tools libgl1-mesa-dev
  fonts-noto-cjk qt6-translations-l10n
  xvfb xauth
  miniupnpd-nftables nftables
  libbenchmark-dev libminiupnpc-dev
  clang-14 libclang-rt-14-dev clang-tidy clang-format
  desktop-file-utils appstream
  "$@"
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
