#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# (in build-fuzz, or $FUZZ_BUILD) and runs each for SECONDS (default 60), one after another.
#   scripts/fuzz.sh [SECONDS] [NAME...]       NAME: dem, bmr, bpk, picture (default: all)
# New inputs go to $FUZZ_BUILD/fuzz-work/NAME; a crash leaves crash-* there and stops the run
# (copy it into fuzz/corpus/NAME once fixed).
set -euo pipefail
cd "$(dirname "$0")/.."
DURATION=${1:-60}
[ $# -gt 0 ] && shift
BUILD=${FUZZ_BUILD:-build-fuzz}
if [ $# -gt 0 ]; then
  names=("$@")
else
  names=()
  for f in fuzz/*.cpp; do names+=("$(basename "$f" .cpp)"); done
fi
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DQX_BUILD_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null
cmake --build "$BUILD" -j2 --target "${names[@]/#/fuzz_}" >/dev/null
ROOT=$(pwd)
BUILD=$(cd "$BUILD" && pwd)
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$ROOT/fuzz/lsan.supp
for n in "${names[@]}"; do
  work="$BUILD/fuzz-work/$n"
  mkdir -p "$work"
  seeds=()
  [ -d "fuzz/corpus/$n" ] && seeds=("$ROOT/fuzz/corpus/$n")
  echo "fuzz_$n: ${DURATION} s"
  (cd "$work" && "$BUILD/fuzz/fuzz_$n" -max_total_time="$DURATION" -rss_limit_mb=2048 \
    -malloc_limit_mb=512 -print_final_stats=1 . "${seeds[@]}" 2>&1 | tail -n 12)
done
