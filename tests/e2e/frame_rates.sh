# Any frame rate: runs at 15, 24, 144 and 240 frames per second end at 94 s without error,
# and the beats the picture answers show in the frames at every rate: the band's
# kick at 21038, the first credit at 45038, the greetings at 69038 and the white picture
# at 90046. (Every beat window is at least 360 ms wide, so even at 15 fps frames fall in
# each; the leap at 33038 moves the animation, not the light, and is checked by the
# twisting-ball tests.)
source "$(dirname "$0")/lib.sh"
need_display
command -v ffmpeg >/dev/null || fail "ffmpeg missing"

# luma FILE [CROP]: mean luma (0..255) of the picture or of a crop w:h:x:y of it.
luma() {
  local filter="signalstats"
  [ -n "${2:-}" ] && filter="crop=$2,signalstats"
  ffmpeg -v error -i "$1" -vf "$filter,metadata=print:key=lavfi.signalstats.YAVG:file=-" -f null - |
    sed -n 's/.*YAVG=\([0-9.]*\).*/\1/p' | head -n 1
}
# frame_at DIR T: the first captured frame at or after DemoTime T.
frame_at() {
  local f
  for f in $(ls "$1" | grep '^t' | sort); do
    local t=${f#t}; t=$((10#${t%.png}))
    [ "$t" -ge "$2" ] && { echo "$1/$f"; return; }
  done
}
# change A B CROP: mean luma of the difference of two pictures within a crop.
change() {
  ffmpeg -v error -i "$1" -i "$2" \
    -filter_complex "[0][1]blend=all_mode=difference,crop=$3,signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=-" \
    -f null - | sed -n 's/.*YAVG=\([0-9.]*\).*/\1/p' | head -n 1
}
brighter() {  # brighter LABEL BEFORE AFTER MARGIN
  awk -v b="$2" -v a="$3" -v m="$4" 'BEGIN { exit !(a > b + m) }' || fail "$1: $3 after, $2 before"
}

beats="21038 45038 69038 90046"
for fps in 15 24 144 240; do
  period=$(( (1000 + fps - 1) / fps ))
  dir="$WORK/fps$fps"
  # The end: a run from 90 s plays to 94 s at this rate without error (the whole demo at
  # 15 and 24 frames a second, where every frame of it costs little). The picture is not
  # looked at in these runs: it is drawn small.
  start=90000
  [ $fps -le 24 ] && start=0
  "$DEMO" --fps $fps --start $start --size 160x120 --stats > "$WORK/out" 2> "$WORK/err"
  status=$?
  [ $status -eq 0 ] || { cat "$WORK/err"; fail "$fps fps: exit status $status"; }
  last=$(last_time_of 6 "$WORK/out")
  [ "$last" -ge $((94000 - period)) ] && [ "$last" -lt 94000 ] || fail "$fps fps: the demo ended at $last"
  if [ $start -eq 0 ]; then
    for scene in 1 2 3 4 5 6; do [ "$(frames_of $scene "$WORK/out")" -gt 0 ] || fail "$fps fps: scene $scene drew nothing"; done
  fi
  # Each beat from a run started shortly before it (a start lands on the frame a run
  # from the beginning shows): the frame before the beat and the first in its window.
  for b in $beats; do
    "$DEMO" --fps $fps --start $((b - 500)) --until $((b + 100)) --capture "$dir" --at "$((b - period - 1)),$((b + 1))" \
      > /dev/null 2> "$WORK/err" || { cat "$WORK/err"; fail "$fps fps: the run about $b failed"; }
  done

  brighter "$fps fps, band kick" "$(luma "$(frame_at "$dir" $((21038 - period - 1)))")" \
           "$(luma "$(frame_at "$dir" 21039)")" 3
  # The band is a dark strip with bright letters: the rows below the centre change far
  # more than rows of the same height higher up, which only the model's motion changes.
  before=$(frame_at "$dir" $((45038 - period - 1))) after=$(frame_at "$dir" 45039)
  brighter "$fps fps, first credit (change of the band rows against rows above)" \
           "$(awk -v c="$(change "$before" "$after" 640:60:0:60)" 'BEGIN { print 2 * c }')" \
           "$(change "$before" "$after" 640:60:0:245)" 5
  # The greetings panel changes its square far more than the surface's motion does
  # between two frames (about 6 at 15 fps; the panel gives over 30).
  before=$(frame_at "$dir" $((69038 - period - 1))) after=$(frame_at "$dir" 69039)
  brighter "$fps fps, greetings (change of their square)" 15 "$(change "$before" "$after" 255:255:350:100)" 0
  white=$(luma "$(frame_at "$dir" 90047)")
  awk -v w="$white" 'BEGIN { exit !(w > 150) }' || fail "$fps fps: the picture after 90046 has luma $white"
  echo "$fps fps: ends at $last; kick, credit, greetings and white picture all shown"
done
echo ok
