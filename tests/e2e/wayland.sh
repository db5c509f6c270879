# On a Wayland desktop of 1280 × 720 (weston; not 4:3) the default run, through SDL's
# Wayland driver and through XWayland alike, plays fullscreen at the compositor's size:
# no display-mode switch, no guardian process, no word of a fallback, status 0, and the
# compositor's own screenshot of the held frame at 37300 ms shows it at 960 × 720 from
# column 160 between black bars, the frame a 960 × 720 capture draws (not a 640 × 480
# picture scaled up). XWayland runs on weston's headless back end. SDL's Wayland driver
# (2.26) crashes on a compositor without a seat, which the headless back end never has:
# that case runs on weston's X11 back end inside a private Xvfb of the same size.
# Skipped (77) when weston cannot start at all.
source "$(dirname "$0")/lib.sh"
command -v weston >/dev/null && command -v Xwayland >/dev/null && command -v weston-screenshooter >/dev/null ||
  { echo "weston, Xwayland or weston-screenshooter missing: skipped"; exit 77; }
command -v ffmpeg >/dev/null && command -v xrandr >/dev/null || fail "ffmpeg and xrandr needed"
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DATA=$PWD/megadata
[ -d "$DATA" ] || fail "no megadata beside the program"
WESTON_PID=""
trap '[ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null; rm -rf "$WORK"' EXIT
# Mesa's software rasteriser on every machine, as the other tests draw.
export LIBGL_ALWAYS_SOFTWARE=1

# gray_stat FILE X Y W H max|mean: over a rectangle of a picture, in 0-255 luminance.
gray_stat() {
  ffmpeg -v error -i "$1" -vf "crop=$4:$5:$2:$3,format=gray" -f rawvideo - | od -An -v -tu1 -w1 |
    awk -v what="$6" '{ s += $1; if ($1 > m) m = $1 } END { print (what == "max" ? m + 0 : int(s / NR)) }'
}

# start_weston NAME ARGS...: weston in a private runtime folder $WORK/NAME (socket
# "wayland-zircon"), up within 10 s; its log is $WORK/NAME.log.
start_weston() {
  local name=$1; shift
  export XDG_RUNTIME_DIR=$WORK/$name WAYLAND_DISPLAY=wayland-zircon
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  weston --socket=wayland-zircon --width=1280 --height=720 --use-pixman --idle-time=0 "$@" \
    > "$WORK/$name.log" 2>&1 &
  WESTON_PID=$!
  for _ in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/wayland-zircon" ] && grep -q "launching '.*weston-desktop-shell'" "$WORK/$name.log" && return 0
    kill -0 "$WESTON_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "weston $* did not start: $(tail -n 3 "$WORK/$name.log")"
  return 1
}
stop_weston() { kill "$WESTON_PID" 2>/dev/null; wait "$WESTON_PID" 2>/dev/null; WESTON_PID=""; }

# play NAME SHOOT: a run without a display option (so the 640x480 switch is asked for)
# from 37000 ms on the fixed-rate clock paced to 60 frames a second, held at 37300 (play
# time 300) until play time 3000, ending at 38000. While it plays: any child of it (a
# guardian, alive or not yet reaped), the X screen's mode where there is one, and once it
# holds, the command SHOOT writes the compositor's screenshot to $WORK/NAME.png.
play() {
  local name=$1 shoot=$2 pid shot=no mode children
  printf '300 space\n3000 space\n' > "$WORK/hold.keys"
  "$DEMO" --data "$DATA" --no-dialogs --fps 60 --max-fps 60 --start 37000 --until 38000 --keys "$WORK/hold.keys" \
    > "$WORK/$name.out" 2> "$WORK/$name.err" &
  pid=$!
  while kill -0 $pid 2>/dev/null; do
    children=$(pgrep -a -P $pid)
    [ -z "$children" ] || { kill $pid; fail "$name: a child process was started: $children"; }
    if [ -n "${DISPLAY:-}" ]; then
      mode=$(xrandr 2>/dev/null | sed -n 's/^Screen 0:.* current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')
      [ "$mode" = 1280x720 ] || { kill $pid; fail "$name: the X screen is at ${mode:-no mode}"; }
    fi
    if [ $shot = no ] && grep -q "^key space at play 300 ms: demo 37300 ms" "$WORK/$name.err"; then
      sleep 0.5
      $shoot "$WORK/$name.png" || { kill $pid; fail "$name: no screenshot"; }
      shot=yes
    fi
    sleep 0.1
  done
  wait $pid || fail "$name: exit status $? $(grep -v '^ALSA' "$WORK/$name.err" | tail -n 5)"
  [ $shot = yes ] || fail "$name: the run never held at 37300: $(grep -v '^ALSA' "$WORK/$name.err" | tail -n 5)"
  if grep -q "cannot switch" "$WORK/$name.err"; then fail "$name: a fallback was reported"; fi
}

