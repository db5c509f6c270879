# The Debian package: made with cpack from this build, installed into the system with
# dpkg -i, played from another folder with the installed data set, removed with dpkg -r.
# It changes the system, so it needs root (skipped otherwise) and skips when the package
# or the program is already installed, to leave such a system as it is. The trap removes
# the package whatever happens after it went in.
source "$(dirname "$0")/lib.sh"
need_display
[ "$(id -u)" -eq 0 ] || { echo "not root: skipped (installs into the system)"; exit 77; }
package=zircon-megademo

installed() { dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; }
if installed || [ -e /usr/bin/zircon-megademo ]; then
  echo "$package is already installed here: skipped"; exit 77
fi

# dpkg refuses while another package tool holds its lock; wait a little for it.
dpkg_with_retry() {
  local try
  for try in $(seq 1 30); do
    dpkg "$@" > "$WORK/dpkg.log" 2>&1 && return 0
    grep -q "lock" "$WORK/dpkg.log" || break
    sleep 2
  done
  cat "$WORK/dpkg.log"
  return 1
}

cleanup() {
  installed && dpkg_with_retry -r "$package" > /dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

build=$(pwd)
cpack -G DEB -B "$WORK/pkg" --config "$build/CPackConfig.cmake" > "$WORK/cpack.log" 2>&1 \
  || { cat "$WORK/cpack.log"; fail "cpack"; }
deb=$(ls "$WORK"/pkg/${package}_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { cat "$WORK/cpack.log"; fail "no .deb made"; }

# Dependencies: the runtime library packages the program links.
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libpng16-16 libgl1 libglu1-mesa; do
  grep -qE "(^|[ ,|])$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib"
done
dpkg-deb --contents "$deb" > "$WORK/contents"
for f in usr/bin/zircon-megademo usr/share/zircon-megademo/megadata/demusik.mp3 \
         usr/share/zircon-megademo/megadata/ting5.3ds usr/share/applications/zircon-megademo.desktop \
         usr/share/man/man6/zircon-megademo.6; do
  grep -q " \./$f\$" "$WORK/contents" || fail "not in the package: $f"
done
for n in 16 24 32 48 64 128 256; do
  f=usr/share/icons/hicolor/${n}x${n}/apps/zircon-megademo.png
  grep -q " \./$f\$" "$WORK/contents" || fail "not in the package: $f"
done

dpkg_with_retry -i "$deb" || fail "dpkg -i"
installed || fail "not installed after dpkg -i"
[ "$(command -v zircon-megademo)" = /usr/bin/zircon-megademo ] || fail "zircon-megademo is not /usr/bin/zircon-megademo on the PATH"

mkdir "$WORK/elsewhere"
cd "$WORK/elsewhere"
grep -qx "Icon=zircon-megademo" /usr/share/applications/zircon-megademo.desktop || fail "installed desktop entry: no Icon= line"
[ -s /usr/share/icons/hicolor/16x16/apps/zircon-megademo.png ] || fail "the 16 x 16 icon is not installed"
zircon-megademo --check-data > "$WORK/out" 2> "$WORK/err" || { cat "$WORK/out" "$WORK/err"; fail "--check-data of the installed data set"; }
grep -q "all 18 files are fine" "$WORK/out" || { cat "$WORK/out"; fail "--check-data: no closing line"; }
zircon-megademo --fps 60 --until 2000 --no-dialogs --stats > "$WORK/out" 2> "$WORK/err"
status=$?
[ $status -eq 0 ] || { cat "$WORK/err"; fail "installed program: exit status $status"; }
expect_near "installed: scene 1 frames" "$(frames_of 1 "$WORK/out")" 121 1
! grep -q "FATAL ERROR" "$WORK/err" || { cat "$WORK/err"; fail "installed program did not find its data"; }
cd "$build"

dpkg_with_retry -r "$package" || fail "dpkg -r"
! installed || fail "still installed after dpkg -r"
for f in /usr/bin/zircon-megademo /usr/share/zircon-megademo /usr/share/applications/zircon-megademo.desktop \
         /usr/share/man/man6/zircon-megademo.6 /usr/share/icons/hicolor/16x16/apps/zircon-megademo.png \
         /usr/share/icons/hicolor/256x256/apps/zircon-megademo.png; do
  [ ! -e "$f" ] || fail "left behind by dpkg -r: $f"
done
echo ok
