#!/usr/bin/env bash
# Installs the Debian packages Vekkaro needs to build, run and test.
# Does nothing when they are all present already.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-speech-dev
  qt6-declarative-dev qt6-svg-dev qt6-image-formats-plugins
  qt6-speech-flite-plugin qt6-speech-speechd-plugin
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  pulseaudio pulseaudio-utils alsa-utils
  xvfb xauth x11-apps imagemagick
  fonts-dejavu-core fonts-liberation fonts-urw-base35
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing Debian packages: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
