# --start 53000: the scenes that end before 53 s draw nothing; the rest play (drawn small:
# only the counts are looked at).
source "$(dirname "$0")/lib.sh"
need_display
"$DEMO" --fps 60 --no-dialogs --size 160x120 --stats --start 53000 > "$WORK/out" 2> "$WORK/err" || fail "exit status $?"
cat "$WORK/out"
for scene in 1 2 3; do
  [ "$(frames_of $scene "$WORK/out")" -eq 0 ] || fail "scene $scene drew frames"
done
expect_near "scene 4 frames" "$(frames_of 4 "$WORK/out")" 60 1
expect_near "scene 5 frames" "$(frames_of 5 "$WORK/out")" 1440 1
expect_near "scene 6 frames" "$(frames_of 6 "$WORK/out")" 960 1
echo ok
