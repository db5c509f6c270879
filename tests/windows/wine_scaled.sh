# The Windows build on a display scaled to 200 % (Wine's LogPixels 192 in the prefix
# $WINEPREFIX) on a 1920x1080 server ($DISPLAY): the program reads the display's real
# size and draws in the window's real pixels, fullscreen at the desktop's resolution and
# in a desktop window.
#   wine_scaled.sh PACKAGE_DIR
set -uo pipefail
EXE=$1/zircon-megademo.exe
source "$(dirname "$0")/checks.sh"

dpi=$(wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null | tr -d '\r' | awk '/LogPixels/ { print $3 }')
[ "$dpi" = 0xc0 ] || fail "the prefix is not scaled: LogPixels ${dpi:-unset}"
for option in --desktop --window; do
  wine "$EXE" $option --no-dialogs --stats --until 1000 > "$WORK/out" 2>&1
  status=$?
  sizes=$(tr -d '\r' < "$WORK/out" | sed -n 's/^display: //p')
  want="1920x1080, drawn in a window of 1920x1080 pixels"
  [ "$option" = --window ] && want="1920x1080, drawn in a window of 640x480 pixels"
  if [ $status -eq 0 ] && [ "$sizes" = "$want" ]; then
    pass "scaled to 200 %, $option: display $sizes"
  else
    fail "scaled to 200 %, $option: status $status, display ${sizes:-not reported}"
  fi
done
echo "windows scaled: $passed passed, $failed failed"
[ $failed -eq 0 ]
