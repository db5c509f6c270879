# Focus lost to another window while fullscreen, on Xorg with the dummy driver (1920x1080
# desktop; scripts/xorg-run-here): in the real 640x480 mode the desktop's mode is back
# within 2 s and play holds, music too; focus back, the mode is 640x480 again, the screen
# shows the demo and play goes on from the held time. The same at the desktop's resolution
# (--desktop), without a mode change. A desktop window (--window) plays on when it loses
# the focus. Once on the bare server (focus moved by xdotool alone), once under a window
# manager, where the demo's window is minimised while away and activated to come back.
source "$(dirname "$0")/lib.sh"
need_xorg

cat > "$WORK/cases.sh" <<'CASES'
set -uo pipefail
source "$ROOT/tests/display/modes.sh"
xmessage -geometry 300x100+800+500 "another program" &
other_pid=$!
trap 'kill $other_pid ${wm:-} 2>/dev/null' EXIT
for _ in $(seq 1 50); do other=$(xdotool search --name xmessage | head -n 1); [ -n "$other" ] && break; sleep 0.1; done
[ -n "$other" ] || fail "the other window did not appear"

# held_time OUT WORD: the demo time of the last "window hidden"/"window back" line.
held_time() { grep "^window $2" "$1" | tail -n 1 | sed -nE 's/.* at demo ([0-9]+) ms$/\1/p'; }
# mean_level: the mean grey level of the screen now (0-255).
mean_level() {
  ffmpeg -loglevel error -f x11grab -video_size "$(mode)" -i "$DISPLAY" -frames:v 1 -vf format=gray \
    -f rawvideo - | od -An -v -tu1 | awk '{ for (i = 1; i <= NF; i++) { s += $i; n++ } } END { printf "%d", s / n }'
}

# away_and_back NAME PLAYING_MODE OUT: focus to the other window and back while it plays.
away_and_back() {
  local name="$1 ($desktop)" playing=$2 out=$3 demo hidden back
  wait_mode "$playing" 20 || { kill -9 $pid; fail "$name: never played at $playing ($(mode))"; }
  sleep 2
  demo=$(xdotool search --name "Zircon megademo" | head -n 1)
  xdotool windowfocus --sync "$other"
  wait_mode 1920x1080 2 || fail "$name: focus lost, the desktop is left at $(mode)"
  sleep 2
  hidden=$(held_time "$out" hidden)
  [ -n "$hidden" ] || fail "$name: focus lost, play did not hold: $(grep -v CHUNK "$out" | tail -n 3)"
  if [ -n "$wm" ]; then
    xwininfo -id "$demo" | grep -q 'Map State: IsUnMapped' || fail "$name: focus lost, the window is not minimised"
    xdotool windowactivate --sync "$demo"
  else
    xdotool windowfocus --sync "$demo"
  fi
  wait_mode "$playing" 3 || fail "$name: focus back, the mode is $(mode), not $playing"
  sleep 1.5
  back=$(held_time "$out" back)
  [ "$back" = "$hidden" ] || fail "$name: held at $hidden ms, went on from ${back:-nowhere}"
  level=$(mean_level)
  [ "$level" -ge 8 ] || fail "$name: focus back, the screen is black (mean level $level)"
  echo "ok: $name: focus lost, the desktop's 1920x1080 back and play held at $hidden ms; focus back, $playing again, play on from there (screen level $level)"
}

# cases: every case on the desktop as it is now.
cases() {
"$DEMO" --data "$DATA" --no-dialogs --until 12000 > "$WORK/mode.out" 2>&1 &
pid=$!
started=$SECONDS
away_and_back "the real 640x480 mode" 640x480 "$WORK/mode.out"
wait $pid || fail "the real mode: exit status $?"
# 12 s of demo plus the 2 s and more it was held (SECONDS counts whole seconds): the
# hold is not skipped over.
[ $((SECONDS - started)) -ge 13 ] || fail "the real mode: ended $((SECONDS - started)) s after its start"
wait_mode 1920x1080 2 || fail "the real mode: the end left the desktop at $(mode)"

"$DEMO" --data "$DATA" --no-dialogs --desktop --until 8000 > "$WORK/desktop.out" 2>&1 &
pid=$!
away_and_back "--desktop" 1920x1080 "$WORK/desktop.out"
wait $pid || fail "--desktop: exit status $?"

"$DEMO" --data "$DATA" --no-dialogs --window --until 4000 > "$WORK/window.out" 2>&1 &
pid=$!
sleep 2
xdotool windowfocus --sync "$other"
wait $pid || fail "--window: exit status $?"
if grep -q '^window hidden' "$WORK/window.out"; then fail "--window held play when it lost the focus"; fi
echo "ok: --window plays on without the focus ($desktop)"
}

desktop="no window manager" wm=""
cases
openbox --sm-disable --config-file /dev/null > "$WORK/wm.out" 2>&1 &
wm=$!
desktop="a window manager"
sleep 1
cases
kill $wm
CASES

"$ROOT/scripts/xorg-run-here" bash "$WORK/cases.sh"
