# The window carries the data set's icon.png as its icon (_NET_WM_ICON, 64 × 64, clear
# corners, an opaque middle); without the file, or with it cut short, the window has
# none and the demo plays on without a box.
source "$(dirname "$0")/lib.sh"
need_display
for tool in xdotool xprop; do command -v $tool >/dev/null || fail "$tool missing"; done

# play_and_read_icon DATADIR: plays a little with that data folder and prints the
# window's icon property as 32-bit numbers ("not found" when it has none).
play_and_read_icon() {
  # Paced to 60 frames a second, so the window outlives the look at it (4 s).
  "$DEMO" --data "$1" --window --fps 60 --max-fps 60 --until 4000 --no-dialogs > "$WORK/out" 2> "$WORK/err" &
  local pid=$! window
  window=$(timeout 20 xdotool search --sync --name "Zircon megademo" | head -n 1)
  [ -n "$window" ] || { kill $pid; fail "no window appeared"; }
  sleep 0.5   # the icon is set just after the window is made
  xprop -id "$window" -notype 32c _NET_WM_ICON > "$WORK/icon" 2>&1
  wait $pid || { cat "$WORK/err"; fail "exit status $? with $1"; }
  ! grep -qE "Error|FATAL" "$WORK/err" || { cat "$WORK/err"; fail "a box with $1"; }
}

play_and_read_icon "$PWD/megadata"
values=$(sed 's/^_NET_WM_ICON = //; s/,//g' "$WORK/icon")
read -r -a icon <<<"$values"
[ "${icon[0]:-}" = 64 ] && [ "${icon[1]:-}" = 64 ] || { head -c 200 "$WORK/icon"; fail "no 64 x 64 icon"; }
[ ${#icon[@]} -eq $((2 + 64 * 64)) ] || fail "icon holds ${#icon[@]} numbers"
[ "${icon[2]}" -eq 0 ] || fail "the top-left corner is not clear: ${icon[2]}"
middle=${icon[$((2 + 32 * 64 + 32))]}
[ $(( middle >> 24 )) -eq 255 ] || fail "the middle is not opaque: $middle"
# Every pixel's colour and alpha as icon.png holds them, decoded by ffmpeg, not the program
# (the property's numbers are 0xAARRGGBB).
ffmpeg -loglevel error -i megadata/icon.png -f rawvideo -pix_fmt rgba - | od -An -v -tu1 |
  awk '{ for (i = 1; i <= NF; i++) v[n++] = $i }
       END { for (p = 0; p < n; p += 4) printf "%.0f\n", v[p + 3] * 16777216 + v[p] * 65536 + v[p + 1] * 256 + v[p + 2] }' \
  > "$WORK/expected"
printf '%s\n' "${icon[@]:2}" > "$WORK/shown"
[ "$(wc -l < "$WORK/expected")" -eq $((64 * 64)) ] || fail "icon.png did not decode to 64 x 64 pixels"
differ=$(paste "$WORK/expected" "$WORK/shown" | awk '$1 != $2 { n++ } END { print n + 0 }')
[ "$differ" -eq 0 ] || fail "$differ of the icon's 4096 pixels differ from icon.png: $(paste "$WORK/expected" "$WORK/shown" | awk '$1 != $2 { printf "%08x shown as %08x; ", $1, $2; if (++n == 3) exit }')"

mkdir "$WORK/set"
for f in megadata/*; do [ "$(basename "$f")" = icon.png ] || ln -s "$PWD/$f" "$WORK/set/"; done
play_and_read_icon "$WORK/set"
grep -q "not found" "$WORK/icon" || fail "an icon without icon.png"
head -c 300 megadata/icon.png > "$WORK/set/icon.png"
play_and_read_icon "$WORK/set"
grep -q "not found" "$WORK/icon" || fail "an icon from a damaged icon.png"
echo ok
