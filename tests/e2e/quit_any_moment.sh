# Escape at seeded random moments: while loading, in each of the six scenes, in the
# closing scene's grid phase and in its fade phase, and a close by the window manager.
# Each time the program ends with status 0 at most one frame after the quit, no later scene
# draws, and the screen keeps its size. $2 is the window-manager close helper.
source "$(dirname "$0")/lib.sh"
need_display
command -v xdotool >/dev/null || fail "xdotool missing"
SEND_CLOSE=$2
seed=${QUIT_SEED:-20261207}
RANDOM=$seed
echo "seed $seed (QUIT_SEED repeats a run)"
screen_before=$(xdpyinfo | awk '/dimensions:/ { print $2 }')

# frames DIR: scene frames captured so far.
frames() { find "$1" -name 't*.png' 2>/dev/null | wc -l; }

# Loading takes a fraction of a second, less than finding the window may take. To quit
# while loading for certain, the last picture loaded is a named pipe that is only filled
# after the key has been sent.
HELD_PICTURE=greets.png
mkdir "$WORK/held-data"
for f in megadata/*; do ln -s "$PWD/$f" "$WORK/held-data/"; done
rm "$WORK/held-data/$HELD_PICTURE"
mkfifo "$WORK/held-data/$HELD_PICTURE"

# quit_at LABEL START FRAMES HOW: plays from START (capturing every frame), waits for
# FRAMES scene frames (0: quits while loading), then quits by HOW (key or close).
quit_at() {
  local label=$1 start=$2 wait_frames=$3 how=$4 dir="$WORK/$1"
  local data=()
  [ "$wait_frames" -eq 0 ] && data=(--data "$WORK/held-data")
  "$DEMO" --capture "$dir" --start "$start" --stats "${data[@]}" > "$WORK/out" 2> "$WORK/err" &
  local pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --name "Zircon megademo" | head -n 1)
  [ -n "$window" ] || { kill $pid; fail "$label: no window"; }
  if [ "$wait_frames" -gt 0 ]; then
    for _ in $(seq 1 600); do [ "$(frames "$dir")" -ge "$wait_frames" ] && break; sleep 0.01; done
  fi
  local waited sent
  waited=$(frames "$dir")
  if [ "$how" = close ]; then "$SEND_CLOSE" "$window"; else xdotool key --window "$window" Escape; fi
  # Counted once the quit has been sent: starting the sender may take longer than a frame
  # on a busy machine, and frames drawn before the quit existed are not late frames.
  sent=$(frames "$dir")
  if [ "$wait_frames" -eq 0 ]; then
    [ "$sent" -eq 0 ] || fail "$label: $sent scene frames before loading was released"
    sleep 0.2   # the key reaches the window while loading waits on the picture
    timeout 10 cat "megadata/$HELD_PICTURE" > "$WORK/held-data/$HELD_PICTURE" ||
      { kill -9 $pid; fail "$label: the held picture was never read"; }
  fi
  for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.05; done
  kill -0 $pid 2>/dev/null && { kill -9 $pid; fail "$label: still running 5 s after the quit"; }
  wait $pid
  local status=$? after
  after=$(frames "$dir")
  [ $status -eq 0 ] || { cat "$WORK/err"; fail "$label: exit status $status"; }
  # The frame being drawn when the key arrived may still be presented; nothing after it.
  [ $((after - sent)) -le 2 ] || fail "$label: $((after - sent)) frames after the quit"
  if [ "$wait_frames" -eq 0 ]; then
    [ "$after" -eq 0 ] || fail "$label: $after scene frames after a quit while loading"
  fi
  echo "$label: started at $start, quit after $waited frames ($sent once sent), $((after - sent)) more, status 0"
}

offset() { echo $(( RANDOM % $1 )); }
quit_at loading 0 0 key
quit_at opening $(offset 15000) $((2 + $(offset 30))) key
quit_at sliced_ball $((17950 + $(offset 10000))) $((2 + $(offset 30))) key
quit_at twisting_ball $((30000 + $(offset 10000))) $((2 + $(offset 30))) key
quit_at credits $((42000 + $(offset 10000))) $((2 + $(offset 30))) key
quit_at implicit_surface $((54000 + $(offset 20000))) $((2 + $(offset 30))) key
quit_at closing_grid $((78000 + $(offset 10000))) $((2 + $(offset 30))) key
quit_at closing_fade $((90100 + $(offset 2000))) $((2 + $(offset 30))) key
quit_at window_manager_close $((54000 + $(offset 20000))) $((2 + $(offset 30))) close

screen_after=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
[ "$screen_before" = "$screen_after" ] || fail "screen was $screen_before, now $screen_after"
echo ok
