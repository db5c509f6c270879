# Focus lost to another window while fullscreen, on Xorg with the dummy driver (1920x1080
# desktop; scripts/xorg-run-here), judged from outside: the screen (ffmpeg's X11 grabber,
# its top-left 640x480) and a private PulseAudio server's null-sink monitor, recorded by one
# ffmpeg through each case and read by tests/e2e/focus_hold.py.
# - The real 640x480 mode: focus lost, the desktop's mode is back within 2 s, the picture is
#   still and the monitor silent; focus back, 640x480 again, the music comes back at the
#   song position where it stopped and a grab just after it matches a fixed-clock capture
#   at that moment, not ones seconds later; then picture and music move on.
# - --desktop: the same without a mode change (no capture at that size).
# - A viewer's pause (Space) before the focus is lost stays a pause after it is back, until
#   Space again.
# - --window plays on without the focus; under a window manager, minimised it holds, and
#   restored it plays on from there.
# Once on the bare server (focus moved by xdotool alone), once under a window manager
# (openbox), where the fullscreen window is minimised while away and activated to come back.
# $1 the program, $2 the data-set generator.
source "$(dirname "$0")/lib.sh"
need_xorg
GENERATOR=$2
for tool in pulseaudio pactl ffmpeg xdotool openbox xmessage; do
  command -v $tool >/dev/null || fail "$tool missing (scripts/install-deps)"
done
export GENERATOR
# FOCUS_KEEP=DIR keeps the recordings and the program's output there, for a look after a failure.
[ -n "${FOCUS_KEEP:-}" ] && trap 'rm -rf "$FOCUS_KEEP"; cp -r "$WORK" "$FOCUS_KEEP"; rm -rf "$WORK"' EXIT

cat > "$WORK/cases.sh" <<'CASES'
set -uo pipefail
source "$ROOT/tests/display/modes.sh"
"$GENERATOR" --sync "$WORK/reference" > /dev/null || fail "megadata-gen --sync"

# A sound server of our own: one null sink, the default, recorded through its monitor.
export XDG_RUNTIME_DIR=$WORK/pulse HOME=$WORK/pulse PULSE_SERVER=unix:$WORK/pulse/native SDL_AUDIODRIVER=pulseaudio
mkdir -p "$XDG_RUNTIME_DIR"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
  -L "module-null-sink sink_name=viewer rate=44100 channels=2" \
  -L "module-native-protocol-unix socket=$WORK/pulse/native auth-anonymous=1" > "$WORK/pulseaudio.log" 2>&1 &
