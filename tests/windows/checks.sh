# Shared by the Wine checks: a scratch folder, and one line a check, counted.
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export WINEDEBUG=-all
passed=0 failed=0 skipped=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
# skip NAME: REASON: a check that could not be made; shown and counted, never a pass.
skip() { echo "SKIP: $*"; skipped=$((skipped + 1)); }
