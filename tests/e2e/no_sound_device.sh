# No audio output at all (an audio driver that does not exist): the three audio boxes in
# order, each with its error-code line (standard error with --no-dialogs), and the picture
# plays on to the end of the demo on the real clock.
source "$(dirname "$0")/lib.sh"
need_display
SDL_AUDIODRIVER=no-such-driver "$DEMO" --start 91000 --no-dialogs --stats > "$WORK/out" 2> "$WORK/err"
status=$?
[ $status -eq 0 ] || { cat "$WORK/err"; fail "exit status $status"; }
boxes=$(grep -E "^Error: " "$WORK/err" | tr '\n' '|')
[ "$boxes" = "Error: Can't initialize digital sound system|Error: Can't create stream|Error: Can't play stream|" ] \
  || { cat "$WORK/err"; fail "boxes: $boxes"; }
[ "$(grep -cE '^\(error code: -?[0-9]+\)$' "$WORK/err")" -eq 3 ] || fail "error-code lines missing"
last=$(last_time_of 6 "$WORK/out")
[ "$last" -ge 93900 ] && [ "$last" -lt 94000 ] || fail "the closing scene ended at $last"
echo ok
