#!/usr/bin/python3
"""The verdict on one recorded run, from measure_sync.py's figures.

A run is judged on what was recorded outside the program. The recording holds the demo's
sound and, beside it, a control stream: the soundtrack played by the sound server's own
client with the demo's buffer. A gap in the demo's sound in a run whose control ran dry too
is the machine's (it starved both players); a gap in the demo's sound alone is the
program's.

    in step      every event found, |median| <= the median bound, every |offset| <= the
                 worst bound (events a disturbance touched are left out of the figures; a
                 median needs two events left, else the run counts as disturbed)
    out of step  an undisturbed event missed or outside the bounds: a real offset fails
                 whether or not the run also had gaps elsewhere
    disturbed    no undisturbed event out of step, but an event that a machine gap or a
                 starved grabber touched could not be judged: not measured, play again
A stretch played again is judged on its runs together when its last run is disturbed: the
earlier disturbed runs' undisturbed events count with the last run's (the same program
played the same stretch), and the stretch is in step once every event was judged in one of
them and all of those offsets together are within the bounds.
    failed       the program failed: it exited with an error, or its sound ran dry on its own

    verdict.py --summary [EARLIER.json ...] LAST.json --events N --median-ms M --worst-ms W
prints "verdict: WORD: reason" and exits 0 in step, 1 out of step, 2 disturbed, 3 failed.
"""
import argparse
import json
import statistics
import sys

IN_STEP, OUT_OF_STEP, DISTURBED, FAILED = "in step", "out of step", "disturbed", "failed"
EXIT_CODES = {IN_STEP: 0, OUT_OF_STEP: 1, DISTURBED: 2, FAILED: 3}


def disturbed_event(event):
    """True when something outside the program kept this event from being measured."""
    return bool(event.get("unmeasured") or event.get("machine_gap"))


def judge(figures, want_events, median_bound, worst_bound):
    """(verdict, reason) for one run's figures ({"summary": ..., "events": [...]})."""
    s, events = figures["summary"], figures["events"]
    status = s.get("command_status", 0)
    if status != 0:
        return FAILED, f"the program ended with status {status}"
    if s.get("own_dropouts", 0) > 0:
        return FAILED, f"the program's sound ran dry {s['own_dropouts']} times while the control stream's did not"
    if len(events) != want_events:
        return OUT_OF_STEP, f"{len(events)} events in the stretch, {want_events} expected"
    judged = [e for e in events if not disturbed_event(e)]
    missed = [e["music_ms"] for e in judged if not e["found"]]
    if missed:
        return OUT_OF_STEP, "not found: " + ", ".join(f"{m} ms" for m in missed)
    offsets = [e["offset_ms"] for e in judged]
    far = [o for o in offsets if abs(o) > worst_bound]
    if far:
        return OUT_OF_STEP, f"offsets beyond +-{worst_bound:g} ms: " + ", ".join(f"{o:+.1f}" for o in far)
    left = len(events) - len(judged)
    # A median is of two events or more: one left alone by disturbances is judged by the
    # bound of every event only, and the run is played again for its median.
    if (len(offsets) >= 2 or not left) and offsets and abs(statistics.median(offsets)) > median_bound:
        return OUT_OF_STEP, f"median {statistics.median(offsets):+.1f} ms beyond +-{median_bound:g} ms"
    if left:
        return DISTURBED, f"{left} of {len(events)} events touched by a machine gap or a starved grabber"
    return IN_STEP, f"median {statistics.median(offsets):+.1f} ms, worst {max(offsets, key=abs):+.1f} ms"


def judge_stretch(runs, want_events, median_bound, worst_bound):
    """(verdict, reason) for the runs of one stretch, the last run last, pooled as the
    module's text says."""
    word, reason = judge(runs[-1], want_events, median_bound, worst_bound)
    pool = [r for r in runs[:-1] if judge(r, want_events, median_bound, worst_bound)[0] == DISTURBED]
    if word != DISTURBED or not pool:
        return word, reason
    pool.append(runs[-1])
    judged = [[r["events"][i] for r in pool if not disturbed_event(r["events"][i])] for i in range(want_events)]
    unjudged = [runs[-1]["events"][i]["music_ms"] for i, js in enumerate(judged) if not js]
    if unjudged:
        return DISTURBED, f"{reason}; in none of {len(pool)} runs: " + ", ".join(f"{m} ms" for m in unjudged)
    offsets = [e["offset_ms"] for js in judged for e in js]
    median = statistics.median(offsets)
    if abs(median) > median_bound:
        return OUT_OF_STEP, f"median {median:+.1f} ms beyond +-{median_bound:g} ms over {len(pool)} runs"
    return IN_STEP, (f"every event judged in one of {len(pool)} runs: median {median:+.1f} ms, "
                     f"worst {max(offsets, key=abs):+.1f} ms")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--summary", required=True, nargs="+",
                    help="measure_sync.py's --json output of each run of the stretch, the last run last")
    ap.add_argument("--events", type=int, required=True, help="events the stretch holds")
    ap.add_argument("--median-ms", type=float, required=True)
    ap.add_argument("--worst-ms", type=float, required=True)
    args = ap.parse_args()
    try:
        runs = [json.load(open(path)) for path in args.summary]
    except (OSError, ValueError) as e:
        print(f"verdict: {FAILED}: no figures ({e})")
        return EXIT_CODES[FAILED]
    word, reason = judge_stretch(runs, args.events, args.median_ms, args.worst_ms)
    print(f"verdict: {word}: {reason}")
    return EXIT_CODES[word]


if __name__ == "__main__":
    sys.exit(main())
