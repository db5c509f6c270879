#!/usr/bin/python3
"""The verdict rules as a table: each row a run's figures and the verdict it must get."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from verdict import DISTURBED, FAILED, IN_STEP, OUT_OF_STEP, judge, judge_stretch  # noqa: E402


def ev(offset=None, **extra):
    e = {"music_ms": 45038, "found": offset is not None}
    if offset is not None:
        e["offset_ms"] = offset
    e.update(extra)
    return e


def run(events, **summary):
    return {"summary": summary, "events": events}


MACHINE_GAP = {"machine_gap": True}
STARVED_GRABBER = {"unmeasured": True, "grab_gap_ms": 12.0}

TABLE = [
    ("all within bounds", run([ev(-9.0), ev(-9.9), ev(16.9)]), IN_STEP),
    ("median beyond +10", run([ev(10.5), ev(10.1), ev(12.0)]), OUT_OF_STEP),
    ("median beyond -10", run([ev(-10.5), ev(-10.1), ev(-12.0)]), OUT_OF_STEP),
    ("one event beyond -17 keeps its sign", run([ev(1.0), ev(2.0), ev(-17.2)]), OUT_OF_STEP),
    ("one event beyond +17", run([ev(1.0), ev(2.0), ev(17.2)]), OUT_OF_STEP),
    ("a flash missing", run([ev(1.0), ev(), ev(2.0)]), OUT_OF_STEP),
    ("too few events in the stretch", run([ev(1.0), ev(2.0)]), OUT_OF_STEP),
    ("the program exited with an error", run([ev(1.0), ev(2.0), ev(3.0)], command_status=1), FAILED),
    ("the program's sound ran dry alone",
     run([ev(1.0), ev(2.0), ev(3.0)], own_dropouts=2, machine_dropouts=0), FAILED),
    ("machine gaps where an event was", run([ev(1.0), ev(None, **MACHINE_GAP), ev(3.0)], machine_dropouts=3),
     DISTURBED),
    ("a starved grabber at an event", run([ev(1.0), ev(40.0, **STARVED_GRABBER), ev(3.0)]), DISTURBED),
    ("a real offset with machine gaps elsewhere fails",
     run([ev(30.0), ev(31.0, **MACHINE_GAP), ev(29.0)], machine_dropouts=1), OUT_OF_STEP),
    ("machine gaps away from the events", run([ev(1.0), ev(2.0), ev(3.0)], machine_dropouts=4), IN_STEP),
    ("one event left is no median", run([ev(12.0), ev(None, **MACHINE_GAP), ev(None, **MACHINE_GAP)]), DISTURBED),
    ("one event left beyond the worst bound", run([ev(-18.0), ev(None, **MACHINE_GAP), ev(None, **MACHINE_GAP)]),
     OUT_OF_STEP),
]


GAP = dict(found=False, **MACHINE_GAP)


def stretch(*offsets):
    """A run of the three flashes at 45, 48 and 51 s; None: a machine gap touched it."""
    return run([ev(o, music_ms=45038 + 3000 * i) if o is not None else dict(music_ms=45038 + 3000 * i, **GAP)
                for i, o in enumerate(offsets)], machine_dropouts=1)


# Runs of one stretch, the last run last, pooled when the last is disturbed.
STRETCHES = [
    ("each event judged in one of two runs", [stretch(2.0, None, None), stretch(None, 3.0, -4.0)], IN_STEP),
    ("an event judged in no run", [stretch(2.0, None, None), stretch(None, 3.0, None)], DISTURBED),
    ("pooled median beyond -10", [stretch(-11.0, None, None), stretch(None, -12.0, -9.0)], OUT_OF_STEP),
    ("an out-of-step run is not pooled", [stretch(2.0, 30.0, 30.0), stretch(None, 3.0, -4.0)], DISTURBED),
    ("a last run in step needs no pool", [stretch(None, None, None), stretch(1.0, 2.0, 3.0)], IN_STEP),
    ("a failed last run fails", [stretch(2.0, None, None), dict(stretch(1.0, 2.0, 3.0), summary={"command_status": 1})],
     FAILED),
]


class VerdictTable(unittest.TestCase):
    def test_table(self):
        for name, figures, want in TABLE:
            with self.subTest(name):
                word, reason = judge(figures, 3, 10, 17)
                self.assertEqual(word, want, reason)

    def test_stretches(self):
        for name, runs, want in STRETCHES:
            with self.subTest(name):
                word, reason = judge_stretch(runs, 3, 10, 17)
                self.assertEqual(word, want, reason)


if __name__ == "__main__":
    unittest.main()
