#!/usr/bin/env bash
# Hears the navigator end to end, as a person at the machine would: starts it on the sample disc
# under a virtual X display with SDL's disk audio driver, clicks "APLICATIVOS" (gtbApps), opens
# the first demo of that list, goes back, lets another window take the focus and gives it back.
# Then finds each effect of the sample disc in the captured stream by cross-correlation and
# checks that they came in the order of the clicks with the theme music under them, that the
# stream went silent when the window lost the focus and that the music came back with it.
#
# Usage: scripts/sound-tour.sh [player|mixer] [OUT-PREFIX]   (BUILD=build)
#   player: the buffer player plays, as it does whenever it can start.
#   mixer:  the output device is held by another program at start-up and let go a moment
#           later: the player cannot start, the wave mixer takes over and the retry timer gets
#           the device (message 29, answered with Enter).
# Leaves OUT-PREFIX.wav (the capture laid out in real time) and OUT-PREFIX.report.
# Exit status: 0 heard as expected, 1 not, 77 when a tool it needs is missing (skipped).
set -euo pipefail
BACKEND=${1:-player}
OUT=${2:-/tmp/quarx32-tour-$BACKEND}
BUILD=$(cd "${BUILD:-build}" && pwd)
case "$BACKEND" in player | mixer) ;; *) echo "back-end: player or mixer" >&2; exit 2 ;; esac
for tool in Xvfb xdotool sox xmessage; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing" >&2; exit 77; }
done
for file in "$BUILD/apps/quarx32" "$BUILD/tools/earshot/earshot" "$BUILD/disc/QUARX/Resour/waves"; do
  [ -e "$file" ] || { echo "SKIP: $file is missing (build it first)" >&2; exit 77; }
done
EARSHOT=$BUILD/tools/earshot/earshot
WAVES=$BUILD/disc/QUARX/Resour/waves

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own (the first free number).
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -1 "$work/display")"

# A settings store that has seen this edition (no first-run message), at full volume with the
# music on, and a single-instance lock of its own.
home=$work/home
mkdir -p "$home/config/velOrbint" "$home/run"
chmod 700 "$home/run"
printf '[General]\nKVRVer=9\nVolumeLevel=99\nPerso01=15\n' >"$home/config/velOrbint/KVR.conf"

# The stream goes through the program's own standard output into the recorder, which notes
# when each piece arrives: the program closes the device in the background and reopens it
# (a file would start again empty), and the arrival times place the silence between.
# The device is held while the output file's name leads nowhere.
mkfifo "$work/stream"
"$EARSHOT" record "$OUT" <"$work/stream" &
recorder=$!
pids+=($recorder)
if [ "$BACKEND" = mixer ]; then
  ln -s "$work/held/by/another/program" "$work/out"
else
  ln -s /dev/stdout "$work/out"
fi
env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=xcb \
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out" \
  "$BUILD/apps/quarx32" --program-dir "$BUILD/disc/QUARX" --window >"$work/stream" 2>"$work/app.log" &
app=$!
pids+=($app)

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quarx CD-ROM 9$' | head -1)
[ -n "$window" ] || { echo "the navigator's window did not appear" >&2; exit 1; }
calc() { awk "BEGIN { printf \"%.${2:-3}f\", $1 }"; }  # EXPRESSION [DECIMALS]
received() { tail -1 "$OUT.times" 2>/dev/null | awk '{print $2 + 0}'; }
click() { xdotool mousemove --window "$window" "$1" "$2" sleep 0.2 click 1; }

if [ "$BACKEND" = mixer ]; then
  # The other program lets the device go; the next retry (every 2 s) finds it free and says
  # so with message 29, which Enter answers.
  sleep 0.5
  ln -sfn /dev/stdout "$work/out"
  box=""
  for _ in $(seq 60); do
    box=$(xdotool search --onlyvisible --name '.' 2>/dev/null | grep -vx "$window" | while read -r w; do
      [ "$(xdotool getwindowname "$w" 2>/dev/null)" != "" ] && echo "$w"; done | head -1 || true)
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || { echo "message 29 did not appear" >&2; exit 1; }
  sleep 0.3
  xdotool windowfocus --sync "$box" key Return
fi

# The window's design area (800 x 600) lies centred in the 1024 x 768 window.
sleep 3                       # the opening animation
mark_apps=$(received)
click 543 116                 # gtbApps: "2gen", the list of applications
sleep 1.5
xdotool mousemove --window "$window" 620 277   # over the first row: it is selected
sleep 0.5
mark_open=$(received)
xdotool click 1               # opens the demo: "Details", then the animations' panels
sleep 3
mark_back=$(received)
click 845 387                 # gtbBack: "GetBack", then the animations' panels
sleep 3

