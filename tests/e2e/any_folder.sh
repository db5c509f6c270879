# Folders named in any script: the data set in a folder with Latin accents and one with
# CJK characters, started from a third such folder, with --data, --capture, --keys (its
# F12 screenshot lands in that working folder) and --stats-json. Every frame equals the
# one drawn from the build folder's data set (at 320 × 240, a quarter of the fill).
source "$(dirname "$0")/lib.sh"
need_display
DATA=$WORK/Zoë/デモ/megadata
HERE=$WORK/Ünïcødé-作業
mkdir -p "$(dirname "$DATA")" "$HERE"
cp -r megadata "$DATA"
"$DEMO" --size 320x240 --no-dialogs --fps 60 --capture "$WORK/plain" --at 5000,36000 --until 36100 > /dev/null 2>&1 ||
  fail "plain capture: status $?"
printf '4000 f12\n4100 escape\n' > "$HERE/キー.txt"
(cd "$HERE" && "$DEMO" --data "$DATA" --size 320x240 --no-dialogs --fps 60 --keys キー.txt --stats-json "統計.json" \
   > out 2> err) || fail "--keys from $HERE: status $? $(tail -n 3 "$HERE/err")"
grep -q 'screenshot saved as zircon-t0004000.png' "$HERE/err" || fail "no screenshot: $(tail -n 3 "$HERE/err")"
[ -s "$HERE/zircon-t0004000.png" ] || fail "the screenshot is not in $HERE"
grep -q '"scenes"' "$HERE/統計.json" || fail "--stats-json did not write 統計.json"
(cd "$HERE" && "$DEMO" --data "$DATA" --size 320x240 --no-dialogs --fps 60 --capture "$WORK/Zoë/写真" --at 5000,36000 \
   --until 36100 > /dev/null 2> err) || fail "capture: status $? $(tail -n 3 "$HERE/err")"
for name in t0005000.png t0036000.png; do
  cmp -s "$WORK/plain/$name" "$WORK/Zoë/写真/$name" || fail "$name differs from the plain folder's"
done
# A --data folder that does not exist is named in the error as it was given.
"$DEMO" --data "$WORK/Zoë/なし" --check-data > "$WORK/missing" 2>&1 && fail "--check-data passed without data"
grep -q "Zoë/なし" "$WORK/missing" || fail "the missing folder's name is mangled: $(head -n 2 "$WORK/missing")"
echo ok
