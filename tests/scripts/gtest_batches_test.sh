#!/usr/bin/env bash
# scripts/gtest-batches against a stand-in test binary that answers gtest's filter and XML
# report options: cases that pass, fail, skip, a process that dies halfway and one that
# fails at exit after its cases passed, and a case ctest runs without a filter. One line a
# check.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$here/../..
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; failed=1; fi; }

# The stand-in: each case's name says what it does; each start is logged in starts.
cat > "$work/fake-gtest" <<'PY'
#!/usr/bin/env python3
import os, sys
args = dict(a.split("=", 1) for a in sys.argv[1:] if "=" in a)
names = args["--gtest_filter"].split(":")
with open(os.path.join(os.path.dirname(__file__), "starts"), "a") as log:
    log.write(f"{os.path.basename(sys.argv[0])} {os.getcwd()} {os.environ.get('FAKE_ENV', '')} {len(names)}\n")
cases = []
for name in names:
    suite, case = name.split(".", 1)
    if suite == "Dies":   # its report cut off where the process died
        open(args["--gtest_output"][len("xml:"):], "w").write("<testsuites><testsu")
        sys.exit(134)
    body = {"Fails": '<failure message="expected 1"/>', "Skips": '<skipped message="no display here"/>'}.get(suite, "")
    result = "skipped" if suite == "Skips" else "completed"
    cases.append(f'<testcase name="{case}" classname="{suite}" status="run" result="{result}">{body}</testcase>')
with open(args["--gtest_output"][len("xml:"):], "w") as report:
    report.write("<testsuites><testsuite>" + "".join(cases) + "</testsuite></testsuites>")
sys.exit(1 if any(n.startswith("Fails.") for n in names) or os.path.basename(sys.argv[0]) == "leaky" else 0)
PY
chmod +x "$work/fake-gtest"
cp "$work/fake-gtest" "$work/dying"
cp "$work/fake-gtest" "$work/leaky"
mkdir -p "$work/tests/cwd"
{
  for name in Passes.One Passes.Two Fails.Three Skips.Four "Passes/Typed.Five/0"; do
    echo "add_test([=[$name]=] $work/fake-gtest [==[--gtest_filter=$name]==] --gtest_also_run_disabled_tests)"
    echo "set_tests_properties([=[$name]=] PROPERTIES WORKING_DIRECTORY $work/tests/cwd ENVIRONMENT FAKE_ENV=given LABELS unit)"
  done
  for name in Passes.BeforeDeath Dies.Here Passes.AfterDeath; do
    echo "add_test([=[$name]=] $work/dying [==[--gtest_filter=$name]==])"
    echo "set_tests_properties([=[$name]=] PROPERTIES LABELS unit)"
  done
  echo "add_test([=[Passes.ButLeaks]=] $work/leaky [==[--gtest_filter=Passes.ButLeaks]==])"
  echo "set_tests_properties([=[Passes.ButLeaks]=] PROPERTIES LABELS unit)"
  echo "add_test(a_script sh -c \"exit 0\")"
  echo "set_tests_properties(a_script PROPERTIES LABELS \"unit;script\")"
  echo "add_test(other_tier sh -c \"exit 1\")"
  echo "set_tests_properties(other_tier PROPERTIES LABELS frames)"
} > "$work/tests/CTestTestfile.cmake"

out=$("$root/scripts/gtest-batches" --test-dir "$work/tests" --junit "$work/junit.xml" -L '^unit$' 2>&1)
status=$?
check "a failure fails the run" '[ $status -eq 1 ]'
check "ctest's summary line, over the selected cases only" \
  'grep -qx "50% tests passed, 5 tests failed out of 10" <<<"$out"'
check "one process a binary, the script alone" '[ "$(wc -l < "$work/starts")" -eq 3 ] && grep -q "^fake-gtest .* 5$" "$work/starts" &&
  grep -q "^dying .* 3$" "$work/starts" && grep -q "^leaky .* 1$" "$work/starts"'
check "in the case's working directory, with its environment" \
  'grep -qx "fake-gtest $work/tests/cwd given 5" "$work/starts"'
verdicts=$(python3 -c '
import sys, xml.etree.ElementTree as ET
for c in ET.parse(sys.argv[1]).getroot().iter("testcase"): print(c.get("name"), c.get("status"))' "$work/junit.xml" | sort)
check "each case judged from the report" '[ "$verdicts" = "$(printf "%s\n" "Dies.Here fail" "Fails.Three fail" \
  "Passes.AfterDeath fail" "Passes.BeforeDeath fail" "Passes.ButLeaks fail" "Passes.One run" "Passes.Two run" \
  "Passes/Typed.Five/0 run" "Skips.Four notrun" "a_script run" | sort)" ]' || echo "$verdicts"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"
check "a skip with gtest's message as its reason, as scripts/test reads it" \
  '[ "$(ctest_skips "$work/junit.xml")" = "$(printf "Skips.Four\tno display here")" ]'
check "a process that died fails the cases it did not report" \
  'grep -q "FAILED: Passes.AfterDeath: no result: the process ended before this case" <<<"$out"'
check "an error at exit after every case passed fails the last case" \
  'grep -q "FAILED: Passes.ButLeaks: the process exited with status 1 after its cases" <<<"$out"'

printf 'add_test(nothing sh -c "exit 0")\nset_tests_properties(nothing PROPERTIES LABELS frames)\n' > "$work/tests/CTestTestfile.cmake"
"$root/scripts/gtest-batches" --test-dir "$work/tests" --junit "$work/junit.xml" -L '^unit$' > "$work/none" 2>&1
check "no case selected is a failure, not a pass" '[ $? -eq 1 ] && grep -qx "100% tests passed, 0 tests failed out of 0" "$work/none"'
exit $failed