# Another window takes the focus: the navigator goes quiet. Then it gets the focus back.
xmessage -geometry +700+650 "another program" &
pids+=($!)
other=$(timeout 10 xdotool search --sync --onlyvisible --name '^xmessage$' | head -1)
mark_off=$(received)
xdotool windowfocus --sync "$other"
mark_moved=$(received)
sleep 2
mark_on=$(received)
xdotool windowfocus --sync "$window"
sleep 3
kill -TERM "$app"
wait "$app" || true
wait "$recorder" || true

# The capture in real time (silence where the device was closed), as a WAV, and mono copies
# of it and of the effects for the search.
"$EARSHOT" layout "$OUT" "$work/timeline.raw" >"$work/gaps"
sox -t raw -r 22050 -e signed -b 16 -c 2 "$work/timeline.raw" "$OUT.wav"
sox -t raw -r 22050 -e signed -b 16 -c 2 "$OUT.raw" -e signed -b 16 -t raw "$work/stream-mono.raw" remix -
sox "$OUT.wav" -e signed -b 16 -t raw "$work/timeline-mono.raw" remix -
effects=()
for name in MiniBts Details GetBack fnext fback CapOpen panelin panelout 1gen 2gen 3gen 4gen 5gen; do
  sox "$WAVES/$name.wav" -r 22050 -c 1 -e signed -b 16 -t raw "$work/$name.raw"
  effects+=("$name=$work/$name.raw")
done
themes=()
for theme in Theme1 Theme2; do
  sox "$WAVES/$theme.wav" -r 22050 -c 1 -e signed -b 16 -t raw "$work/$theme.raw"
  # A second of each track, 2 s into it, marks where that track was playing.
  sox "$WAVES/$theme.wav" -r 22050 -c 1 -e signed -b 16 -t raw "$work/$theme-mark.raw" trim 2 1
  themes+=("$theme=$work/$theme-mark.raw")
done
# An effect's best fit lies near the level it plays at (the music under it lowers the score);
# the theme's second is the music alone, nearly whole.
{
  "$EARSHOT" find "$work/timeline-mono.raw" 0.3 0.7 1.6 "${effects[@]}"
  "$EARSHOT" find "$work/timeline-mono.raw" 0.8 0.5 1.5 "${themes[@]}"
} | sort -k2 -n >"$work/found"

# Stream positions (frames) of the marks become timeline seconds: add the gaps before them.
to_time() {
  awk -v frame="$(($1 / 4))" '{ if ($2 * 22050 - shift <= frame + 0.5) shift += $3 * 22050 }
    END { printf "%.3f", (frame + shift) / 22050 }' "$work/gaps"
}
t_apps=$(to_time "$mark_apps"); t_open=$(to_time "$mark_open"); t_back=$(to_time "$mark_back")
t_off=$(to_time "$mark_off"); t_moved=$(to_time "$mark_moved"); t_on=$(to_time "$mark_on")
total=$(sox --i -D "$OUT.wav")

# The silence of the background: the first gap (device closed) or silent stretch after the
# focus went elsewhere, and the last sound before it.
read -r gap_at gap_len < <(awk -v t="$t_off" '$2 >= t { print $2, $3; exit }' "$work/gaps"; echo "")
[ -n "$gap_at" ] || { gap_at=$t_on; gap_len=0; }
last_sound=$(od -An -v -t d2 -w2 -j "$(calc "int($t_off * 22050) * 2" 0)" \
  -N "$(calc "int(($gap_at - $t_off) * 22050) * 2" 0)" "$work/timeline-mono.raw" |
  awk -v t="$t_off" '$1 > 32 || $1 < -32 { last = NR } END { printf "%.3f", t + last / 22050 }')
quiet_ms=$(calc "($last_sound - $t_off) * 1000" 0)
moved_ms=$(calc "($last_sound - $t_moved) * 1000" 0)
# Where in the theme the music stood before and after: half a second each side of the gap.
where() {  # FROM: the theme and the place in it of the capture's half second from FROM
  local best="" theme
  for theme in Theme1 Theme2; do
    echo "$theme $("$EARSHOT" best "$work/$theme.raw" "$work/timeline-mono.raw" "$1" 0.5)"
  done | sort -k3 -n -r | head -1
}
before_off=$(where "$(calc "$gap_at - 0.6")")
after_on=$(where "$(calc "$gap_at + $gap_len + 0.3")")

