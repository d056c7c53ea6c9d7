#!/usr/bin/env bash
# Installs what is missing, builds the navigator and the sample disc, and starts the navigator
# on it. Extra arguments go to the navigator (e.g. --window, --screen 1024x768, --scale 2);
# with --disc PATH (a disc folder or a disc image, .iso) it starts on that disc instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
BUILD=${BUILD:-build}
. scripts/toolchain.sh
qx_configure "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD" -j"$(nproc)" --target quarx32 lumex sample_disc
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: running offscreen (nothing will be shown)." >&2
  export QT_QPA_PLATFORM=offscreen
fi
for arg in "$@"; do
  case "$arg" in --disc|--disc=*) exec "$BUILD/apps/quarx32" "$@" ;; esac
done
exec "$BUILD/apps/quarx32" --disc "$BUILD/disc" "$@"
