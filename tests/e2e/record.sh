# --record: a short stretch to MP4 and to WebM, checked with ffprobe, and the kick of the
# beat at 69038 ms heard within one frame of its picture; then every failure: no ffmpeg,
# an unwritable path, an ffmpeg that ends early, a quit with Escape. A failure ends with
# a message and status 1 and leaves no file under the asked name.
source "$(dirname "$0")/lib.sh"
need_display
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || fail "ffmpeg missing"

# The onset of the loudest hit within 40 ms of MS in a file's sound, in ms of video time:
# the first sample that reaches half of that hit's peak.
onset_near() {
  ffmpeg -v error -i "$1" -ac 1 -ar 44100 -f s16le - | od -An -v -td2 -w2 |
    awk -v c="$2" 'BEGIN { from = int((c - 40) * 44.1); to = int((c + 40) * 44.1) }
      { s[NR - 1] = $1 < 0 ? -$1 : $1 }
      END { peak = 0; for (i = from; i < to; i++) if (s[i] > peak) peak = s[i]
            for (i = from; i < to; i++) if (2 * s[i] >= peak) { printf "%d\n", i / 44.1; exit } }'
}
probe() { ffprobe -v error -select_streams "$2" -show_entries "$3" -of default=nw=1:nk=1 "$1"; }

# $1 file, $2 start, $3 until, $4 video codec, $5 audio codec
check_clip() {
  local file=$1 start=$2 until=$3
  "$DEMO" --record "$file" --start "$start" --until "$until" > /dev/null 2> "$WORK/err" \
    || { cat "$WORK/err"; fail "$file: exit status $?"; }
  grep -q "recorded 90 frames\|recorded 30 frames" "$WORK/err" || { cat "$WORK/err"; fail "$file: no closing line"; }
  [ -f "$file" ] || fail "$file not written"
  [ "$(probe "$file" v:0 stream=codec_name)" = "$4" ] || fail "$file: video codec $(probe "$file" v:0 stream=codec_name)"
  [ "$(probe "$file" a:0 stream=codec_name)" = "$5" ] || fail "$file: audio codec $(probe "$file" a:0 stream=codec_name)"
  [ "$(probe "$file" v:0 stream=width,height | tr '\n' x)" = "640x480x" ] || fail "$file: frame size"
  [ "$(probe "$file" v:0 stream=pix_fmt)" = "yuv420p" ] || fail "$file: pixel format"
  [ "$(probe "$file" v:0 stream=r_frame_rate)" = "60/1" ] || fail "$file: frame rate"
  local ms expected=$((until - start))
  ms=$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$file" | awk '{ printf "%d", $1 * 1000 }')
  expect_near "$file duration (ms)" "$ms" "$expected" 40
  expect_near "$file kick at 69038 (video ms)" "$(onset_near "$file" $((69038 - start)))" $((69038 - start)) 16
}
check_clip "$WORK/clip.mp4" 68500 70000 h264 aac
# The frames arrive whole and in order: video frames 30 and 31 (DemoTime 69000 and 69016)
# match the frames the demo captures at those times, while a neighbouring frame would
# differ by far more than the encoder's loss (about 36 dB against 22-27 dB). A start shows
# the frames a run from the beginning shows.
psnr_of() {
  ffmpeg -v info -i "$1" -i "$2" -lavfi psnr -f null - 2>&1 |
    sed -n 's/.*average:\([0-9.]*\).*/\1/p' | awk '{ printf "%d", $1 }'
}
"$DEMO" --capture "$WORK/frames" --at 69000,69016 --start 68000 > /dev/null 2>&1 || fail "capture for comparison"
for n in 30 31; do
  ms=$((68500 + n * 1000 / 60))
  ffmpeg -v error -y -i "$WORK/clip.mp4" -vf "select=eq(n\\,$n)" -frames:v 1 "$WORK/video$n.png"
  db=$(psnr_of "$WORK/video$n.png" "$WORK/frames/t00$ms.png")
  [ "${db:-0}" -ge 32 ] || fail "video frame $n is not the frame at $ms ms (PSNR ${db:-none} dB)"
done
check_clip "$WORK/clip.webm" 68900 69400 vp9 opus

# No ffmpeg on the path.
env PATH=/nonexistent "$DEMO" --record "$WORK/none.mp4" --until 100 > /dev/null 2> "$WORK/err"
status=$?
[ $status -eq 1 ] || fail "no ffmpeg: status $status"
grep -q "ffmpeg program is not installed" "$WORK/err" || { cat "$WORK/err"; fail "no ffmpeg: message"; }
[ ! -e "$WORK/none.mp4" ] && [ ! -e "$WORK/none.partial.mp4" ] || fail "no ffmpeg: a file was left"

# A path that cannot be written.
"$DEMO" --record "$WORK/no/such/folder/clip.mp4" --until 100 > /dev/null 2> "$WORK/err"
status=$?
[ $status -eq 1 ] || fail "unwritable path: status $status"
grep -q "cannot be written" "$WORK/err" || { cat "$WORK/err"; fail "unwritable path: message"; }

# An ffmpeg that takes a few frames and ends with an error (as on a full disk).
mkdir "$WORK/bin"
printf '#!/bin/sh\nhead -c 3000000 > /dev/null\nexit 1\n' > "$WORK/bin/ffmpeg"
chmod +x "$WORK/bin/ffmpeg"
env PATH="$WORK/bin:$PATH" "$DEMO" --record "$WORK/early.mp4" --start 60000 --until 62000 > /dev/null 2> "$WORK/err"
status=$?
[ $status -eq 1 ] || fail "ffmpeg ending early: status $status"
grep -q "ffmpeg failed" "$WORK/err" || { cat "$WORK/err"; fail "ffmpeg ending early: message"; }
[ ! -e "$WORK/early.mp4" ] && [ ! -e "$WORK/early.partial.mp4" ] || fail "ffmpeg ending early: a file was left"

# Escape while recording: no file.
if command -v xdotool >/dev/null; then
  "$DEMO" --record "$WORK/quit.mp4" > /dev/null 2> "$WORK/err" &
  pid=$!
  window=$(timeout 20 xdotool search --sync --name "Zircon megademo" | head -n 1)
  sleep 3
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --clearmodifiers Escape
  wait $pid
  status=$?
  [ $status -eq 1 ] || fail "quit while recording: status $status"
  grep -q "stopped before the end" "$WORK/err" || { cat "$WORK/err"; fail "quit while recording: message"; }
  [ ! -e "$WORK/quit.mp4" ] && [ ! -e "$WORK/quit.partial.mp4" ] || fail "quit while recording: a file was left"
fi
echo ok
