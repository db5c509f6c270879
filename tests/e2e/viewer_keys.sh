# Viewer keys replayed by --keys at fixed play times (--fps 60, so every run is the same):
# a seek lands on the frame a run started there shows; pause holds picture and music in
# every scene; one press of F12 writes one screenshot;
# a long random script of keys never crashes, hangs or leaves the music behind a seek.
source "$(dirname "$0")/lib.sh"
need_display
DATA=$PWD/megadata

# keys NAME SCRIPT [OPTIONS...]: runs the demo in $WORK/NAME with the script; its trace
# goes to $WORK/NAME/err.
keys() {
  local name=$1 script=$2; shift 2
  mkdir -p "$WORK/$name"
  printf '%b' "$script" > "$WORK/$name/keys"
  (cd "$WORK/$name" && timeout 600 "$DEMO" --data "$DATA" --fps 60 --no-dialogs --keys keys "$@" \
     > out 2> err) || fail "$name: exit status $? $(tail -n 5 "$WORK/$name/err")"
}
# same_as_start NAME SHOT T: the screenshot equals the first frame of a run started at T.
same_as_start() {
  "$DEMO" --data "$DATA" --fps 60 --start "$3" --capture "$WORK/start$3" --at "$3" > /dev/null 2>&1 ||
    fail "capture at $3"
  cmp -s "$WORK/$1/$2" "$WORK/start$3/$(basename "$2" | sed 's/zircon-//')" ||
    fail "$1: $2 differs from the frame a run started at $3 shows"
}

# shots NAME COUNT: the run left exactly COUNT screenshots (one press of F12, one file).
shots() {
  local found
  found=$(ls "$WORK/$1" | grep -c '^zircon-t.*\.png$')
  [ "$found" -eq "$2" ] || fail "$1: $found screenshots for $2 presses of F12"
}

# Seeks: forward in the opening, back across the first scene boundary, the next scene,
# and four scenes on into the implicit surface, whose shapes start from the same places.
keys seek '500 right\n500 f12\n600 escape\n'
same_as_start seek zircon-t0005500.png 5500
shots seek 1
keys back '500 left\n500 f12\n600 escape\n' --start 19000
same_as_start back zircon-t0014500.png 14500
keys skip '100 pagedown\n100 f12\n200 pagedown\n300 pagedown\n400 pagedown\n400 f12\n500 pageup\n500 f12\n600 pagedown\n600 pagedown\n600 pagedown\n'
# Past the last scene the run is over, as at the end of the demo.
tail -n 1 "$WORK/skip/err" | grep -q '^key pagedown at play 600 ms: .*, ended$' || fail "a skip past the end did not end the run"
same_as_start skip zircon-t0017950.png 17950
same_as_start skip zircon-t0054000.png 54000
same_as_start skip zircon-t0042000.png 42000
# The music may have played on by one mixer buffer when it is asked where it is.
grep '^key pagedown at play 100 ms: demo 17950 ms' "$WORK/skip/err" | awk '{ exit !($11 >= 17950 && $11 < 18050) }' ||
  fail "the music does not follow a skip: $(grep pagedown "$WORK/skip/err" | head -n 1)"

# Pause: the same picture a second later, the music held where it was; Space resumes.
keys pause '1000 space\n1000 f12\n2000 f12\n2000 space\n2500 escape\n'
cmp -s "$WORK/pause/zircon-t0001000.png" "$WORK/pause/zircon-t0001000-2.png" || fail "the paused picture changed"
shots pause 2
held=$(grep -E '^key (f12|space) at play (1000|2000) ms: .*, paused$' "$WORK/pause/err" |
       sed -E 's/.*music ([0-9-]+) ms.*/\1/' | sort -u)
[ "$(grep -cE '^key (f12|space) at play (1000|2000) ms: .*, paused$' "$WORK/pause/err")" -eq 3 ] ||
  fail "expected three keys seen while paused"
[ "$(wc -l <<<"$held")" -eq 1 ] || fail "the music moved while paused: $held"
grep -q '^key space at play 2000 ms: demo 1000 ms, .*, playing' "$WORK/pause/err" || fail "Space did not resume at 1000 ms"
grep -q 'key escape at play 2500 ms: demo 1500 ms' "$WORK/pause/err" || fail "play did not go on from the paused time"

# Pause holds the picture in every scene, whose phases and steps stand still: in each, a
# pause 200 ms in and two screenshots 100 and 300 ms later; then on to the next scene.
script=""
for scene in 0 1 2 3 4 5; do
  t=$((scene * 600))
  script+="$((t + 200)) space\n$((t + 300)) f12\n$((t + 500)) f12\n$((t + 520)) space\n$((t + 540)) pagedown\n"
done
keys pause_scenes "$script"
shots pause_scenes 12
paused_scenes=0
for shot in "$WORK"/pause_scenes/zircon-t???????.png; do
  cmp -s "$shot" "${shot%.png}-2.png" || fail "the paused picture changed: $(basename "$shot")"
  paused_scenes=$((paused_scenes + 1))
done
[ "$paused_scenes" -eq 6 ] || fail "pauses in $paused_scenes scenes, expected 6"

# Thousands of random keys (seeks past both ends, pauses during seeks, skips during the
# fade, the overlay), then the run goes on to its end. Only the keys' trace is looked at:
# the picture is drawn small.
awk 'BEGIN { srand(7); split("space left left right pageup pagedown home tab", k, " ");
             for (t = 0; t < 60000; t += int(rand() * 40)) print t, k[int(rand() * 8) + 1];
             print 60000, "f12"; print 60001, "escape" }' > "$WORK/random.keys"
keys random "$(cat "$WORK/random.keys")\n" --size 160x120
# Every key is applied, unless a seek past the end ended the run first.
[ "$(grep -c '^key ' "$WORK/random/err")" -eq "$(wc -l < "$WORK/random.keys")" ] ||
  grep '^key ' "$WORK/random/err" | tail -n 1 | grep -qE '^key (right|pagedown) .*, ended$' || fail "not every key was applied"
# After every seek the music stands where the picture is (or has ended past its length).
awk '/^key (left|right|pageup|pagedown|home) / {
       d = $8; m = $11; if (m >= 0 && d < 93000 && (m - d > 100 || d - m > 20)) { print; bad = 1 } }
     END { exit bad }' "$WORK/random/err" || fail "the music is out of step after a seek"
echo ok
