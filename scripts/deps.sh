#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those missing;
# the arguments name more (scripts/package.sh asks for the packaging tools).
set -euo pipefail
packages=(qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libgl-dev
  cmake ninja-build g++ xvfb xauth dbus dbus-x11 python3-dbusmock
  libgtest-dev libgmock-dev libbenchmark-dev poppler-utils ccache fonts-liberation openssl
  librsvg2-bin desktop-file-utils appstream groff-base xdotool "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
