# The Windows build's display-mode switch under Wine on a server that has modes
# (scripts/xorg-run-here): it plays at 640x480, and the desktop's 1920x1080 is back within
# 2 s after the end of the demo, Escape, SIGTERM and SIGABRT (Wine ends the process), and
# SIGKILL (the guardian process restores it then).
#   wine_display_mode.sh PACKAGE_DIR
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
