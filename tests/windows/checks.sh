# Shared by the Wine checks: a scratch folder, and one line a check, counted.
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export WINEDEBUG=-all
passed=0 failed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
# sync_within SUMMARY CUES MEDIAN_MS WORST_MS: true when measure-sync's summary line
# ("sync: events N, found M, median_ms X, worst_ms Y, drift_ms Z") found all of at least
# CUES events, with |X| <= MEDIAN_MS and |Y| <= WORST_MS (Y is the offset farthest from 0).
sync_within() {
  awk -v cues="$2" -v median="$3" -v worst="$4" '
    /^sync: / {
      for (i = 2; i < NF; i += 2) { key = $i; value = $(i + 1); sub(/,$/, "", value); v[key] = value }
      if (v["events"] < cues || v["found"] != v["events"] || v["median_ms"] == "") exit 1
      m = v["median_ms"] + 0; w = v["worst_ms"] + 0
      ok = (m < 0 ? -m : m) <= median && (w < 0 ? -w : w) <= worst
      exit !ok
    }
    END { if (!NR || !("events" in v)) exit 1 }' <<<"$1"
}
