# Without megadata/demusik.mp3 both audio boxes appear (on standard error here) with
# their error-code line, and the demo still plays its full length (in a small window: the
# picture is not looked at).
source "$(dirname "$0")/lib.sh"
need_display
mkdir -p "$WORK/megadata"
if [ -d megadata ]; then
  for f in megadata/*; do
    [ "$(basename "$f")" = demusik.mp3 ] || ln -s "$PWD/$f" "$WORK/megadata/"
  done
fi
(cd "$WORK" && "$DEMO" --fps 60 --no-dialogs --size 160x120 --stats > out 2> err)
status=$?
cat "$WORK/err"
[ $status -eq 0 ] || fail "exit status $status"
grep -qx "Error: Can't create stream" "$WORK/err" || fail "no 'Can't create stream' box"
grep -qx "Error: Can't play stream" "$WORK/err" || fail "no 'Can't play stream' box"
[ "$(grep -cE '^\(error code: -?[0-9]+\)$' "$WORK/err")" -eq 2 ] || fail "error-code lines missing"
# The create box comes before the play box.
[ "$(grep -nx "Error: Can't create stream" "$WORK/err" | cut -d: -f1)" -lt \
  "$(grep -nx "Error: Can't play stream" "$WORK/err" | cut -d: -f1)" ] || fail "boxes out of order"
expect_near "last demo time" "$(last_time_of 6 "$WORK/out")" 93983 1
echo ok
