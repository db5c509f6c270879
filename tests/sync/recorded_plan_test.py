#!/usr/bin/python3
"""The plan found in a recording whose stretches are known: a pause, a seek, a resume elsewhere."""
import os
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import recorded_plan  # noqa: E402
from recorded_plan import RATE  # noqa: E402

REC_START = 12.5    # the recording clock at its first sample, seconds


def song(seconds=20):
    """A reference song: a two-second bar of noise played again and again with a tenth of
    new noise each time (a loop and its variations), loud on each beat (120 a minute) and
    quiet between, through a gentle low-pass, at 16-bit levels."""
    rng = np.random.default_rng(7)
    bar = 2 * RATE
    loop = np.tile(rng.standard_normal(bar), seconds // 2) + 0.3 * rng.standard_normal(seconds * RATE)
    noise = np.convolve(loop, np.ones(8) / 8, mode="same")
    beat = np.arange(seconds * RATE) % (RATE // 2) / (RATE // 2)
    return (noise * (0.15 + np.exp(-6 * beat)) * 9000).astype(np.float32)


def recording(reference, pieces):
    """Pieces of (song ms, length ms) or (None, silent ms) played one after another, at 0.7
    of the reference's level with noise (an encoder's and a sound server's) beside it."""
    out = []
    for song_ms, length_ms in pieces:
        n = round(length_ms * RATE / 1000)
        if song_ms is None:
            out.append(np.zeros(n, dtype=np.float32))
        else:
            at = round(song_ms * RATE / 1000)
            out.append(0.7 * reference[at: at + n])
    played = np.concatenate(out)
    played += np.random.default_rng(3).standard_normal(len(played)).astype(np.float32) * 150 * (played != 0)
    return played


class PlanTest(unittest.TestCase):
    def assertPlan(self, plan, want):
        self.assertEqual(len(plan), len(want), plan)
        for got, (rec_s, song_ms, length_ms) in zip(plan, want):
            self.assertAlmostEqual(got.rec_s, REC_START + rec_s, delta=0.002, msg=plan)
            self.assertAlmostEqual(got.song_ms, song_ms, delta=2, msg=plan)
            self.assertAlmostEqual(got.length_ms, length_ms, delta=4, msg=plan)

    def test_a_pause_and_a_seek(self):
        # Silence 0.513 s; song 3000 for 2.031 s; held 1.227 s; on from 5031 for 1.811 s; a
        # seek (no silence) to 12000 for 2.2 s; silence. The edges fall inside the blocks
        # matched, as they do in a recording.
        reference = song()
        recorded = recording(reference, [(None, 513), (3000, 2031), (None, 1227), (5031, 1811), (12000, 2200),
                                         (None, 700)])
        plan = recorded_plan.find_plan(recorded, REC_START, reference, 3000)
        self.assertPlan(plan, [(0.513, 3000, 2031), (3.771, 5031, 1811), (5.582, 12000, 2200)])
        held, jumped = zip(*recorded_plan.joins(plan))
        self.assertAlmostEqual(held[0], 1227, delta=4)
        self.assertAlmostEqual(jumped[0], 0, delta=3)
        self.assertAlmostEqual(held[1], 0, delta=4)
        self.assertAlmostEqual(jumped[1], 12000 - 6842, delta=3)

    def test_a_resume_elsewhere_a_silence_played_through_and_a_stream_run_dry(self):
        # Resumed 150 ms of song after where it was paused: a jump of +150 ms. A silence of
        # 300 ms while the song went on (its sound lost, not held) is no stretch of its own.
        # A gap of 40 ms that held the song (a stream that ran dry) is one, which the
        # stretches to look for events in leave joined.
        reference = song()
        recorded = recording(reference, [(6000, 1517), (None, 1009), (7667, 1500), (None, 300), (9467, 1000),
                                         (None, 40), (10467, 800)])
        plan = recorded_plan.find_plan(recorded, REC_START, reference, 6000)
        self.assertPlan(plan, [(0, 6000, 1517), (2.526, 7667, 2800), (5.366, 10467, 800)])
        self.assertAlmostEqual(recorded_plan.joins(plan)[0][1], 150, delta=3)
        self.assertAlmostEqual(recorded_plan.joins(plan)[1][0], 40, delta=3)
        self.assertPlan(recorded_plan.steady(plan, 400), [(0, 6000, 1517), (2.526, 7667, 3600)])
    def test_a_hold_that_dropped_sound_where_steady_play_meets_a_like_bar(self):
        # Held 2.4 s, then on 400 ms further (a browser that drops the sound it had taken):
        # steady play would put the song a whole bar on, where the loop plays again.
        reference = song()
        recorded = recording(reference, [(3000, 1513), (None, 2400), (4913, 2000)])
        plan = recorded_plan.find_plan(recorded, REC_START, reference, 3000)
        self.assertPlan(plan, [(0, 3000, 1513), (3.913, 4913, 2000)])
        self.assertAlmostEqual(recorded_plan.joins(plan)[0][1], 400, delta=3)


if __name__ == "__main__":
    unittest.main()
