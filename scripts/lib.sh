# Helpers the scripts share. Sourced (`source "$(dirname "$0")/lib.sh"`); it sets no shell
# option and defines only what is below. Messages name the sourcing script.
# shellcheck shell=bash

# root: the repository.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# project_version: the x.y.z of project(... VERSION x.y.z) in the top CMakeLists.txt;
# fails when there is none.
project_version() {
  local v
  v=$(sed -n 's/^project([^)]* VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt" | head -n 1)
  [ -n "$v" ] || { echo "$(basename "$0"): no project(... VERSION x.y.z) in CMakeLists.txt" >&2; return 1; }
  echo "$v"
}

# install_packages PACKAGE...: installs those of the Debian packages not installed yet,
# after one apt-get update, as root or through sudo. Waits for another apt or dpkg run
# to end rather than fail. Does nothing when all are installed.
install_packages() {
  local p missing=() sudo=()
  for p; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "$(basename "$0"): installing ${missing[*]}"
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq "${missing[@]}"
}

# step NAME LOG COMMAND...: runs COMMAND with its output in LOG (a function keeps the
# caller's errexit), prints NAME and then, on the same line, its result and seconds, and
# on failure the end of LOG. Adds a row to steps_table. Prints to file descriptor
# ${step_fd:-1}. Returns COMMAND's status.
steps_table=()
step() {
  local name=$1 log=$2 start seconds status=0 result=ok fd=${step_fd:-1}
  shift 2
  start=$(date +%s)
  printf '%-58s' "$name" >&"$fd"
  # In the background so that errexit holds inside a function; Ctrl-C still reaches it.
  (trap - INT QUIT; "$@") >"$log" 2>&1 &
  wait $! || status=$?
  seconds=$(($(date +%s) - start))
  if [ $status -eq 0 ]; then
    printf 'ok      %4d s\n' "$seconds" >&"$fd"
  else
    result=FAILED
    printf 'FAILED  %4d s  (%s)\n' "$seconds" "$log" >&"$fd"
    tail -n 40 "$log" | sed 's/^/    /' >&"$fd"
  fi
  steps_table+=("$(printf '%-58s %-7s %5d s' "$name" "$result" "$seconds")")
  return $status
}

# ctest_skips JUNIT: one line "NAME<tab>REASON" for each test that a ctest run (its
# --output-junit file) skipped. The reason is the test's own: a line "SKIP: REASON" or
# "REASON: skipped" of its output, gtest's message after "Skipped", else its last line.
ctest_skips() {
  python3 - "$1" <<'PY'
import re, sys
import xml.etree.ElementTree as ET
for case in ET.parse(sys.argv[1]).getroot().iter("testcase"):
    if case.get("status") != "notrun" or case.find("skipped") is None:
        continue
    lines = [l.strip() for l in (case.findtext("system-out") or "").splitlines() if l.strip()]
    reason = ""
    for i, line in enumerate(lines):
        m = re.match(r"SKIP: (.+)", line) or re.match(r"(.+?):? skipped$", line)
        if m:
            reason = m.group(1)
        elif line.endswith(": Skipped") and i + 1 < len(lines):
            reason = lines[i + 1]
    print(f"{case.get('name')}\t{reason or (lines[-1] if lines else 'no reason given')}")
PY
}

# skip_allowed REASON: true when REASON holds one of the reasons that README.md lists as
# skips CI may take (the lines "- `REASON`: why" between its "skips CI may take" marks).
# As root only those marked "(also as root)" are: every other test can run there.
skip_allowed() {
  local allowed line as_root
  [ "$(id -u)" -eq 0 ] && as_root=yes
  while IFS= read -r line; do
    [ -n "${as_root:-}" ] && [[ $line != *"(also as root)"* ]] && continue
    allowed=$(sed -n 's/^- `\([^`]*\)`.*/\1/p' <<<"$line")
    [ -n "$allowed" ] && [[ $1 == *"$allowed"* ]] && return 0
  done < <(sed -n '/<!-- skips CI may take -->/,/<!-- end of skips -->/p' "$root/README.md")
  return 1
}

# native_build [TARGET...]: configures build/ (RelWithDebInfo, quietly) and builds the
# targets, or everything; JOBS sets the parallelism (default: all cores).
native_build() {
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$root/build" -j "${JOBS:-$(nproc)}" "${targets[@]}"
}

# await_display SERVER PID FILE: waits for the X server PID to write its display number
# to FILE (-displayfd) and prints ":N"; fails, saying so, when it ends or gives none.
await_display() {
  local _
  for _ in $(seq 1 200); do
    [ -s "$3" ] && break
    kill -0 "$2" 2>/dev/null || { echo "$(basename "$0"): $1 did not start" >&2; return 1; }
    sleep 0.05
  done
  [ -s "$3" ] || { echo "$(basename "$0"): $1 gave no display number" >&2; return 1; }
  echo ":$(head -n 1 "$3")"
}

# wine_prefix: Wine's settings for the Windows build: its prefix build-windows/wineprefix,
# no debug output, no Mono or Gecko prompts.
wine_prefix() {
  export WINEPREFIX=$root/build-windows/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# page_tools: Chromium and puppeteer-core (in build-web/check/) for the page's checks;
# sets NODE_PATH to find the latter.
# fetch_page_tools: puppeteer-core into build-web/check, made whole in a folder of its own
# and moved in at the end, so that it can run beside a build and page_tools after it never
# finds half of it.
fetch_page_tools() {
  [ -d "$root/build-web/check/node_modules/puppeteer-core" ] && return 0
  local fetch=$root/build-web/check-fetch
  rm -rf "$fetch" && mkdir -p "$fetch" "$root/build-web/check" &&
    (cd "$fetch" && npm install --no-audit --no-fund puppeteer-core@22) &&
    rm -rf "$root/build-web/check/node_modules" && mv "$fetch/node_modules" "$root/build-web/check/" &&
    rm -rf "$fetch"
}

page_tools() {
  install_packages chromium || return 1
  fetch_page_tools || return 1
  export NODE_PATH=$root/build-web/check/node_modules
}

# serve_page PORT: serves build-web/ on 127.0.0.1:PORT until the script ends.
serve_page() {
  (cd "$root/build-web" && exec python3 -m http.server "$1" --bind 127.0.0.1 >/dev/null 2>&1) &
  page_server=$!
  trap 'kill $page_server 2>/dev/null' EXIT
  sleep 1
}
