# Escape sent to the window ends the run at once with status 0; the later scenes draw
# nothing.
source "$(dirname "$0")/lib.sh"
need_display
command -v xdotool >/dev/null || fail "xdotool missing"
"$DEMO" --no-dialogs --stats > "$WORK/out" 2> "$WORK/err" &
pid=$!
window=$(timeout 20 xdotool search --sync --name "Zircon megademo" | head -n 1)
[ -n "$window" ] || { kill $pid; fail "no window appeared"; }
sleep 3   # past loading, into the first scene (slower when other tests share the machine)
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --clearmodifiers Escape
sent=$(date +%s%N)
for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.02; done
ended=$(date +%s%N)
kill -0 $pid 2>/dev/null && { kill $pid; fail "still running 2 s after Escape"; }
wait $pid
status=$?
cat "$WORK/out"
[ $status -eq 0 ] || fail "exit status $status"
echo "ended $(( (ended - sent) / 1000000 )) ms after the key"
[ "$(frames_of 1 "$WORK/out")" -gt 0 ] || fail "the first scene drew nothing before the key"
for scene in 2 3 4 5 6; do
  [ "$(frames_of $scene "$WORK/out")" -eq 0 ] || fail "scene $scene drew after the quit"
done
echo ok
