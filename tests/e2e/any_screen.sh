# The picture on any screen, as a viewer sees it (screenshots of the X screen): on a
# 1920 × 1080 screen without a 640 × 480 mode the designed run falls back to the whole
# screen, says so, and shows the 4:3 picture centred with black bars (so does --desktop);
# a window resized while playing keeps the picture 4:3 and centred; a 1920 × 1080
# recording holds the frames captured at that size.
source "$(dirname "$0")/lib.sh"
need_display
command -v xdotool >/dev/null && command -v ffmpeg >/dev/null || fail "xdotool and ffmpeg needed"
XVFB="$(dirname "$0")/../../scripts/xvfb-run-here"

# gray_stat FILE X Y W H max|mean: over a rectangle of a picture, in 0-255 luminance.
gray_stat() {
  ffmpeg -v error -i "$1" -vf "crop=$4:$5:$2:$3,format=gray" -f rawvideo - | od -An -v -tu1 -w1 |
    awk -v what="$6" '{ s += $1; if ($1 > m) m = $1 } END { print (what == "max" ? m + 0 : int(s / NR)) }'
}
# screenshot OUT W H: the X screen of $DISPLAY.
screenshot() { ffmpeg -v error -y -f x11grab -video_size "$2x$3" -i "$DISPLAY" -frames:v 1 "$1"; }

# Plays from 37000 ms (the vortex fills the picture) with the given options, takes a
# screenshot of W × H after the window has shown a few frames, and ends the run.
play_and_shoot() {
  local out=$1 w=$2 h=$3; shift 3
  "$DEMO" --start 37000 --until 41000 --no-dialogs "$@" > /dev/null 2> "$WORK/err" &
  local pid=$!
  timeout 20 xdotool search --sync --name "Zircon megademo" > /dev/null || fail "no window"
  sleep 3
  screenshot "$out" "$w" "$h"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
}

# On a wide screen: $1 the screenshot, checked for the 1440 × 1080 picture at column 240.
check_wide_screen() {
  [ "$(gray_stat "$1" 0 0 240 1080 max)" -eq 0 ] || fail "$2: left bar not black"
  [ "$(gray_stat "$1" 1680 0 240 1080 max)" -eq 0 ] || fail "$2: right bar not black"
  [ "$(gray_stat "$1" 240 0 4 1080 mean)" -gt 10 ] || fail "$2: picture does not reach column 240"
  [ "$(gray_stat "$1" 1676 0 4 1080 mean)" -gt 10 ] || fail "$2: picture does not reach column 1679"
}
export -f play_and_shoot screenshot gray_stat fail
export DEMO WORK
"$XVFB" --screen 1920x1080x24 bash -c 'play_and_shoot "$WORK/fallback.png" 1920 1080; cp "$WORK/err" "$WORK/fallback.err"'
grep -q "cannot switch to 640x480; playing fullscreen at the desktop's resolution (1920x1080)" "$WORK/fallback.err" ||
  { cat "$WORK/fallback.err"; fail "no word of the fallback on standard error"; }
check_wide_screen "$WORK/fallback.png" "fallback from the 640x480 switch"
"$XVFB" --screen 1920x1080x24 bash -c 'play_and_shoot "$WORK/desktop.png" 1920 1080 --desktop'
check_wide_screen "$WORK/desktop.png" "--desktop"

# A 640 × 480 window made 1000 × 500 while it plays: a 667 × 500 picture from column 166.
"$XVFB" --screen 1280x720x24 bash -c '
  "$DEMO" --window --start 37000 --until 45000 --no-dialogs > /dev/null 2>&1 &
  pid=$!
  window=$(timeout 20 xdotool search --sync --name "Zircon megademo" | head -n 1)
  sleep 2
  xdotool windowsize --sync "$window" 1000 500
  sleep 2
  screenshot "$WORK/resized.png" 1000 500
  kill $pid; wait $pid 2>/dev/null'
[ "$(gray_stat "$WORK/resized.png" 0 0 166 500 max)" -eq 0 ] || fail "resized window: left bar not black"
[ "$(gray_stat "$WORK/resized.png" 834 0 166 500 max)" -eq 0 ] || fail "resized window: right bar not black"
[ "$(gray_stat "$WORK/resized.png" 167 0 4 500 mean)" -gt 10 ] || fail "resized window: picture not at column 167"
[ "$(gray_stat "$WORK/resized.png" 829 0 4 500 mean)" -gt 10 ] || fail "resized window: picture not up to column 832"

