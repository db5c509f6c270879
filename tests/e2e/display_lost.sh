# The X server goes away mid-run: the program ends within a few seconds with a message
# and status 1, instead of spinning in its exit handlers on the dead connection.
source "$(dirname "$0")/lib.sh"
command -v Xvfb >/dev/null || { echo "no Xvfb: skipped"; exit 77; }
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$WORK/number" >/dev/null 2>&1 &
server=$!
for _ in $(seq 1 50); do [ -s "$WORK/number" ] && break; sleep 0.1; done
display=":$(head -n 1 "$WORK/number")"
DISPLAY=$display "$DEMO" --fps 60 --no-dialogs > /dev/null 2> "$WORK/err" &
pid=$!
sleep 3
kill $server
wait $server 2>/dev/null
for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.05; done
if kill -0 $pid 2>/dev/null; then kill -9 $pid; fail "still running 5 s after the display went away"; fi
wait $pid
status=$?
[ $status -eq 1 ] || { cat "$WORK/err"; fail "exit status $status"; }
grep -q "the connection to the display was lost" "$WORK/err" || { cat "$WORK/err"; fail "no message"; }
echo ok