pulse_pid=$!
xmessage -geometry 300x100+800+500 "another program" &
other_pid=$!
trap 'kill ${recorder:-} $other_pid $pulse_pid ${wm:-} 2>/dev/null' EXIT
for _ in $(seq 1 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
pactl info >/dev/null 2>&1 || fail "PulseAudio did not start: $(tail -n 3 "$WORK/pulseaudio.log")"
for _ in $(seq 1 50); do other=$(xdotool search --name xmessage | head -n 1); [ -n "$other" ] && break; sleep 0.1; done
[ -n "$other" ] || fail "the other window did not appear"

# record NAME: one ffmpeg, at real-time priority as measure-sync's, records the screen's
# top-left 640x480 (30 grabs a second, grey 320x240) and the monitor into $WORK/NAME, both
# on the wall clock less $epoch.
record() {
  rec=$WORK/$1
  mkdir -p "$rec"
  epoch=$(( $(date +%s) - 1 ))
  chrt -f 20 ffmpeg -hide_banner -nostdin -loglevel info -y -copyts \
    -itsoffset -$epoch -thread_queue_size 1024 -f x11grab -draw_mouse 0 -framerate 30 -video_size 640x480 -i "$DISPLAY" \
    -itsoffset -$epoch -thread_queue_size 1024 -f pulse -sample_rate 44100 -channels 2 -fragment_size 1024 -i viewer.monitor \
    -map 0:v -vf "scale=320:240:flags=area,format=gray,showinfo@screen" -fps_mode passthrough -f rawvideo "$rec/video.raw" \
    -map 1:a -af "aresample=async=0,pan=mono|c0=0.5*c0+0.5*c1,ashowinfo@demo" -f s16le -acodec pcm_s16le "$rec/audio.raw" \
    > "$rec/ffmpeg.log" 2>&1 &
  recorder=$!
  for _ in $(seq 1 100); do grep -q "ashowinfo@demo" "$rec/ffmpeg.log" 2>/dev/null && break; sleep 0.05; done
}
stop_recording() { kill -INT $recorder; wait $recorder 2>/dev/null; recorder=""; }
# now: seconds on the recording's clock; at T D: T plus D seconds.
now() { awk -v t="$(date +%s.%N)" -v e="$epoch" 'BEGIN { printf "%.3f", t - e }'; }
at() { awk -v t="$1" -v d="$2" 'BEGIN { printf "%.3f", t + d }'; }
# wait_music NAME [SECONDS]: until the monitor carries sound (the last 0.1 s written, which
# a busy machine's recorder writes late: it paces the case, the recording judges), 30 s at
# most.
wait_music() {
  for _ in $(seq 1 $(( ${2:-30} * 10 ))); do
    tail -c 8820 "$rec/audio.raw" 2>/dev/null | od -An -v -td2 |
      awk '{ for (i = 1; i <= NF; i++) if ($i > 500 || $i < -500) loud = 1 } END { exit !loud }' && return 0
    sleep 0.1
  done
  kill -9 $pid; fail "$1: no music on the monitor after ${2:-30} s"
}
# judge NAME ARGS...: focus_hold.py on the recording; fails the case when it does.
judge() {
  local name=$1; shift
  /usr/bin/python3 "$ROOT/tests/e2e/focus_hold.py" --record "$rec" --reference "$WORK/reference" \
    --demo "$DEMO" --data "$DATA" "$@" > "$rec/judged" 2>&1
  local status=$?
  sed "s/^/  $name: /" "$rec/judged"
  [ $status -eq 0 ] || fail "$name: judged from the screen and the monitor (status $status)"
}
demo_window() { xdotool search --name "Zircon megademo" | head -n 1; }
# to_demo WINDOW: focus back to the demo (activated under a window manager, which
# minimised it).
to_demo() {
  if [ -n "$wm" ]; then xdotool windowactivate --sync "$1"; else xdotool windowfocus --sync "$1"; fi
}
away() {
  xdotool windowfocus --sync "$other"
  if [ -n "$wm" ]; then
    sleep 0.5
    xwininfo -id "$demo" | grep -q 'Map State: IsUnMapped' || fail "$name: focus lost, the window is not minimised"
  fi
}
# quit NAME: Escape; the run ends with status 0 and leaves the desktop's mode.
quit() {
  xdotool windowfocus --sync "$(demo_window)"; xdotool key Escape
  wait $pid || fail "$1: exit status $?"
  stop_recording
  wait_mode 1920x1080 2 || fail "$1: the end left the desktop at $(mode)"
}

# Every case plays from 23 s: the light band, always moving, where no stretch of 2 s of the
# music sounds like another within seconds of it.
START=23000

# away_and_back NAME PLAYING_MODE PAUSE OPTION...: focus away for 2 s and back; the grab
# after the return matched against captures at 640x480. PAUSE yes: then the viewer pauses
# (Space), the focus goes away and back, and Space again.
away_and_back() {
  local name="$1 ($desktop)" playing=$2 pause=$3 t_away t_back t_away2 t_hidden t_back2 t_play judged=()
  shift 3
  record "${1:-mode}${wm:+-wm}"
  "$DEMO" --data "$DATA" --no-dialogs --start $START "$@" > "$rec/out" 2>&1 &
  pid=$!
  wait_mode "$playing" 20 || { kill -9 $pid; fail "$name: never played at $playing ($(mode))"; }
  wait_music "$name"
  sleep 1.5
  demo=$(demo_window)
  away
  wait_mode 1920x1080 2 || fail "$name: focus lost, the desktop is left at $(mode)"
  t_away=$(now)
  sleep 2
  t_back=$(now)
  to_demo "$demo"
  wait_mode "$playing" 3 || fail "$name: focus back, the mode is $(mode), not $playing"
  wait_music "$name: focus back" 10
  sleep 2
  judged=(--still "$(at $t_away +0.5)" "$(at $t_back -0.1)" --hold "$(at $t_away +0.5)" "$t_back")
  [ "$playing" = 640x480 ] && judged+=(--picture 0.25)
  if [ "$pause" = yes ]; then
    xdotool windowfocus --sync "$demo"
    xdotool key space
    sleep 2
    t_away2=$(now)
    away
    wait_mode 1920x1080 2 || fail "$name, paused: focus lost, the desktop is left at $(mode)"
    t_hidden=$(now)
    sleep 1.5
    t_back2=$(now)
    to_demo "$demo"
    wait_mode "$playing" 3 || fail "$name, paused: focus back, the mode is $(mode)"
    sleep 3
    t_play=$(now)
    xdotool windowfocus --sync "$demo"
    xdotool key space
    wait_music "$name: Space again" 10
    sleep 2
    # Held from the music's stop to the focus lost, while away, and back until Space.
    judged+=(--still-from-stop "$t_away2" "$t_away2" --still "$(at $t_hidden +0.5)" "$t_back2"
             --still "$(at $t_play -1.5)" "$t_play" --hold "$t_away2" "$t_play")
  fi
  quit "$name"
  judge "$name" --start $START "${judged[@]}"
  echo "ok: $name: focus lost, 1920x1080 back, picture and music held; focus back, $playing again, on from the held moment"
  [ "$pause" = yes ] && echo "ok: $name: the viewer's pause held through focus lost and back until Space, then on from there"
}

# desktop_window: --window plays on without the focus; under a window manager, minimised
# it holds, restored it plays on.
desktop_window() {
  local name="--window ($desktop)" t_away t_min t_back args=()
  record "window${wm:+-wm}"
  "$DEMO" --data "$DATA" --no-dialogs --window --start $START > "$rec/out" 2>&1 &
  pid=$!
  wait_music "$name"
  sleep 1
  demo=$(demo_window)
  t_away=$(now)
  xdotool windowfocus --sync "$other"
  sleep 2
  args=(--moving "$(at $t_away +0.3)" "$(at $t_away +2)")
  if [ -n "$wm" ]; then
    t_min=$(now)
    xdotool windowminimize --sync "$demo"
    sleep 2
    t_back=$(now)
    xdotool windowactivate --sync "$demo"
    wait_music "$name: restored" 10
    sleep 2
    args+=(--still "$(at $t_min +0.7)" "$t_back" --hold "$(at $t_min +1)" "$t_back")
  fi
  quit "$name"
  judge "$name" --start $START "${args[@]}"
  echo "ok: $name: plays on without the focus${wm:+; minimised it holds, restored it plays on from there}"
}

cases() {
  away_and_back "the real 640x480 mode" 640x480 yes
  away_and_back "--desktop" 1920x1080 no --desktop
  desktop_window
}

desktop="no window manager" wm=""
cases
openbox --sm-disable --config-file /dev/null > "$WORK/wm.out" 2>&1 &
wm=$!
desktop="a window manager"
sleep 1
cases
kill $wm
CASES

# Filmed and recorded in real time: one such recording at a time on this machine (the lock
# scripts/measure-sync takes).
exec 9>/tmp/zircon-measure-sync.lock
flock 9
"$ROOT/scripts/xorg-run-here" bash "$WORK/cases.sh" 9>&-
