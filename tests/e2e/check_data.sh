# --check-data: the generated data set passes; damaged copies fail with each problem
# named. It opens no window, so it runs without a display.
source "$(dirname "$0")/lib.sh"
unset DISPLAY
"$DEMO" --check-data > "$WORK/out" 2> "$WORK/err" || { cat "$WORK/out" "$WORK/err"; fail "generated data set: status $?"; }
grep -q "all 18 files are fine" "$WORK/out" || { cat "$WORK/out"; fail "no closing line"; }
grep -q 'megadata\\credits1024.png *ok *1024 x 1024' "$WORK/out" || fail "picture size not shown"
grep -q 'object "front": [0-9]* faces' "$WORK/out" || fail "model object not shown"

# expect_problem LABEL PATTERN: the check of $WORK/set fails, naming the problem.
expect_problem() {
  "$DEMO" --check-data --data "$WORK/set" > "$WORK/out" 2> "$WORK/err"
  local status=$?
  [ $status -eq 1 ] || { cat "$WORK/out"; fail "$1: status $status"; }
  grep -q "^1 problem:" "$WORK/out" || { cat "$WORK/out"; fail "$1: not exactly one problem"; }
  grep -qE "$2" "$WORK/out" || { cat "$WORK/out"; fail "$1: problem not named"; }
}
fresh() { rm -rf "$WORK/set"; cp -r megadata "$WORK/set"; }

fresh; rm "$WORK/set/grid128.png"
expect_problem "a removed file" '^  megadata\\grid128.png: missing$'
fresh; head -c 5000 megadata/vortex_kasser1024.png > "$WORK/set/vortex_kasser1024.png"
expect_problem "a truncated PNG" '^  megadata\\vortex_kasser1024.png: not a PNG the demo can load'
fresh; cp megadata/ball2420.3ds "$WORK/set/ting5.3ds"
expect_problem "a model without its object" '^  megadata\\ting5.3ds: no object "front"'
fresh; head -c 1000000 megadata/demusik.mp3 > "$WORK/set/demusik.mp3"
expect_problem "a short soundtrack" '^  megadata\\demusik.mp3: [0-9.]+ s of sound, the demo needs 94 s$'
echo ok
