#!/usr/bin/python3
"""The split of an offset with the page's account: signs, a pause outvoted, no account."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import page_account  # noqa: E402

EPOCH = 1_800_000_000


def account(start_wall_ms, start_music_ms, length_ms, pause_at_ms=None, pause_ms=0):
    """Samples every 20 ms of music playing from start_music_ms, held pause_ms at pause_at_ms."""
    heard, wall, music = [], start_wall_ms, start_music_ms
    while music < start_music_ms + length_ms:
        heard.append([wall, music])
        if pause_at_ms is not None and music == pause_at_ms:
            wall += pause_ms
        wall, music = wall + 20, music + 20
    return heard


def figures(music_ms, heard_s, offset_ms):
    return {"summary": {"events": 1, "found": 1},
            "events": [{"music_ms": music_ms, "found": True, "heard_s": heard_s, "offset_ms": offset_ms},
                       {"music_ms": music_ms + 3000, "found": False}]}


class SplitTest(unittest.TestCase):
    def test_sound_late_against_the_report_and_the_picture_against_it(self):
        # The page took music 1000 to be heard at wall 5000 s + 1000 ms; the recording heard
        # it 30 ms later and saw the flash 10 ms before it: the picture is 20 ms after the report.
        heard = account((EPOCH + 5000) * 1000, 0, 2000)
        result = page_account.split(figures(1000, 5001.030, -10.0), EPOCH, heard)
        event = result["events"][0]
        self.assertEqual((event["report_ms"], event["picture_ms"]), (30.0, 20.0))
        self.assertEqual(result["summary"]["accounted"], 1)
        self.assertEqual((result["summary"]["report_worst_ms"], result["summary"]["picture_median_ms"]), (30.0, 20.0))
        self.assertNotIn("report_ms", result["events"][1])

    def test_a_pause_among_the_samples_is_outvoted(self):
        heard = account((EPOCH + 5000) * 1000, 0, 2000, pause_at_ms=1200, pause_ms=1500)
        result = page_account.split(figures(1000, 5001.000, 0.0), EPOCH, heard)
        self.assertEqual(result["events"][0]["report_ms"], 0.0)

    def test_no_account_near_the_cue_leaves_the_event_unsplit(self):
        heard = account((EPOCH + 5000) * 1000, 0, 400)
        result = page_account.split(figures(1000, 5001.000, 0.0), EPOCH, heard)
        self.assertNotIn("report_ms", result["events"][0])
        self.assertEqual(result["summary"]["accounted"], 0)
        self.assertNotIn("picture_median_ms", result["summary"])


if __name__ == "__main__":
    unittest.main()
