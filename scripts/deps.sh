#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the sample disc need, when missing.
# Used by the README's two commands and by CI. `scripts/deps.sh tools` adds what the hands-on
# scripts need (a virtual display, input, screenshots, sound figures: scripts/sound-tour.sh and
# scripts/listen.sh); the test suite does not.
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  # clang compiles the project in well under half of GCC's time; its runtime has the sanitizers.
  clang libclang-rt-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev
  libsdl2-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  zlib1g-dev libjpeg62-turbo-dev libjpeg-turbo-progs
  fonts-dejavu-core fontconfig
  libarchive-dev desktop-file-utils appstream
  # Windows demos run through Wine; the Wine test's program is cross-compiled (both optional:
  # the tests that need them skip themselves without).
  wine wine64 gcc-mingw-w64-x86-64
)
if [ "${1:-}" = tools ]; then
  PACKAGES+=(xvfb xauth xdotool imagemagick x11-utils sox)
fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
