# On a screen of another size the picture still fills the window: frames captured on a
# 1024 × 768 server equal those captured on the 640 × 480 one.
source "$(dirname "$0")/lib.sh"
need_display
[ -d megadata ] || fail "no megadata beside the program"
"$DEMO" --capture "$WORK/small" --at 10000 > /dev/null 2>&1 || fail "run on $DISPLAY: status $?"
"$(dirname "$0")/../../scripts/xvfb-run-here" --screen 1024x768x24 \
  "$DEMO" --capture "$WORK/large" --at 10000 > /dev/null 2>&1 || fail "run on 1024x768: status $?"
for f in loading.png t0010000.png; do
  cmp -s "$WORK/small/$f" "$WORK/large/$f" || fail "$f differs between screen sizes"
done
echo ok
