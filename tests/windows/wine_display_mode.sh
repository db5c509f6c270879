# The Windows build's display-mode switch under Wine on a server that has modes
# (scripts/xorg-run-here): it plays at 640x480, and the desktop's 1920x1080 is back within
# 2 s after the end of the demo, Escape, SIGTERM and SIGABRT (Wine ends the process), and
# SIGKILL (the guardian process restores it then). Focus lost to another window under a
# window manager: the window is minimised, the desktop's mode is back, play holds and the
# screen is still (two grabs 1 s apart); activated again, it plays on at 640x480 from where
# it held, the screen moving (two grabs 0.5 s apart).
# With SCALED_PREFIX (a Wine prefix at 200 % display scaling), the switch there also plays
# at 640x480 in real pixels.
#   wine_display_mode.sh PACKAGE_DIR [SCALED_PREFIX]
set -uo pipefail
EXE=$1/zircon-megademo.exe
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export WINEDEBUG=-all
source "$(dirname "$0")/../display/modes.sh"
[ "$(mode)" = 1920x1080 ] || fail "the server starts at $(mode), not 1920x1080"
# Wine's own processes start first and take in this server's display and its modes.
wine "$EXE" --version > /dev/null 2>&1
ending "under Wine, the end of the demo" "$WORK/end.out" true wine "$EXE" --no-dialogs --start 91000
ending "under Wine, Escape" "$WORK/escape.out" press_escape wine "$EXE" --no-dialogs --until 30000
for signal in TERM ABRT KILL; do
  ending "under Wine, SIG$signal" "$WORK/$signal.out" "kill -$signal \$pid" wine "$EXE" --no-dialogs --until 30000
done

# Focus lost and back, under a window manager.
openbox --sm-disable --config-file /dev/null > "$WORK/wm.out" 2>&1 &
wm=$!
xmessage -geometry 300x100+800+500 "another program" &
other_pid=$!
trap 'kill $wm $other_pid 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 1 50); do other=$(xdotool search --name xmessage | head -n 1); [ -n "$other" ] && break; sleep 0.1; done
[ -n "$other" ] || fail "focus: the other window did not appear"
# held_time WORD: the demo time of the last "window hidden"/"window back" line, waited for.
held_time() {
  local time
  for _ in $(seq 1 50); do
    time=$(tr -d '\r' < "$WORK/focus.out" | sed -nE "s/^window $1.* at demo ([0-9]+) ms\$/\\1/p" | tail -n 1)
    [ -n "$time" ] && break
    sleep 0.1
  done
  echo "$time"
}
# grab FILE: the screen's top-left 640x480 now, grey 160x120. moved A B: the mean difference
# of two grabs (grey levels).
grab() {
  ffmpeg -loglevel error -f x11grab -draw_mouse 0 -video_size 640x480 -i "$DISPLAY" -frames:v 1 \
    -vf scale=160:120:flags=area,format=gray -f rawvideo -y "$1"
}
moved() {
  /usr/bin/python3 -c 'import sys, numpy as n; a, b = (n.fromfile(f, n.uint8).astype(float) for f in sys.argv[1:]); print("%.2f" % abs(a - b).mean())' "$1" "$2"
}
wine "$EXE" --no-dialogs --until 8000 > "$WORK/focus.out" 2>&1 &
pid=$!
wait_mode 640x480 20 || fail "focus: never played at 640x480 ($(mode))"
sleep 2
demo=$(xdotool search --name "Zircon megademo" | head -n 1)
xdotool windowactivate --sync "$other" 2>/dev/null || xdotool windowfocus --sync "$other"
# The focus must have moved for the check to mean anything: once more if it did not.
[ "$(xdotool getactivewindow 2>/dev/null)" = "$other" ] || xdotool windowfocus --sync "$other"
if ! wait_mode 1920x1080 3; then
  # What a failure needs to be read: where the focus is, what the demo said, and whether the
  # mode comes back later.
  left=$(mode) active=$(xdotool getactivewindow 2>/dev/null)
  wait_mode 1920x1080 5 && later="back 3 to 8 s after" || later="still $(mode) 8 s after"
  fail "focus lost under Wine: the desktop is left at $left 3 s after the focus moved ($later;" \
       "active window ${active:-none}, the other $other, the demo $demo; the demo said:" \
       "$(tr -d '\r' < "$WORK/focus.out" | grep -v CHUNK | tail -n 3 | tr '\n' '|'))"
fi
hidden=$(held_time hidden)
[ -n "$hidden" ] || fail "focus lost under Wine: play did not hold: $(tr -d '\r' < "$WORK/focus.out" | grep -v CHUNK | tail -n 3)"
sleep 1
grab "$WORK/hidden1"; sleep 1; grab "$WORK/hidden2"
still=$(moved "$WORK/hidden1" "$WORK/hidden2")
awk -v d="$still" 'BEGIN { exit !(d <= 0.5) }' || fail "focus lost under Wine: the screen changes by $still grey levels in 1 s"
xwininfo -id "$demo" | grep -q 'Map State: IsUnMapped' || fail "focus lost under Wine: the window is not minimised"
xdotool windowactivate --sync "$demo"
wait_mode 640x480 3 || fail "focus back under Wine: the mode is $(mode)"
back=$(held_time back)
sleep 1
grab "$WORK/back1"; sleep 0.5; grab "$WORK/back2"
moving=$(moved "$WORK/back1" "$WORK/back2")
awk -v d="$moving" 'BEGIN { exit !(d >= 2) }' || fail "focus back under Wine: the screen changes by only $moving grey levels in 0.5 s"
[ "$back" = "$hidden" ] || fail "focus back under Wine: held at $hidden ms, went on from ${back:-nowhere}"
level=$(ffmpeg -loglevel error -f x11grab -video_size 640x480 -i "$DISPLAY" -frames:v 1 -vf format=gray -f rawvideo - |
  od -An -v -tu1 | awk '{ for (i = 1; i <= NF; i++) { s += $i; n++ } } END { printf "%d", s / n }')
[ "$level" -ge 8 ] || fail "focus back under Wine: the screen is black (mean level $level)"
wait $pid || fail "focus under Wine: exit status $?"
wait_mode 1920x1080 2 || fail "focus under Wine: the end left $(mode)"
echo "ok: under Wine, focus lost: minimised, 1920x1080 back, held at $hidden ms, the screen still ($still grey levels in 1 s); focus back: 640x480, on from there, the screen moving ($moving grey levels in 0.5 s)"

# The real switch on a display scaled to 200 %: the mode and the drawn window are 640x480.
if [ -n "${2:-}" ]; then
  WINEPREFIX=$2 wine "$EXE" --no-dialogs --stats --until 2000 > "$WORK/scaled.out" 2>&1 ||
    fail "scaled to 200 %: exit status $?"
  sizes=$(tr -d '\r' < "$WORK/scaled.out" | sed -n 's/^display: //p')
  [ "$sizes" = "640x480, drawn in a window of 640x480 pixels" ] ||
    fail "scaled to 200 %, the real switch: display ${sizes:-not reported}"
  wait_mode 1920x1080 2 || fail "scaled to 200 %: the end left $(mode)"
  WINEPREFIX=$2 wineserver -k 2>/dev/null
  echo "ok: under Wine scaled to 200 %, the real switch: display $sizes"
fi
