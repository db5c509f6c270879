# Frame pacing at the display's refresh rate, on Xorg with the dummy driver
# (scripts/xorg-run-here) whose 640x480 mode is given a 60 Hz timing, then a 144 Hz one.
# The dummy driver offers no vsync, so the program paces its presents itself to the rate it
# reads from the mode. Each run plays a whole scene (at 60 Hz the credits; at 144 Hz the
# opening, then the credits, which this machine draws at well under 144 a second) with
# --stats-json, whose "presents" list every present as [ms
# since the first, DemoTime of the frame shown, ms the frame was ready after its slot, ms
# waited]. Over each run:
#   - the pacing period is that of the mode (1000 / rate ms, to 0.01 ms);
#   - demo time increases at every present (no repeated demo time);
#   - at most 20 % of the intervals between presents are other than a whole number of
#     periods within a quarter period (a frame that misses its slot waits for the next);
#   - of the presents whose frame was ready for its slot (within a quarter period), at
#     most 20 % come other than one period, within a quarter, after the present before.
#     Frames not ready in time are the machine's speed, not the pacing: their share is
#     printed, not bounded (this machine draws the credits at well under 144 a second);
#   - the demo-time step of a present differs from its wall-clock step by at most 2 ms,
#     beyond the periods by which it or the present before came late (a frame cannot know
#     it will miss its slot; the next one puts its time right), for at least 95 % of the
#     presents, and by at most one period for all.
# The bounds of 20 % leave room for sleeps woken late on a busy machine (seen up to 9 %
# with four other processes on two cores). The pictures are also seen from outside.
source "$(dirname "$0")/lib.sh"
need_xorg
WATCH=$2
export WATCH
status=0

# The dummy server's config with its 640x480 mode at each rate: 800 x 525 pixels a frame in
# all, so a dot clock of rate x 0.42 MHz.
for rate in 60 144; do
  clock=$(awk -v r=$rate 'BEGIN { printf "%.2f", r * 800 * 525 / 1e6 }')
  sed "s|^  Modeline \"640x480\" .*|  Modeline \"640x480\" $clock 640 656 752 800 480 490 492 525 -hsync -vsync|" \
    "$ROOT/tests/display/xorg-dummy.conf" > "$WORK/xorg-$rate.conf"
  grep -q "^  Modeline \"640x480\" $clock " "$WORK/xorg-$rate.conf" || fail "no 640x480 mode to retime at $rate Hz"
done

