#!/usr/bin/env bash
# Picture against music as a viewer gets them, measured from outside (scripts/measure-sync:
# the screen and a sound server's monitor recorded by one ffmpeg): the three credits
# flashes played through, and flashes after a pause and resume and after Page Down, Left,
# Right and Page Up. Every event is found, each within 17 ms of its beat (one frame at
# 60 Hz), the median within 10 ms.
# $1 the program, $2 the data-set generator.
source "$(dirname "$0")/lib.sh" "$1"
GENERATOR=$2
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
for tool in pulseaudio pactl ffmpeg Xvfb; do
  command -v $tool >/dev/null || fail "$tool missing (scripts/install-deps)"
done

# measure NAME EVENTS START [KEYS]: plays from START (to 53000 without keys) and checks
# the figures of the events found.
measure() {
  local name=$1 events=$2 start=$3 keys=${4:-} plan=() play=()
  if [ -n "$keys" ]; then
    printf '%b' "$keys" > "$WORK/$name.keys"
    plan=(--start "$start" --keys "$WORK/$name.keys")
    play=(--start "$start" --keys "$WORK/$name.keys")
  else
    plan=(--start "$start" --until 53000)
    play=(--start "$start" --until 53000)
  fi
  ZIRCON_GENERATOR=$GENERATOR "$ROOT/scripts/measure-sync" --out "$WORK/$name" --json "$WORK/$name.json" \
    "${plan[@]}" -- "$DEMO" --no-dialogs "${play[@]}" > "$WORK/$name.log" 2>&1 ||
    { tail -n 20 "$WORK/$name.log"; fail "$name: not measured"; }
  grep -E '^(music|sync)' "$WORK/$name.log"
  /usr/bin/python3 - "$WORK/$name.json" "$events" "$name" <<'PY' || fail "$name: out of step"
import json, sys
s = json.load(open(sys.argv[1]))["summary"]
want, name = int(sys.argv[2]), sys.argv[3]
ok = s["events"] == want and s["found"] == want and abs(s["median_ms"]) <= 10 and abs(s["worst_ms"]) <= 17
print(f"{name}: {s}")
sys.exit(0 if ok else 1)
PY
}

measure played-through 3 44000
# Page Down to the credits (45038), a one-second pause (48038), Left (45038), Right
# (51038), Page Up to the twisting ball and Page Down back to the credits (45038).
measure keys 5 40000 '1000 pagedown\n5000 space\n6000 space\n9000 left\n10600 right\n12000 pageup\n14000 pagedown\n18000 escape\n'
echo "picture and music in step"
