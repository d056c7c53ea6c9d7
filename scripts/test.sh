#!/usr/bin/env bash
# Installs what is missing, builds everything (with the sample disc) and runs every test.
# Extra arguments go to ctest (e.g. -R Formats, -L formats). QX_RELEASE_FLAGS, when set,
# replaces the compiler's optimisation and debug flags (CI builds without debug information);
# QX_CMAKE_ARGS adds cmake options (CI leaves the benchmarks out).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
. scripts/toolchain.sh
BUILD=${BUILD:-build}
flags=()
if [ -n "${QX_RELEASE_FLAGS:-}" ]; then
  flags=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$QX_RELEASE_FLAGS" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$QX_RELEASE_FLAGS")
fi
# shellcheck disable=SC2086
qx_configure "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" ${QX_CMAKE_ARGS:-}
cmake --build "$BUILD" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
cd "$BUILD"
# No test may hang the run: each is stopped after five minutes.
ctest --output-on-failure -j"$(nproc)" --timeout 300 -LE 'fuzz|slow' "$@"