cat > "$WORK/cases.sh" <<'CASES'
set -uo pipefail
source "$ROOT/tests/display/modes.sh"
rate=$1 status=0
shift
xrandr | grep -Eq "^ +640x480 +$rate\.00" || fail "the server offers no 640x480 mode at $rate Hz: $(xrandr | grep 640x480)"
# The arguments: START UNTIL of each run.
while [ $# -ge 2 ]; do
  start=$1 until=$2 range=$1..$2
  shift 2
  json="$WORK/$rate-$start.json" seen="$WORK/$rate-$start.seen"
  : > "$seen"
  "$WATCH" $(( (until - start) / 1000 + 120 )) > "$seen" 2> "$WORK/watch.err" &
  watcher=$!
  for _ in $(seq 1 50); do grep -q '^watching' "$seen" && break; sleep 0.1; done
  grep -q '^watching' "$seen" || fail "damage-watch did not start: $(cat "$WORK/watch.err")"
  "$DEMO" --data "$DATA" --no-dialogs --start "$start" --until "$until" --stats-json "$json" \
    > "$WORK/$rate-$start.out" 2>&1 || fail "$rate Hz, $range: exit status $?: $(grep -v CHUNK "$WORK/$rate-$start.out" | tail -n 3)"
  sleep 0.5
  kill $watcher
  wait $watcher 2>/dev/null
  grep -q '"display": \[640, 480\]' "$json" || fail "$rate Hz, $range: not played in the 640x480 mode: $(grep '"display"' "$json")"
  awk -v rate="$rate" -v name="$rate Hz, $range" '
    /"present_period_ms"/ { gsub(/,/, ""); period = $2 }
    /^    \[/ { gsub(/[][,]/, " "); n++; at[n] = $1; demo[n] = $2; ready[n] = $3 }
    END {
      p = 1000 / rate
      if (period < p - 0.01 || period > p + 0.01) { printf "FAIL: %s: paced to %.4f ms, not %.4f\n", name, period, p; exit 1 }
      if (n < 100) { printf "FAIL: %s: only %d presents\n", name, n; exit 1 }
      for (i = 2; i <= n; i++) {
        d = at[i] - at[i - 1]; s = demo[i] - demo[i - 1]
        if (s <= 0) { repeated++; if (!first) first = sprintf("%d after %d at %.3f ms", demo[i], demo[i - 1], at[i]) }
        onePeriod = d >= 0.75 * p && d <= 1.25 * p
        if (!onePeriod) off++
        if (ready[i] <= 0.25 * p) { inTime++; if (!onePeriod) offInTime++ }
        k = int(d / p + 0.5); if (k < 1) k = 1
        r = d - k * p; if (r < 0) r = -r
        if (r > 0.25 * p) notWhole++
        e = s - d; if (e < 0) e = -e
        if (e > worst) worst = e
        longer = (i > 2 && at[i - 1] - at[i - 2] > d) ? at[i - 1] - at[i - 2] : d
        beyond = e - (longer - p > 0 ? longer - p : 0)
        if (beyond > 2) missed++
        if (beyond > worstBeyond) { worstBeyond = beyond; where = sprintf("demo %d, step %d ms in %.3f ms", demo[i], s, d) }
      }
      intervals = n - 1
      printf "%s: %d presents, %.1f a second, %.1f %% of the frames ready for their slot; intervals off one period " \
             "%.1f %%, of those after a frame ready for its slot %.1f %%, not whole periods %.1f %%; repeated demo times %d; " \
             "worst |demo step - wall step| %.2f ms, %.2f ms beyond the periods late (%d steps over 2 ms)\n", name, n,
             intervals * 1000 / (at[n] - at[1]), 100 * inTime / intervals, 100 * off / intervals,
             inTime ? 100 * offInTime / inTime : 0, 100 * notWhole / intervals, repeated, worst, worstBeyond, missed
      failed = 0
      if (repeated) { printf "FAIL: %s: demo time did not increase at %d presents, first %s\n", name, repeated, first; failed = 1 }
      if (notWhole > 0.20 * intervals) { printf "FAIL: %s: over 20 %% of the intervals are not whole periods\n", name; failed = 1 }
      if (offInTime > 0.20 * inTime) {
        printf "FAIL: %s: over 20 %% of the frames ready for their slot came other than one period after the present before\n", name
        failed = 1
      }
      if (missed > 0.05 * intervals) { printf "FAIL: %s: over 5 %% of the demo-time steps miss their wall-clock steps by over 2 ms\n", name; failed = 1 }
      if (worstBeyond > p) { printf "FAIL: %s: a demo-time step misses its wall-clock step by over a period (%s)\n", name, where; failed = 1 }
      exit failed
    }' "$json" || status=1
  # From outside: each present is a whole 640x480 picture at the X server, which stamps it
  # in whole ms of the same steady clock. Besides the presents, the loading screen and the
  # frame at --until are pictures too. Aligned on the median, at least 95 % of the
  # pictures reach the server within a period, or 8 ms when that is longer, of their
  # traced present (the server stamps the time it last woke; seen: 2 % over 8 ms at 60 Hz).
  awk -v rate="$rate" -v name="$rate Hz, $range, seen from outside" '
    FNR == NR { if ($4 == 640 && $5 == 480) pictures[++m] = $1; next }
    /^    \[/ { gsub(/[][,]/, " "); at[++n] = $1 }
    END {
      p = 1000 / rate
      near = p > 8 ? p : 8
      if (m < n || m > n + 4) { printf "FAIL: %s: %d pictures for %d presents\n", name, m, n; exit 1 }
      # The pictures before the first present: the alignment of least spread.
      best = -1
      for (j = 0; j <= m - n; j++) {
        for (i = 1; i <= n; i++) lag[i] = pictures[i + j] - at[i]
        median = MedianOf(lag, n)
        spread = 0
        for (i = 1; i <= n; i++) { d = lag[i] - median; spread += d < 0 ? -d : d }
        if (best < 0 || spread < best) { best = spread; shift = j; centre = median }
      }
      for (i = 1; i <= n; i++) {
        d = pictures[i + shift] - at[i] - centre; if (d < 0) d = -d
        if (d > near) far++
        if (d > worst) worst = d
        if (i > 1) { g = pictures[i + shift] - pictures[i + shift - 1]; if (g < 0.75 * p - 1 || g > 1.25 * p + 1) off++ }
      }
      printf "%s: %d pictures for %d presents; %.1f %% of them over %.1f ms from their present, worst %.1f ms; " \
             "intervals off one period (to the ms) %.1f %%\n", name, m, n, 100 * far / n, near, worst, 100 * off / (n - 1)
      if (far > 0.05 * n) { printf "FAIL: %s: over 5 %% of the pictures reach the server over %.1f ms from their present\n", name, near; exit 1 }
    }
    function MedianOf(values, count,    sorted, i, j, v) {
      for (i = 1; i <= count; i++) sorted[i] = values[i]
      for (i = 2; i <= count; i++) { v = sorted[i]; for (j = i - 1; j >= 1 && sorted[j] > v; j--) sorted[j + 1] = sorted[j]; sorted[j + 1] = v }
      return sorted[int((count + 1) / 2)]
    }' "$seen" "$json" || status=1
done
exit $status
CASES

XORG_DUMMY_CONFIG="$WORK/xorg-60.conf" "$ROOT/scripts/xorg-run-here" bash "$WORK/cases.sh" 60 \
  42000 54000 || status=1
XORG_DUMMY_CONFIG="$WORK/xorg-144.conf" "$ROOT/scripts/xorg-run-here" bash "$WORK/cases.sh" 144 \
  0 17950 42000 54000 || status=1
[ $status -eq 0 ] || exit 1
echo ok