# check_picture NAME: the screenshot holds the 960 × 720 picture from column 160 between
# black bars, and it is the frame drawn at that size.
check_picture() {
  local shot=$WORK/$1.png db
  [ "$(gray_stat "$shot" 0 0 160 720 max)" -eq 0 ] || fail "$1: left bar not black"
  [ "$(gray_stat "$shot" 1120 0 160 720 max)" -eq 0 ] || fail "$1: right bar not black"
  [ "$(gray_stat "$shot" 160 0 4 720 mean)" -gt 10 ] || fail "$1: the picture does not reach column 160"
  [ "$(gray_stat "$shot" 1116 0 4 720 mean)" -gt 10 ] || fail "$1: the picture does not reach column 1119"
  ffmpeg -v error -y -i "$shot" -vf "crop=960:720:160:0" "$WORK/$1-picture.png"
  db=$(ffmpeg -v info -i "$WORK/$1-picture.png" -i "$WORK/reference/t0037300.png" -lavfi psnr -f null - 2>&1 |
    sed -n 's/.*average:\([0-9.]*\).*/\1/p' | awk '{ printf "%d", $1 }')
  [ "${db:-0}" -ge 35 ] || fail "$1: the picture is not the frame drawn at 960x720 (PSNR ${db:-none} dB)"
  echo "ok: $1: 1280x720 fullscreen, the picture at 960x720 between black bars (PSNR $db dB), no mode change"
}

# XWayland: weston's headless back end; the X server is started for the first X client.
[ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix
if ! start_weston xwayland --backend=headless-backend.so --xwayland --debug; then
  echo "weston cannot start: skipped"
  exit 77
fi
DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$WORK/xwayland.log")
[ -n "$DISPLAY" ] || fail "weston started no X server: $(tail -n 3 "$WORK/xwayland.log")"
export DISPLAY SDL_VIDEODRIVER=x11
"$DEMO" --data "$DATA" --capture "$WORK/reference" --size 960x720 --start 37000 --at 37300 > /dev/null 2>&1 ||
  fail "capture of the reference frame"
# weston-screenshooter writes wayland-screenshot-<time>.png to its working folder.
screenshooter() {
  mkdir -p "$WORK/shots" && rm -f "$WORK/shots"/*
  (cd "$WORK/shots" && weston-screenshooter) && mv "$WORK/shots"/wayland-screenshot-*.png "$1"
}
play xwayland screenshooter
check_picture xwayland
stop_weston

# SDL's Wayland driver, no X server in sight: weston's X11 back end on a private Xvfb,
# whose screen is the compositor's output.
unset DISPLAY
export -f start_weston stop_weston play check_picture gray_stat fail
export DEMO DATA WORK
"$ROOT/scripts/xvfb-run-here" --screen 1280x720x24 bash -c '
  host=$DISPLAY
  trap stop_weston EXIT
  start_weston wayland --backend=x11-backend.so || exit 1
  unset DISPLAY
  export SDL_VIDEODRIVER=wayland
  grab() { ffmpeg -v error -y -f x11grab -video_size 1280x720 -i "$host" -frames:v 1 "$1"; }
  play wayland grab' || exit 1
check_picture wayland
echo ok