# A 1920 × 1080 recording: its size, and its frame 30 against the frame captured at that
# size and time (encoder loss only: about 40 dB; another frame scores far less).
"$DEMO" --record "$WORK/hd.mp4" --size 1920x1080 --start 36500 --until 37500 > /dev/null 2> "$WORK/err" ||
  { cat "$WORK/err"; fail "1920x1080 recording: status $?"; }
size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$WORK/hd.mp4")
[ "$size" = "1920,1080" ] || fail "1920x1080 recording: frames of $size"
"$DEMO" --size 1920x1080 --start 36500 --capture "$WORK/hd" --at 37000 > /dev/null 2>&1 || fail "1920x1080 capture"
ffmpeg -v error -y -i "$WORK/hd.mp4" -vf "select=eq(n\\,30)" -frames:v 1 "$WORK/video30.png"
db=$(ffmpeg -v info -i "$WORK/video30.png" -i "$WORK/hd/t0037000.png" -lavfi psnr -f null - 2>&1 |
  sed -n 's/.*average:\([0-9.]*\).*/\1/p' | awk '{ printf "%d", $1 }')
[ "${db:-0}" -ge 32 ] || fail "1920x1080 recording: frame 30 is not the captured frame (PSNR ${db:-none} dB)"
[ "$(gray_stat "$WORK/video30.png" 0 0 232 1080 max)" -le 16 ] || fail "1920x1080 recording: left bar not black"

# Frames written at 1280 × 960 while the 640 × 480 window shows them scaled: the window's
# picture is upright. A run held paused at 20300 (the sliced ball, far from symmetric),
# its screen against the frame captured at 640 × 480 (measured: 39.7 dB) and against that
# frame upside down (14.7 dB).
"$XVFB" --screen 640x480x24 bash -c '
  printf "300 space\n" > "$WORK/hold.keys"
  "$DEMO" --capture "$WORK/held" --size 1280x960 --at 93999 --start 20000 --keys "$WORK/hold.keys" \
    > /dev/null 2> "$WORK/held.err" &
  pid=$!
  for _ in $(seq 1 200); do grep -q "^key space" "$WORK/held.err" && break; sleep 0.05; done
  sleep 0.5
  screenshot "$WORK/held.png" 640 480
  kill $pid; wait $pid 2>/dev/null'
grep -q '^key space at play 300 ms: demo 20300 ms' "$WORK/held.err" || { cat "$WORK/held.err"; fail "written frames: no pause at 20300"; }
"$DEMO" --start 20000 --capture "$WORK/upright" --at 20300 > /dev/null 2>&1 || fail "capture at 20300"
ffmpeg -v error -y -i "$WORK/upright/t0020300.png" -vf vflip "$WORK/upside-down.png"
psnr() {
  ffmpeg -v info -i "$1" -i "$2" -lavfi psnr -f null - 2>&1 | sed -n 's/.*average:\([0-9.]*\).*/\1/p' | awk '{ printf "%d", $1 }'
}
upright=$(psnr "$WORK/held.png" "$WORK/upright/t0020300.png")
upside_down=$(psnr "$WORK/held.png" "$WORK/upside-down.png")
[ "${upright:-0}" -ge 30 ] && [ "${upside_down:-99}" -lt 20 ] ||
  fail "frames written at 1280x960: the window shows ${upright:-none} dB against the upright frame, ${upside_down:-none} dB upside down"

# Multisampling: llvmpipe offers 4 samples per pixel, so --msaa 8 gets 4 and says so; the
# frame differs from the plain one only along polygon edges (measured: 0.9 % of pixels).
"$DEMO" --msaa 8 --start 36500 --capture "$WORK/msaa" --at 37000 > /dev/null 2> "$WORK/err" || fail "--msaa 8: status $?"
grep -q -- "--msaa 8: the OpenGL driver offers 4 samples per pixel, used instead" "$WORK/err" ||
  { cat "$WORK/err"; fail "--msaa 8: no word of the 4 samples used"; }
"$DEMO" --start 36500 --capture "$WORK/plain" --at 37000 > /dev/null 2>&1 || fail "capture without --msaa"
cmp -s "$WORK/msaa/t0037000.png" "$WORK/plain/t0037000.png" && fail "--msaa 8 changed nothing"
db=$(ffmpeg -v info -i "$WORK/msaa/t0037000.png" -i "$WORK/plain/t0037000.png" -lavfi psnr -f null - 2>&1 |
  sed -n 's/.*average:\([0-9.]*\).*/\1/p' | awk '{ printf "%d", $1 }')
[ "${db:-0}" -ge 30 ] || fail "--msaa 8 frame is not the same picture (PSNR ${db:-none} dB)"
echo ok
