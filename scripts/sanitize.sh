#!/usr/bin/env bash
# Builds and runs the tests under a sanitizer, in a build folder of its own.
#   scripts/sanitize.sh asan [CTEST ARGS...]   AddressSanitizer + UndefinedBehaviorSanitizer,
#                                              the whole suite (build-asan, or $ASAN_BUILD)
#   scripts/sanitize.sh tsan [CTEST ARGS...]   ThreadSanitizer, the tests of our own threads
#                                              (build-tsan, or $TSAN_BUILD)
# Only what the tests need is built (no benchmarks, no fuzz drivers), at -O1 without full debug
# information: the sanitizers' reports need function names and lines, not variables.
# Prints ctest's summary line; non-zero exit status on any failure or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
kind=${1:?usage: sanitize.sh asan|tsan [ctest args]}
shift
JOBS=${JOBS:-$(nproc)}
. scripts/toolchain.sh

case "$kind" in
  asan)
    BUILD=${ASAN_BUILD:-build-asan}
    sanitize=address,undefined
    # Every finding stops the test that made it, so ctest counts it as a failure.
    flags="-O1 -g1 -fno-sanitize-recover=all"
    slower=3
    # Set before the build too: the sample disc is written by an instrumented mkdisc. Leaks are
    # ignored only inside third-party libraries (see the file).
    export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=0
    export LSAN_OPTIONS=suppressions=$ROOT/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$ROOT/tests/ubsan.supp
    ;;
  tsan)
    BUILD=${TSAN_BUILD:-build-tsan}
    sanitize=thread
    flags="-O1 -g1"
    slower=10
    export TSAN_OPTIONS="suppressions=$ROOT/tests/tsan.supp:halt_on_error=1:second_deadlock_stack=1:report_signal_unsafe=0"
    ;;
  *)
    echo "usage: sanitize.sh asan|tsan [ctest args]" >&2
    exit 2
    ;;
esac

start=$(date +%s)
qx_configure "$BUILD" -DCMAKE_BUILD_TYPE=Sanitize \
  -DCMAKE_CXX_FLAGS_SANITIZE="$flags" -DCMAKE_C_FLAGS_SANITIZE="$flags" \
  -DQX_SANITIZE="$sanitize" -DQX_BUILD_BENCH=OFF -DQX_BUILD_FUZZ=OFF

if [ "$kind" = asan ]; then
  # Every test binary and replay driver, the programs the tests start, the disc they read.
  help=$(cmake --build "$BUILD" --target help)
  targets=$(sed -n 's/^\(\.\.\. \)\?\(test_[a-z_]*\|replay_[a-z_]*\|winprog\)\(: phony\)\?$/\2/p' <<<"$help" |
    grep -v _autogen)
  targets="$targets quarx32 lumex quarxtool mkdisc sample_disc"
  labels=(-LE 'fuzz|slow|install')
  select=()
else
  # Qt itself is not built with ThreadSanitizer, so only the tests that drive our own threads
  # run here: the wave-out device thread and the sound module's notifiers and buffers (audio),
  # the video player's decoding worker (platform, and the intro movie), the single-instance
  # listener, the navigator's start-up decoding on workers, the frame read-ahead of the mode
  # animations and its serial workers, the background picture decoding and the music's wave
  # loading thread.
  targets="test_threads"
  # The sample disc is the same bytes in every build: the ordinary build's serves when present.
  disc=${QX_SAMPLE_DISC:-$ROOT/${NORMAL_BUILD:-build}/disc}
  if [ -f "$disc/.quarx-sample-disc" ]; then
    export QX_SAMPLE_DISC=$disc
  else
    targets="$targets sample_disc"
  fi
  labels=()
  select=(-R '^([A-Za-z]+/)?(AudioOutput|BufferDeviceTest|EventTest|SoundModule[A-Za-z]*|WaveMix[A-Za-z]*|WaveOutTest|VideoPlayerTest|SingleInstance[A-Za-z]*|BackgroundDecodeTest|ModeAnimation[A-Za-z]*|SerialWorker[A-Za-z]*|CeremonyMovieTest|SoundWindowTest|SoundBackEnds|SoundOutputTest|MainWindowTest)\.')
  # clang 14's ThreadSanitizer fails its own check when Qt starts a process (its clone
  # interceptor), so the tests that start the programs run only in the other two runs.
  select+=(-E '^SingleInstanceTest\.(SecondProgramStart|TerminationSignal|OfNavigatorsStartedTogether)')
fi

# shellcheck disable=SC2086
cmake --build "$BUILD" -j"$JOBS" --target $targets >"$BUILD/build.log" 2>&1 || {
  tail -n 60 "$BUILD/build.log"
  exit 1
}
built=$(date +%s)
echo "$kind: built in $((built - start)) s"

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
status=0
(cd "$BUILD" && ctest --output-on-failure -j"$JOBS" --timeout $((300 * slower)) "${labels[@]}" "${select[@]}" "$@") ||
  status=$?
echo "$kind: tests ran in $(($(date +%s) - built)) s, exit status $status"
exit "$status"
