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

# Skips: each skipped test of a real ctest run by name with its own reason, whatever way it
# says it; a test that ran is not one.
mkdir -p "$work/skips"
cat > "$work/skips/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(Skips NONE)
enable_testing()
add_test(NAME own_word COMMAND sh -c "echo starting; echo 'Xorg needs root: skipped'; exit 77")
add_test(NAME prefixed COMMAND sh -c "echo 'SKIP: weston cannot start here'; exit 77")
add_test(NAME gtest_style COMMAND sh -c "printf '[ RUN      ] A.B\\nx.cpp:9: Skipped\\nno display\\n\\n[  SKIPPED ] A.B\\n'")
add_test(NAME ran COMMAND sh -c "echo 'nothing skipped'")
set_tests_properties(own_word prefixed PROPERTIES SKIP_RETURN_CODE 77)
set_tests_properties(gtest_style PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
CMAKE
(cmake -S "$work/skips" -B "$work/skips/build" && ctest --test-dir "$work/skips/build" --output-junit "$work/skips.xml") \
  > "$work/skips.log" 2>&1
check "each skipped test with its reason" '[ "$(ctest_skips "$work/skips.xml" | sort)" = "$(printf "gtest_style\tno display\nown_word\tXorg needs root\nprefixed\tweston cannot start here")" ]'
# The README's list of skips CI may take: only without root, only the reasons listed.
mkdir -p "$work/root-bin" && printf '#!/bin/sh\necho 0\n' > "$work/root-bin/id" && chmod +x "$work/root-bin/id"
check "not root: a listed reason may skip" 'PATH=$work/bin:$PATH skip_allowed "Xorg needs root"'
check "not root: a reason not listed may not" '! PATH=$work/bin:$PATH skip_allowed "weston cannot start here"'
check "root: not a reason listed for others" '! PATH=$work/root-bin:$PATH skip_allowed "Xorg needs root"'
check "root: a reason listed as also allowed as root" \
  'PATH=$work/root-bin:$PATH skip_allowed "not measured under Wine, the credits flashes played straight: disturbed"'
check "root: a reason not listed" '! PATH=$work/root-bin:$PATH skip_allowed "weston cannot start here"'

[ $failed -eq 0 ] && echo "scripts/lib.sh: all passed"
exit $failed
