# The whole sequence plays: a frame every second from 1 to 90 s (the fade starts at
# 90.046 s) is neither black nor a single flat colour, and the run goes on to the end.
source "$(dirname "$0")/lib.sh"
need_display
command -v ffmpeg >/dev/null || fail "ffmpeg missing"
at=$(seq -s, 1000 1000 90000)
"$DEMO" --fps 60 --capture "$WORK/frames" --at "$at" > /dev/null 2>&1 || fail "capture run: status $?"
count=0
for f in "$WORK"/frames/t*.png; do
  # Mean, 10th and 90th percentile of the luma.
  read -r mean low high < <(ffmpeg -v error -i "$f" -vf "signalstats,metadata=print:file=-" -f null - |
    awk -F= '/YAVG/ { a = $2 } /YLOW/ { l = $2 } /YHIGH/ { h = $2 } END { print a, l, h }')
  awk -v m="$mean" 'BEGIN { exit !(m > 8) }' || fail "$(basename "$f") is black (mean luma $mean)"
  awk -v l="$low" -v h="$high" 'BEGIN { exit !(h - l >= 5) }' || fail "$(basename "$f") is flat (luma $low..$high)"
  count=$((count + 1))
done
[ $count -eq 90 ] || fail "$count frames captured, expected 90"
echo "90 frames from 1 to 90 s, none black or flat"
echo ok
