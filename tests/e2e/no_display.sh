# Without any X server the program says so and ends with a failure status, never hangs.
source "$(dirname "$0")/lib.sh"
DISPLAY=:987 timeout 30 "$DEMO" --no-dialogs > /dev/null 2> "$WORK/err"
status=$?
[ $status -ne 0 ] && [ $status -ne 124 ] || fail "exit status $status"
grep -q "cannot open a window" "$WORK/err" || fail "no message: $(cat "$WORK/err")"
echo ok
