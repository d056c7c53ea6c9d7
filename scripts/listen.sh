#!/usr/bin/env bash
# Listens to the navigator as a person would: runs it on the sample disc for SECONDS with SDL's
# disk audio driver (real-time pace), ends it with SIGTERM, turns the captured stream into a
# WAV and prints sox's figures for the whole and for each second (peak and RMS amplitude).
# Usage: scripts/listen.sh [SECONDS] [OUT-PREFIX]   (BUILD=build; DISPLAY or offscreen; sox comes
# with scripts/deps.sh tools)
set -euo pipefail
BUILD=${BUILD:-build}
RUN_SECONDS=${1:-10}
OUT=${2:-/tmp/quarx32-listen}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# A settings store of its own that has seen this edition (no first-run message), at full
# volume, and a single-instance socket of its own.
mkdir -p "$home/config/velOrbint" "$home/run"
chmod 700 "$home/run"
printf '[General]\nKVRVer=9\nVolumeLevel=99\nPerso01=15\n' >"$home/config/velOrbint/KVR.conf"
rm -f "$OUT.raw"
env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" \
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$OUT.raw" \
  QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-$([ -n "${DISPLAY:-}" ] && echo xcb || echo offscreen)}" \
  "$BUILD/apps/quarx32" --program-dir "$BUILD/disc/QUARX" --window &
pid=$!
sleep "$RUN_SECONDS"
kill -TERM "$pid"
wait "$pid" || true
sox -t raw -r 22050 -e signed -b 16 -c 2 "$OUT.raw" "$OUT.wav"
echo "== whole capture"
sox "$OUT.wav" -n stat 2>&1 | grep -E "Length|Maximum amplitude|Minimum amplitude|RMS     amplitude"
total=$(sox --i -D "$OUT.wav")
for ((s = 0; s < ${total%.*}; ++s)); do
  figures=$(sox "$OUT.wav" -n trim "$s" 1 stat 2>&1 |
    awk '/Maximum amplitude/ {p=$3} /RMS     amplitude/ {r=$3} END {printf "peak %.3f  RMS %.3f", p, r}')
  echo "second $s: $figures"
done
