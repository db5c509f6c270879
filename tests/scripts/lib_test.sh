#!/usr/bin/env bash
# shellcheck disable=SC2016,SC2317 # the checks are text that check() evaluates
# scripts/lib.sh: the version, logged steps, package installation and waiting for an X
# server, each against stand-ins where it would touch the system. One line a check.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; failed=1; fi; }

# The version: from project(... VERSION) of the top CMakeLists.txt beside scripts/.
mkdir -p "$work/tree/scripts"
cp "$here/../../scripts/lib.sh" "$work/tree/scripts/"
printf 'cmake_minimum_required(VERSION 3.16)\nproject(Other VERSION 2.31.4 LANGUAGES C)\n' > "$work/tree/CMakeLists.txt"
check "the version of project(... VERSION)" '[ "$(bash -c "source $work/tree/scripts/lib.sh; project_version")" = 2.31.4 ]'
printf 'project(Other LANGUAGES C)\n' > "$work/tree/CMakeLists.txt"
check "no version: a failure that says so" \
  '! bash -c "source $work/tree/scripts/lib.sh; project_version" 2>"$work/err" && grep -q "no project(... VERSION x.y.z)" "$work/err"'

# shellcheck source=scripts/lib.sh
source "$here/../../scripts/lib.sh"

# Steps: one line with the name in 58 columns, the result and the seconds; a failure adds
# the log's path and its end; a function runs with the caller's errexit. The seconds are
# compared as N (a loaded machine may take one).
seconds_as_n() { sed -E 's/ +[0-9]+ s( |$)/ N s\1/g'; }
halfway() { echo first; false; echo "after a failure"; }
out=$(set -e; step "a step that passes" "$work/pass.log" echo logged; step "a step that fails" "$work/fail.log" halfway; echo "not reached")
out=$(seconds_as_n <<<"$out")
check "a passing step: one line" '[ "$(sed -n 1p <<<"$out")" = "$(printf "%-58sok N s" "a step that passes")" ]'
check "its output in its log" '[ "$(cat "$work/pass.log")" = logged ]'
check "a failing step: its line, the log's end, and the caller stops" \
  '[ "$out" = "$(printf "%-58sok N s\n%-58sFAILED N s  (%s)\n    first" "a step that passes" "a step that fails" "$work/fail.log")" ]'
step "another" "$work/table.log" true >/dev/null
step "and one that fails" "$work/table.log" false >/dev/null
check "the table's rows" '[ "$(printf "%s\n" "${steps_table[@]}" | seconds_as_n)" = "$(printf "%-58s %s N s\n%-58s %s N s" another ok "and one that fails" FAILED)" ]'

# Packages: only the missing ones, one apt-get update, through sudo when not root.
mkdir -p "$work/bin"
cat > "$work/bin/dpkg-query" <<'SH'
#!/bin/sh
case $3 in present*) echo "install ok installed" ;; *) exit 1 ;; esac
SH
printf '#!/bin/sh\necho "$DEBIAN_FRONTEND apt-get $*" >> "%s/apt.log"\n' "$work" > "$work/bin/apt-get"
printf '#!/bin/sh\necho 1000\n' > "$work/bin/id"
printf '#!/bin/sh\necho sudo >> "%s/apt.log"; exec "$@"\n' "$work" > "$work/bin/sudo"
chmod +x "$work/bin/"*
check "all present: nothing run" 'PATH=$work/bin:$PATH install_packages present-a present-b >/dev/null && [ ! -e "$work/apt.log" ]'
PATH=$work/bin:$PATH install_packages present-a missing-a missing-b > "$work/install.out"
check "the missing ones: one update, one install, through sudo" '[ "$(cat "$work/apt.log")" = "sudo
noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq
sudo
noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq missing-a missing-b" ]'

# An X server's display number, or a failure once it has ended without one.
echo 7 > "$work/number"
check "the display number the server wrote" '[ "$(await_display Xtest $$ "$work/number")" = :7 ]'
sleep 0 & gone=$!
wait $gone
: > "$work/none"
check "a server that ended: a failure that says so" '! await_display Xtest $gone "$work/none" 2>"$work/err" && grep -q "Xtest did not start" "$work/err"'

[ $failed -eq 0 ] && echo "scripts/lib.sh: all passed"
exit $failed
