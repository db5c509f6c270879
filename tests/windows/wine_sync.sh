# Picture against music of the Windows build under Wine, as a viewer sees and hears them
# (scripts/measure-sync): the exe plays on measure-sync's own Xvfb screen, its sound goes
# through Wine's PulseAudio driver (winepulse.drv) into measure-sync's own sound server,
# and both are recorded by one ffmpeg and matched against the generator's soundtrack.
# The control stream takes the same way: the soundtrack played under Wine by
# control-player.exe (tests/windows/control_player.c: SDL_mixer and WASAPI with the demo's
# buffer), so a gap in the demo's sound is Wine's and the machine's only when the
# control's ran dry near it too.
#   wine_sync.sh PACKAGE_DIR CONTROL_PLAYER_EXE
# Three stretches: the three credits flashes played straight, the same with a pause and
# resume, and with a seek of 5 s on. Each run is judged by tests/sync/verdict.py from its
# recording: every cue of the stretch found, the median offset within ±SYNC_MEDIAN_MS (17),
# every offset within ±SYNC_WORST_MS (25), the exe's exit status 0 and no gap in its sound
# that the control's did not have near it. The bounds are a frame wider than the native
# program's (10, 17): Wine's pulse driver hands the sound on on its own 10 ms timer, whose
# phase the exe cannot see, so the offset of a whole run moves by up to a frame from run
# to run (run medians measured here from -13.6 to +9.6 ms, events to +18.7 ms). Wine's prefix is $WINEPREFIX; its server is
# ended before each run, as each run has a display of its own. The recordings and reports
# stay in $SYNC_OUT when set.
set -uo pipefail
PACKAGE=$1
EXE=$PACKAGE/zircon-megademo.exe
CONTROL_PLAYER=$2
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/checks.sh"
: "${WINEPREFIX:?wine_sync.sh needs WINEPREFIX (measure-sync changes HOME)}"
export WINEPREFIX WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
median_bound=${SYNC_MEDIAN_MS:-17} worst_bound=${SYNC_WORST_MS:-25}
out=${SYNC_OUT:-$WORK}
mkdir -p "$out"
win() { echo "Z:$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr / '\\'; }
# measure-sync's control player: control-player.exe under the same Wine server as the exe.
control=$out/control-player.sh
printf '#!/bin/bash\nexec wine %q %q "$@"\n' "$(win "$CONTROL_PLAYER")" "$(win "$PACKAGE/megadata/demusik.mp3")" > "$control"
chmod +x "$control"

# measure_stretch NAME WHAT CUES START UNTIL [KEYS_TEXT]: up to three runs of measure_run,
# until one is in step. A failed run fails the stretch at once, as do two runs out of step
# (Wine's output runs on its own 10 ms timer, whose phase against the mixer differs from
# run to run: one run out of step is played again). A disturbed run is played again and
# judged with the earlier disturbed runs (each event judged in one of them); a stretch
# still not judged after three runs is not measured: a SKIP, never a pass.
measure_stretch() {
  local name=$1 what=$2 attempt verdict late=0
  runs=()
  for attempt in 1 2 3; do
    [ $attempt -gt 1 ] && echo "  (played again)"
    measure_run "$@"
    verdict=$?
    case $verdict in
      0) pass "in step under Wine, $what: $run_report"; return ;;
      1) late=$((late + 1))
         [ $late -ge 2 ] && { fail "in step under Wine, $what: out of step in two runs: $run_report"; return; } ;;
      2) ;;
      *) fail "in step under Wine, $what: $run_report"; return ;;
    esac
  done
  skip "$name: not measured under Wine, $what: the machine disturbed every run (gaps in the control stream too, or a starved grabber)"
}

# measure_run NAME WHAT CUES START UNTIL [KEYS_TEXT]: plays START..UNTIL (with the keys,
# "MS KEY" lines) under Wine inside measure-sync, into $out/NAME, prints its figures and
# verdict on it and the earlier runs in runs; its status is verdict.py's (0 in step, 1 out
# of step, 2 disturbed, 3 failed),
# run_report the verdict's reason with the count of Wine's own underflow warnings.
measure_run() {
  local name=$1 what=$2 cues=$3 start=$4 until=$5 keys_text=${6:-} dir=$out/$1 keys=() report verdict status
  mkdir -p "$dir"
  local run=${#runs[@]}
  local json=$dir/sync.$run.json
  rm -f "$json"
  runs+=("$json")
  if [ -n "$keys_text" ]; then
    printf '%s\n' "$keys_text" > "$dir/keys.txt"
    keys=(--keys "$dir/keys.txt")
  fi
  wineserver -k 2>/dev/null
  # SDL_AUDIODRIVER, set by measure-sync for the native program, names no Windows driver:
  # the exe picks its own (WASAPI through Wine's mmdevapi and winepulse.drv). Wine's pulse
  # driver warns of each time its stream ran dry: reported beside the verdict.
  "$ROOT/scripts/measure-sync" --out "$dir/record.$run" --start "$start" --until "$until" "${keys[@]}" \
    --json "$json" --control-player "$control" -- \
    env -u SDL_AUDIODRIVER WINEDEBUG=-all,warn+pulse wine \
      "$EXE" --start "$start" --until "$until" --no-dialogs ${keys_text:+--keys "$(win "$dir/keys.txt")"} \
    > "$dir/report.$run.txt" 2>&1
  report=$(tr -d '\r' < "$dir/report.$run.txt")
  grep -E '^(music|gaps|sync|measure-sync|the music)' <<<"$report" | sed "s/^/  $name: /"
  verdict=$(/usr/bin/python3 "$ROOT/tests/sync/verdict.py" --summary "${runs[@]}" --events "$cues" \
    --median-ms "$median_bound" --worst-ms "$worst_bound")
  status=$?
  echo "  $name: $verdict"
  run_report="${verdict#verdict: } (Wine's stream warned of running dry $(grep -c 'pulse_underflow_callback' <<<"$report") times)"
  return $status
}

measure_stretch plain "the credits flashes played straight" 3 44000 53000
measure_stretch pause "a pause of 1.5 s and resume" 3 44000 53000 $'3000 space\n4500 space'
measure_stretch seek "a seek of 5 s on" 2 44000 53000 '1500 right'
wineserver -k 2>/dev/null

echo "windows sync: $passed passed, $failed failed, $skipped skipped"
[ $failed -eq 0 ]
