# Real-time play as a viewer sees it: the program plays uncapped (--max-fps 0) on the X
# server while ffmpeg's X11 grabber films the screen from outside. The title's brightness
# at about 2, 4 and 8 s of demo time follows the --fps 60 frames of the same times:
# however many frames a second the machine draws, the fade-in takes the same time.
# Demo time 0 is found in the film as the moment the loading picture gives way to the
# first (black) frame of the title.
source "$(dirname "$0")/lib.sh"
need_display
command -v ffmpeg >/dev/null || fail "ffmpeg missing"

# The same moments at a fixed 60 frames a second.
"$DEMO" --fps 60 --capture "$WORK/fixed" --at 2000,4000,8000 > /dev/null 2>&1 || fail "the --fps 60 run failed"

# The loading picture is up for only about 40 ms: the screen is grabbed 240 times a second,
# shrunk to a quarter (the mean lumas are unchanged).
ffmpeg -v error -f x11grab -framerate 240 -video_size 640x480 -i "$DISPLAY" -t 20 \
  -vf scale=160:120,format=yuv420p -c:v ffv1 "$WORK/film.mkv" &
grabber=$!
# The film must be rolling before the program starts, or its short loading picture is
# missed: wait for the first frames in the file.
for _ in $(seq 1 100); do [ "$(stat -c %s "$WORK/film.mkv" 2>/dev/null || echo 0)" -gt 4096 ] && break; sleep 0.05; done
sleep 0.5
"$DEMO" --max-fps 0 --no-dialogs --stats --until 9000 > "$WORK/out" 2> "$WORK/err"
status=$?
wait $grabber
[ $status -eq 0 ] || { cat "$WORK/err"; fail "the real-time run ended with status $status"; }
grep '^frame rate reached' "$WORK/out"

# Per filmed frame: its time, the mean luma of the loading picture's square and of the
# whole screen.
lumas() {
  ffmpeg -v error -i "$1" -vf "$2signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=-" -f null - |
    awk '/pts_time/ { sub(/.*pts_time:/, ""); t = $1 } /YAVG/ { sub(/.*YAVG=/, ""); print t, $1 }'
}
lumas "$WORK/film.mkv" "crop=64:64:0:0," > "$WORK/corner"
lumas "$WORK/film.mkv" "" > "$WORK/whole"
# The loading picture is the only bright thing on a black screen (luma 16); the title
# starts black.
start=$(paste "$WORK/corner" "$WORK/whole" | awk '
  { corner = $2; whole = $4 }
  loading && corner < 20 { print $1; exit }
  corner > 30 && whole < corner - 10 { loading = 1 }')
[ -n "$start" ] || fail "no loading picture followed by the title in the film"

fixed_luma() { lumas "$WORK/fixed/$(printf 't%07d.png' "$1")" "" | awk '{ print $2 }'; }
for t in 2000 4000 8000; do
  filmed=$(awk -v at="$(awk -v s="$start" -v t="$t" 'BEGIN { print s + t / 1000 }')" \
    '$1 >= at { print $2; exit }' "$WORK/whole")
  expected=$(fixed_luma $t)
  echo "demo time $t: filmed luma $filmed, at --fps 60 $expected"
  # One filmed frame is about 4 ms, in which the fade adds well under a level of luma. Uncapped without the pace rule (about 250
  # frames a second here) the title is at full brightness from about 2 s on.
  awk -v f="$filmed" -v e="$expected" 'BEGIN { d = f - e; if (d < 0) d = -d; exit !(d <= 2) }' ||
    fail "at demo time $t the filmed title has luma $filmed, the --fps 60 frame $expected"
done
echo ok
