# cmake --install into a temporary prefix; the installed program plays the end of the
# demo from another working directory with the installed data set, and --data points
# it at a folder of its own.
source "$(dirname "$0")/lib.sh"
need_display
build=$(pwd)
cmake --install "$build" --prefix "$WORK/prefix" > "$WORK/install.log" || { cat "$WORK/install.log"; fail "install"; }
for f in bin/zircon-megademo share/zircon-megademo/megadata/demusik.mp3 share/zircon-megademo/megadata/ting5.3ds \
         share/zircon-megademo/megadata/icon.png share/applications/zircon-megademo.desktop \
         share/man/man6/zircon-megademo.6; do
  [ -e "$WORK/prefix/$f" ] || fail "not installed: $f"
done
# The desktop entry names its icon, installed in the icon theme at every size.
grep -qx "Icon=zircon-megademo" "$WORK/prefix/share/applications/zircon-megademo.desktop" || fail "no Icon= line"
for n in 16 24 32 48 64 128 256; do
  f=share/icons/hicolor/${n}x${n}/apps/zircon-megademo.png
  [ -s "$WORK/prefix/$f" ] || fail "not installed: $f"
  [ "$(od -An -tx1 -j16 -N8 "$WORK/prefix/$f" | tr -d ' \n')" = "$(printf '%08x%08x' $n $n)" ] || fail "$f is not $n x $n"
done
mkdir "$WORK/elsewhere"
cd "$WORK/elsewhere"
"$WORK/prefix/bin/zircon-megademo" --fps 60 --start 93000 --no-dialogs --stats > "$WORK/out" 2> "$WORK/err"
status=$?
[ $status -eq 0 ] || { cat "$WORK/err"; fail "installed program: exit status $status"; }
expect_near "installed: scene 6 frames" "$(frames_of 6 "$WORK/out")" 60 1
! grep -q "FATAL ERROR" "$WORK/err" || fail "installed program did not find its data"

# --data names another folder; without the data set there it ends naming the file.
cp -r "$WORK/prefix/share/zircon-megademo/megadata" "$WORK/mydata"
"$WORK/prefix/bin/zircon-megademo" --data "$WORK/mydata" --fps 60 --start 93900 --no-dialogs --stats > "$WORK/out" 2> "$WORK/err" \
  || { cat "$WORK/err"; fail "--data with a full copy"; }
rm "$WORK/mydata/envmap.png"
"$WORK/prefix/bin/zircon-megademo" --data "$WORK/mydata" --fps 60 --start 93900 --no-dialogs > "$WORK/out" 2> "$WORK/err"
status=$?
[ $status -eq 1 ] || fail "--data without envmap.png: exit status $status"
grep -q "Can't load image megadata\\\\envmap.png" "$WORK/err" || { cat "$WORK/err"; fail "no message naming the missing file"; }
echo ok
