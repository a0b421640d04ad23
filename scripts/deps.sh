#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, when some are missing.
# Usage: scripts/deps.sh [build|test]
set -euo pipefail
what=${1:-build}

pkgs=(g++ cmake make pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev libvulkan-dev fonts-liberation
      libgtest-dev libbenchmark-dev locales-all qt6-translations-l10n libboost-dev libeigen3-dev nlohmann-json3-dev libcli11-dev)
if [ "$what" = test ]; then
  pkgs+=(xvfb xauth xdotool imagemagick dpkg-dev file clang libclang-rt-14-dev)
fi

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them as root with:" >&2
  echo "  sudo apt-get update && sudo $line" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$line -qq
