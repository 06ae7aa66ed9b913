#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quorin need; with the argument "fuzz", also
# clang and its libFuzzer and sanitizer runtimes for the fuzz drivers (scripts/fuzz.sh).
# Only missing packages are installed; apt-get update runs at most once.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev qt6-translations-l10n
  libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk
  python3 unicode-data ccache
  xvfb openbox
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
