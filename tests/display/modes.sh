# Shared by the tests of a real display-mode switch, on a server started by
# scripts/xorg-run-here (1920x1080 desktop). Each function fails the test with a message.
fail() { echo "FAIL: $*"; exit 1; }
# The screen's mode now, as WxH.
mode() { xrandr 2>/dev/null | sed -n 's/^Screen 0:.* current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'; }
# wait_mode WxH SECONDS: true once the screen has that mode.
wait_mode() {
  local tenths=$(( $2 * 10 ))
  for _ in $(seq 1 $tenths); do [ "$(mode)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}
# Escape to the demo's window.
press_escape() {
  local window
  window=$(xdotool search --name "Zircon megademo" | head -n 1)
  timeout 2 xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --clearmodifiers Escape
}
# ending NAME OUT ENDING PROGRAM...: starts PROGRAM (output to OUT), waits until it plays
# at 640x480, runs the command ENDING (with $pid set), and checks that the run ends within
# 5 s and that the desktop's 1920x1080 is back within 2 s of the end.
ending() {
  local name=$1 out=$2 end=$3 status
  shift 3
  "$@" > "$out" 2>&1 &
  pid=$!
  wait_mode 640x480 20 || { kill -9 $pid; fail "$name: the run never switched to 640x480 ($(mode))"; }
  sleep 1
  eval "$end"
  for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.05; done
  kill -0 $pid 2>/dev/null && { kill -9 $pid; fail "$name: still running 5 s later"; }
  wait $pid 2>/dev/null
  status=$?
  wait_mode 1920x1080 2 ||
    fail "$name: the desktop is left at $(mode) (exit status $status): $(grep -v CHUNK "$out" | tail -n 5)"
  echo "ok: $name (exit status $status): played at 640x480, desktop back at 1920x1080"
}
