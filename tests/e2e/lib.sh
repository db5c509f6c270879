# Shared by the end-to-end scripts: $1 is the program; the working directory is the build
# folder. A script exits 77 (skipped) without a display.
set -uo pipefail
DEMO=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

need_display() {
  if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
}

fail() { echo "FAIL: $*"; exit 1; }

# For cases run on an Xorg server of the test's own (scripts/xorg-run-here): skips without
# root, and exports DEMO, DATA (the build folder's megadata), WORK and ROOT (the repository)
# to the script of cases.
need_xorg() {
  [ "$(id -u)" -eq 0 ] || { echo "Xorg needs root: skipped"; exit 77; }
  command -v Xorg >/dev/null && command -v xrandr >/dev/null || fail "Xorg or xrandr missing"
  ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  DATA=$PWD/megadata
  export DEMO DATA WORK ROOT
}

# frames_of SCENE STATSFILE: frames drawn by a scene in a --stats report.
frames_of() { awk -v s="$1" '$1 == s && $3 ~ /\.\./ { print $2 }' "$2"; }
# last_time_of SCENE STATSFILE: the last DemoTime a scene drew.
last_time_of() { awk -v s="$1" '$1 == s && $3 ~ /\.\./ { split($3, t, /\.\./); print t[2] }' "$2"; }

# expect_near NAME ACTUAL EXPECTED TOLERANCE
expect_near() {
  local d=$(( $2 - $3 )); d=${d#-}
  [ "$d" -le "$4" ] || fail "$1: $2, expected $3 ± $4"
}
