# The Windows build under Wine, beside the native program on the same X server ($DISPLAY):
#   wine_check.sh PACKAGE_DIR NATIVE_DEMO FRAME_DIFF STAND_IN_DIR
# PACKAGE_DIR is the unzipped release (zircon-megademo.exe, megadata/); STAND_IN_DIR holds
# the stand-in ffmpeg.exe. Wine's prefix is $WINEPREFIX. Each check prints one line; the
# last line counts them.
set -uo pipefail
PACKAGE=$1 NATIVE=$2 FRAME_DIFF=$3 STAND_IN=$4
EXE=$PACKAGE/zircon-megademo.exe
source "$(dirname "$0")/checks.sh"
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/../../scripts/lib.sh"
project_version=$(project_version)
# The Windows name of a path here: Wine shows the root as drive Z:.
win() { echo "Z:$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr / '\\'; }
# Moments in all six scenes, as the page check also compares them.
TIMES=3000,12000,22000,36000,48000,60000,72000,85000,92000

# A program of the windows subsystem (no console window when double-clicked) that needs
# only the DLLs every Windows has.
objdump=x86_64-w64-mingw32-objdump
subsystem=$($objdump -p "$EXE" | awk '/^Subsystem/ { print $2 }')
dlls=$($objdump -p "$EXE" | sed -nE 's/.*DLL Name: (.*)/\1/p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
others=$(tr ' ' '\n' <<<"$dlls" | sed 's/\.dll$//' | grep -vxE 'advapi32|cfgmgr32|gdi32|glu32|imm32|kernel32|msvcrt|ole32|oleaut32|opengl32|setupapi|shell32|shlwapi|user32|version|winmm|psapi|api-ms-win-.*|' | tr '\n' ' ')
if [ "$subsystem" = 00000002 ] && [ -z "${others// /}" ]; then
  pass "a windows-subsystem program using Windows' own DLLs: $dlls"
else
  fail "subsystem $subsystem, DLLs: $dlls (not Windows' own: $others)"
fi

# --version and --check-data print to the console the program was started from.
version=$(wine "$EXE" --version 2>&1 | tr -d '\r')
[ "$version" = "zircon-megademo $project_version" ] &&
  pass "--version prints: $version" || fail "--version printed: $version"
(cd "$PACKAGE" && wine ./zircon-megademo.exe --check-data > "$WORK/check-win" 2>&1)
status=$?
(cd "$PACKAGE" && "$NATIVE" --check-data > "$WORK/check-native" 2>&1)
if [ $status -eq 0 ] && diff <(tr -d '\r' < "$WORK/check-win") "$WORK/check-native" > "$WORK/check-diff"; then
  pass "--check-data: the same report as natively ($(grep -c . "$WORK/check-native") lines)"
else
  fail "--check-data: status $status; $(head -n 5 "$WORK/check-diff")"
fi

# Started from another folder, it finds megadata/ beside the exe.
mkdir -p "$WORK/elsewhere"
if (cd "$WORK/elsewhere" && wine "$EXE" --check-data > out 2>&1); then
  pass "started from another folder: the data set beside the exe is found"
else
  fail "started from another folder: $(tail -n 2 "$WORK/elsewhere/out")"
fi

# Frames at --fps 60 in all six scenes against the native ones. The same llvmpipe draws
# both; only our pipeline's floats can differ (another C runtime's sin, cos and printf),
# which moves an edge pixel now and then: at most a mean of 0.01 levels per channel and
# 0.1 % of pixels off by more than 2 levels. Each frame comes from a run started a second
# before its moment, which shows the play through's frame; the native runs go on beside
# Wine's.
start_of() { echo $(($1 > 1000 ? $1 - 1000 : 0)); }
for t in ${TIMES//,/ }; do
  "$NATIVE" --data "$PACKAGE/megadata" --window --no-dialogs --fps 60 --capture "$WORK/native" --at "$t" \
    --start "$(start_of "$t")" --until $((t + 100)) > /dev/null 2>&1 || echo "$t" >> "$WORK/native-failed"
done &
native_runs=$!
for t in ${TIMES//,/ }; do
  wine "$EXE" --data "$(win "$PACKAGE/megadata")" --window --no-dialogs --fps 60 --capture "$(win "$WORK/windows")" \
    --at "$t" --start "$(start_of "$t")" --until $((t + 100)) > "$WORK/capture.log" 2>&1 ||
    fail "capture under Wine at $t ms: $(tail -n 3 "$WORK/capture.log")"
done
wait $native_runs
[ -f "$WORK/native-failed" ] && fail "native capture at $(tr '\n' ' ' < "$WORK/native-failed")ms"
for t in ${TIMES//,/ }; do
  name=$(printf 't%07d.png' "$t")
  if line=$("$FRAME_DIFF" "$WORK/windows/$name" "$WORK/native/$name" 0.01 2 0.001 2>&1); then
    pass "frame at $t ms: $line"
  else
    fail "frame at $t ms: $line"
  fi
done

# A missing picture: the same message and exit status as natively.
cp -r "$PACKAGE/megadata" "$WORK/broken"
rm "$WORK/broken/greets.png"
(cd "$WORK" && "$NATIVE" --data broken --window --no-dialogs --fps 60 > /dev/null 2> native-err)
native_status=$?
(cd "$WORK" && wine "$EXE" --data broken --window --no-dialogs --fps 60 > /dev/null 2> win-err)
win_status=$?
native_message=$(grep 'FATAL ERROR' "$WORK/native-err")
win_message=$(tr -d '\r' < "$WORK/win-err" | grep 'FATAL ERROR')
if [ -n "$native_message" ] && [ "$win_message" = "$native_message" ] && [ $win_status -eq $native_status ]; then
  pass "a missing picture: \"$win_message\", status $win_status"
else
  fail "a missing picture: \"$win_message\" status $win_status; natively \"$native_message\" status $native_status"
fi

# A --keys script seeks 5 s on and saves the frame: it equals the frame a run started
# there captures.
mkdir -p "$WORK/keys"
printf '500 right\n500 f12\n600 escape\n' > "$WORK/keys/keys"
(cd "$WORK/keys" && wine "$EXE" --data "$(win "$PACKAGE/megadata")" --window --no-dialogs --fps 60 --keys keys \
   > out 2> err)
wine "$EXE" --data "$(win "$PACKAGE/megadata")" --window --no-dialogs --fps 60 --start 5500 \
  --capture "$(win "$WORK/start")" --at 5500 > /dev/null 2>&1
if [ -f "$WORK/keys/zircon-t0005500.png" ] &&
   "$FRAME_DIFF" "$WORK/keys/zircon-t0005500.png" "$WORK/start/t0005500.png" 0 0 0 > "$WORK/keys/diff"; then
  pass "a seek by --keys shows the frame a run started there shows"
else
  fail "a seek by --keys: $(cat "$WORK/keys/diff" 2>/dev/null) $(tr -d '\r' < "$WORK/keys/err" | tail -n 3)"
fi

# Real time: presents keep to the display's rate even where vsync is accepted and does
# not wait (here it ran at 149 frames a second before).
wine "$EXE" --window --no-dialogs --stats --until 8000 > "$WORK/pace" 2> "$WORK/pace-err"
rate=$(tr -d '\r' < "$WORK/pace" | sed -nE 's/^frame rate reached: ([0-9.]+) frames a second.*/\1/p')
if [ -n "$rate" ] && awk -v r="$rate" 'BEGIN { exit !(r >= 20 && r <= 66) }'; then
  pass "real-time play under Wine: $rate frames a second $(tr -d '\r' < "$WORK/pace-err" | grep -o 'vsync was accepted.*' || true)"
else
  fail "real-time play under Wine: ${rate:-no} frames a second"
fi

# --record with ffmpeg.exe found on the PATH: every frame arrives whole through the pipe,
# and the finished video takes the place of an older one of the same name.
mkdir -p "$WORK/record"
echo "an older clip" > "$WORK/record/clip.mp4"
(cd "$WORK/record" && WINEPATH="$(win "$STAND_IN")" wine "$EXE" --data "$(win "$PACKAGE/megadata")" \
   --record "clip.mp4" --until 2000 > out 2> err)
status=$?
frames=$(tr -d '\r' < "$WORK/record/err" | sed -nE 's/^recorded ([0-9]+) frames to clip.mp4$/\1/p')
if [ $status -eq 0 ] && [ -n "$frames" ] && [ "$(cat "$WORK/record/clip.mp4" 2>/dev/null)" = "$frames 0" ] &&
   [ ! -e "$WORK/record/clip.partial.mp4" ]; then
  pass "--record through ffmpeg.exe on the PATH: $frames frames of 640x480 arrived whole, over an older clip.mp4"
else
  fail "--record: status $status, $(cat "$WORK/record/clip.mp4" 2>/dev/null), $(tr -d '\r' < "$WORK/record/err" | tail -n 3)"
fi

# The exe's resources: a version Explorer shows, the manifest (real pixels on scaled
# displays, no elevation, UTF-8 code page) and the generated icon in every size.
version_text=$(wrestool -x --raw --type=16 "$EXE" | strings -el | tr '\n' '|')
expected="ProductName|Zircon megademo|ProductVersion|$project_version|"
if [[ "$version_text" == *"FileDescription|Zircon megademo: a real-time audiovisual demo|FileVersion|$project_version|"* &&
      "$version_text" == *"$expected"* && "$version_text" == *"LegalCopyright|Copyright (C) 2026 Zircon megademo developers|"* ]]; then
  pass "version resource: Zircon megademo $project_version, description and copyright"
else
  fail "version resource: $version_text"
fi
manifest=$(wrestool -x --raw --type=24 --name=1 "$EXE")
missing=""
for want in 'level="asInvoker"' '>true/pm</dpiAware>' '>PerMonitorV2, PerMonitor</dpiAwareness>' \
            '>UTF-8</activeCodePage>' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' '{1f676c76-80e1-4239-95bb-83d0f6d0da78}' \
            "version=\"$project_version.0\""; do
  grep -qF -- "$want" <<<"$manifest" || missing+=" $want"
done
[ -z "$missing" ] && pass "manifest: per-monitor v2 DPI awareness, asInvoker, Windows 10 and 8.1, UTF-8" ||
  fail "manifest lacks:$missing"
mkdir -p "$WORK/icon"
wrestool -x --type=14 "$EXE" -o "$WORK/icon/exe.ico" && icotool -x -o "$WORK/icon" "$WORK/icon/exe.ico"
sizes=$(icotool -l "$WORK/icon/exe.ico" | sed -nE 's/.*--width=([0-9]+) --height=\1 --bit-depth=32.*/\1/p' | tr '\n' ' ')
hicolor=$(dirname "$NATIVE")/icons/hicolor/16x16/apps/zircon-megademo.png
if [ "$sizes" = "16 24 32 48 64 128 256 " ] &&
   "$FRAME_DIFF" "$WORK/icon/exe_1_16x16x32.png" "$hicolor" 0 0 0 > /dev/null; then
  pass "icon: sizes $sizes, the 16 x 16 one the generator's"
else
  fail "icon: sizes '$sizes'; $("$FRAME_DIFF" "$WORK/icon/exe_1_16x16x32.png" "$hicolor" 0 0 0 2>&1)"
fi

# Folders named in any script (Latin accents, CJK), started from another folder: the data
# set beside the exe, --capture, --keys with its screenshot in the working folder, and
# --record all take the names as they are, and draw what the plain folder's run draws.
wine "$EXE" --window --no-dialogs --fps 60 --start 60000 --capture "$(win "$WORK/plain-start")" --at 60000,60300 \
  --until 60400 > /dev/null 2>&1
for folder in "Zoë Ünïcødé" "デモ 作品"; do
  mkdir -p "$WORK/$folder"
  cp -r "$PACKAGE" "$WORK/$folder/"
  exe="$WORK/$folder/$(basename "$PACKAGE")/zircon-megademo.exe"
  here="$WORK/$folder/作業"
  mkdir -p "$here"
  problems=""
  (cd "$WORK/elsewhere" && wine "$exe" --check-data > "$here/check" 2>&1) || problems+=" data check: status $?;"
  (cd "$WORK/elsewhere" && wine "$exe" --window --no-dialogs --fps 60 --start 60000 --capture "$(win "$here/写真")" \
     --at 60000,60300 --until 60400 > /dev/null 2>&1)
  for name in t0060000.png t0060300.png; do
    "$FRAME_DIFF" "$here/写真/$name" "$WORK/plain-start/$name" 0 0 0 > /dev/null 2>&1 || problems+=" capture $name;"
  done
  printf '300 f12\n400 escape\n' > "$here/キー.txt"
  (cd "$here" && wine "$exe" --window --no-dialogs --fps 60 --start 60000 --keys キー.txt > /dev/null 2>&1)
  "$FRAME_DIFF" "$here/zircon-t0060300.png" "$WORK/plain-start/t0060300.png" 0 0 0 > /dev/null 2>&1 ||
    problems+=" --keys screenshot;"
  (cd "$here" && WINEPATH="$(win "$STAND_IN")" wine "$exe" --record "録画 ü.mp4" --until 500 > /dev/null 2>&1)
  grep -qE '^[0-9]+ 0$' "$here/録画 ü.mp4" 2>/dev/null || problems+=" --record;"
  if [ -z "$problems" ]; then
    pass "a folder named \"$folder\": data check, capture, --keys screenshot and --record"
  else
    fail "a folder named \"$folder\":$problems $(ls "$here" | tr '\n' ' ')"
  fi
done

echo "windows: $passed passed, $failed failed"
[ $failed -eq 0 ]