segment() {  # NAME FROM TO: peak, RMS and length of that part of the capture
  local from=$2 to=$3
  local figures
  figures=$(sox "$OUT.wav" -n trim "$from" "=$to" stat 2>&1 |
    awk '/Maximum amplitude/ {p=$3} /RMS     amplitude/ {r=$3} END {printf "%.3f %.3f", p, r}')
  printf '%-28s %7.3f s .. %7.3f s  (%5.2f s)  peak %s  RMS %s\n' "$1" "$from" "$to" \
    "$(calc "$to - $from")" ${figures% *} ${figures#* }
}

{
  echo "== $BACKEND: capture of $total s laid out in real time ($OUT.wav)"
  sed 's/^gap \(.*\) \(.*\)$/device closed at \1 s for \2 s/' "$work/gaps"
  echo "== sounds found (name, start in s, correlation)"
  cat "$work/found"
  echo "== segments"
  segment "before the clicks" 0 "$t_apps"
  segment "after gtbApps" "$t_apps" "$t_open"
  segment "after opening the demo" "$t_open" "$t_back"
  segment "after gtbBack" "$t_back" "$t_off"
  segment "the focus going elsewhere" "$t_off" "$gap_at"
  segment "another window has the focus" "$gap_at" "$(calc "$gap_at + $gap_len")"
  segment "the focus back" "$(calc "$gap_at + $gap_len")" "$total"
  echo "== the focus asked for elsewhere at $t_off s, moved by $t_moved s; last sound at $last_sound s:"
  echo "   ${quiet_ms} ms after the request, ${moved_ms} ms after the move (Qt waits 100 ms for a"
  echo "   focus-in to another of its windows before it reports the application inactive)"
  echo "   the music before: $before_off (theme, place in it in s, correlation, gain)"
  echo "   the music after:  $after_on"
} | tee "$OUT.report"

# The checks. Each effect's first place after its click, in order; the theme under them.
rms() { sox "$OUT.wav" -n trim "$1" "=$2" stat 2>&1 | awk '/RMS     amplitude/ {print $3}'; }
first_after() { awk -v n="$1" -v t="$2" '$1 == n && $2 >= t { print $2; exit }' "$work/found"; }
fail=0
check() { if ! eval "$2"; then echo "FAILED: $1" | tee -a "$OUT.report"; fail=1; fi; }
s_2gen=$(first_after 2gen "$t_apps")
s_details=$(first_after Details "$t_open")
s_panelout=$(first_after panelout "$t_open")
s_getback=$(first_after GetBack "$t_back")
s_panelout2=$(first_after panelout "$t_back")
lt() { [ -n "$1" ] && [ -n "$2" ] && awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
check "\"2gen\" after the click on gtbApps" "lt '$t_apps' '$s_2gen' && lt '$s_2gen' '$t_open'"
check "\"Details\" after \"2gen\", when the demo opens" "lt '$s_2gen' '$s_details' && lt '$s_details' '$t_back'"
check "\"panelout\" with the demo's page (at most 0.1 s from \"Details\")" \
  "lt '$s_details' '$(calc "${s_panelout:-0} + 0.1")' && lt '$s_panelout' '$(calc "${s_details:-0} + 0.1")'"
check "\"GetBack\" and \"panelout\" after gtbBack" "lt '$t_back' '$s_getback' && lt '$t_back' '$s_panelout2' && lt '$s_panelout2' '$t_off'"
len1=$(sox --i -D "$WAVES/Theme1.wav"); len2=$(sox --i -D "$WAVES/Theme2.wav")
music_at() {  # a theme track was playing at t (its excerpt lies 2 s into it) and sounding
  awk -v t="$1" -v l1="$len1" -v l2="$len2" '
    ($1 == "Theme1" && $2 - 2 <= t && t <= $2 - 2 + l1) || ($1 == "Theme2" && $2 - 2 <= t && t <= $2 - 2 + l2) { found = 1 }
    END { exit !found }' "$work/found" &&
    awk -v r="$(rms "$(calc "$1 - 0.3")" "$1")" 'BEGIN { exit !(r > 0.03) }'
}
check "theme music under \"2gen\"" "music_at '$s_2gen'"
check "theme music under \"Details\"" "music_at '$s_details'"
check "theme music under \"GetBack\"" "music_at '$s_getback'"
# Qt reports the loss of the focus 100 ms after X does (it waits for a focus-in to one of its
# own windows); then one block of the output at most, and room for a busy machine.
check "silent within 0.4 s of asking for the focus elsewhere" "[ '$quiet_ms' -le 400 ]"
# (the stream's arrival times place its end to within a write or two: a tenth of a second less)
check "silence while another window has the focus" \
  "awk -v r='$(rms "$last_sound" "$(calc "$t_on - 0.1")")' 'BEGIN { exit !(r < 0.001) }'"
check "the music back with the focus" \
  "awk -v r='$(rms "$(calc "$gap_at + $gap_len + 0.3")" "$total")' 'BEGIN { exit !(r > 0.05) }'"
exit "$fail"
