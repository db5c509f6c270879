# The whole play sequence at a fixed 60 frames per second: each scene draws the frames
# its end time allows, and the program ends normally. The picture is not looked at here
# (the frames tier looks at the play through's), so it is drawn small: filling 640 × 480
# frames in software is most of a run's time.
source "$(dirname "$0")/lib.sh"
need_display
"$DEMO" --fps 60 --no-dialogs --size 160x120 --stats > "$WORK/out" 2> "$WORK/err"
status=$?
cat "$WORK/out"
[ $status -eq 0 ] || { cat "$WORK/err"; fail "exit status $status"; }
# Frame n is drawn at DemoTime floor(n × 1000 / 60); a scene draws until its end time.
expect_near "scene 1 frames" "$(frames_of 1 "$WORK/out")" 1077 1
expect_near "scene 2 frames" "$(frames_of 2 "$WORK/out")" 723 1
expect_near "scene 3 frames" "$(frames_of 3 "$WORK/out")" 720 1
expect_near "scene 4 frames" "$(frames_of 4 "$WORK/out")" 720 1
expect_near "scene 5 frames" "$(frames_of 5 "$WORK/out")" 1440 1
expect_near "scene 6 frames" "$(frames_of 6 "$WORK/out")" 960 1
expect_near "last demo time" "$(last_time_of 6 "$WORK/out")" 93983 1
if [ -f megadata/demusik.mp3 ]; then
  ! grep -q "^Error:" "$WORK/err" || { cat "$WORK/err"; fail "an audio error box with the soundtrack present"; }
fi
echo ok
