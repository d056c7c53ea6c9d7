#!/usr/bin/env bash
# Installs what is missing, builds everything (with the sample disc) and runs every test.
# Extra arguments go to ctest (e.g. -R Formats, -L formats).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
cd "$BUILD"
ctest --output-on-failure -j"$(nproc)" -LE 'fuzz|slow' "$@"
