# A real display-mode switch on an X server that has modes (Xorg with the dummy driver,
# 1920x1080 desktop; scripts/xorg-run-here): the default run plays at 640x480, and the
# desktop's mode is back within 2 s however the run ends: at its end, Escape, SIGTERM,
# SIGHUP, a crash (SIGSEGV, SIGABRT) or SIGKILL, which no handler sees (the guardian
# restores it then). --window and --desktop never change the mode; where the switch fails
# the run falls back without a change. Frames drawn after a real switch are those of a
# run on a 640x480 Xvfb.
source "$(dirname "$0")/lib.sh"
need_xorg

# The cases, run on the Xorg server by xorg-run-here.
cat > "$WORK/cases.sh" <<'CASES'
set -uo pipefail
source "$ROOT/tests/display/modes.sh"
[ "$(mode)" = 1920x1080 ] || fail "the server starts at $(mode), not 1920x1080"
ending Escape "$WORK/escape.out" press_escape "$DEMO" --data "$DATA" --no-dialogs --until 30000
for signal in TERM HUP SEGV ABRT KILL; do
  ending "SIG$signal" "$WORK/$signal.out" "kill -$signal \$pid" "$DEMO" --data "$DATA" --no-dialogs --until 30000
done

# The end of the run.
"$DEMO" --data "$DATA" --no-dialogs --start 91000 > "$WORK/end.out" 2>&1 &
pid=$!
wait_mode 640x480 15 || fail "the run to the end never switched"
wait $pid || fail "the run to the end: exit status $?"
wait_mode 1920x1080 2 || fail "the end of the demo left the desktop at $(mode)"
echo "ok: the end of the demo gives the desktop back"

# --window and --desktop: never another mode.
for option in --window --desktop; do
  "$DEMO" --data "$DATA" --no-dialogs $option --until 4000 > "$WORK/no-switch.out" 2>&1 &
  pid=$!
  while kill -0 $pid 2>/dev/null; do
    [ "$(mode)" = 1920x1080 ] || { kill -9 $pid; fail "$option changed the mode to $(mode)"; }
    sleep 0.2
  done
  wait $pid || fail "$option: exit status $?"
  echo "ok: $option keeps 1920x1080"
done

# Frames drawn after the switch: the window is the frame.
"$DEMO" --data "$DATA" --fps 60 --start 20000 --capture "$WORK/switched" --at 22000,30000 --until 30100 \
  > "$WORK/switched.out" 2>&1 || fail "capture after the switch: $(tail -n 3 "$WORK/switched.out")"
if grep -q "cannot switch" "$WORK/switched.out"; then fail "the capture run did not switch"; fi
CASES

scripts_xorg=$ROOT/scripts/xorg-run-here
"$scripts_xorg" bash "$WORK/cases.sh" || exit 1
# The same frames on a 640x480 Xvfb, where the window is already the display's size.
"$ROOT/scripts/xvfb-run-here" "$DEMO" --data "$DATA" --fps 60 --start 20000 --capture "$WORK/xvfb" --at 22000,30000 \
  --until 30100 > /dev/null 2>&1 || fail "capture on Xvfb"
for t in t0022000.png t0030000.png; do
  cmp -s "$WORK/switched/$t" "$WORK/xvfb/$t" || fail "$t after a real switch differs from the Xvfb frame"
done
echo "ok: frames after a real switch equal those on a 640x480 Xvfb"

# A server that cannot switch (Xvfb has one mode): the fallback, and no guardian left.
"$ROOT/scripts/xvfb-run-here" --screen 1024x768x24 bash -c '
  "$DEMO" --data "$DATA" --no-dialogs --fps 60 --until 2000 > "$WORK/fallback.out" 2>&1 || exit 1
  xrandr | grep -q "current 1024 x 768"' || fail "the fallback run failed or changed the mode"
grep -q "the display cannot switch to 640x480; playing fullscreen at the desktop's resolution (1024x768)" \
  "$WORK/fallback.out" || fail "no fallback message: $(tail -n 2 "$WORK/fallback.out")"
echo "ok: where the switch fails the run falls back and leaves the mode as it was"
