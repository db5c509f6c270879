#!/usr/bin/python3
"""focus_hold.py on recordings made up here, whose answers are known: a soundtrack of noise,
a recording of it that stops for 2 s and comes back (where it stopped, or 200 ms on), with
gaps where the stream ran dry near both edges, and grey frames that hold or not."""
import os
import subprocess
import sys
import tempfile
import unittest
import wave

import numpy as np

RATE = 44100
HERE = os.path.dirname(os.path.abspath(__file__))
START_MS = 23000


def write_reference(folder, song):
    with wave.open(os.path.join(folder, "soundtrack.wav"), "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(np.repeat(song[:, None], 2, axis=1).astype("<i2").tobytes())
    open(os.path.join(folder, "beats.txt"), "w").close()


def write_recording(folder, song, skip_ms=0, frames_hold=True):
    """From recording time 1 s: the song from START_MS for 3 s, 2 s of silence (from 4.03 s),
    then the song again from where it stopped (plus skip_ms) for 3 s. Dry gaps push the
    sound on: 30 ms of zeros 0.2 s before the stop and 20 ms 0.1 s after the return."""
    def dry(sound, at):
        return np.concatenate((sound[:at], np.zeros(RATE * 30 // 1000 if at > RATE else RATE // 50), sound[at:]))
    first = dry(song[START_MS * RATE // 1000:][: 3 * RATE], 3 * RATE - RATE // 5)
    resume = (START_MS + 3000 + skip_ms) * RATE // 1000
    second = dry(song[resume: resume + 3 * RATE], RATE // 10)
    sound = np.concatenate((first, np.zeros(2 * RATE), second)).astype("<i2")
    sound.tofile(os.path.join(folder, "audio.raw"))
    log = []
    for n, at in enumerate(range(0, len(sound), 1024)):
        pts = at + RATE   # the recording's clock starts at 1 s
        log.append(f"[ashowinfo@demo @ 0x1] n:{n} pts:{pts} pts_time:{pts / RATE:.6f} nb_samples:1024")
    rng = np.random.default_rng(7)
    frames, picture = [], rng.integers(0, 256, (240, 320), dtype=np.uint8)
    for n in range(int(9 * 30)):
        t = 1 + n / 30
        held = frames_hold and 4.03 <= t < 6.03
        if not held:
            picture = np.roll(picture, 3, axis=1)
        frames.append(picture)
        log.append(f"[showinfo@screen @ 0x2] n:{n} pts:{int(t * 1e6)} pts_time:{t:.6f}")
    np.array(frames).tofile(os.path.join(folder, "video.raw"))
    with open(os.path.join(folder, "ffmpeg.log"), "w") as f:
        f.write("\n".join(log) + "\n")


def judge(folder, *args):
    run = subprocess.run([sys.executable, os.path.join(HERE, "focus_hold.py"), "--record", folder + "/rec",
                          "--reference", folder + "/ref", "--start", str(START_MS), *args],
                         capture_output=True, text=True)
    return run.returncode, run.stdout


class FocusHoldTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        rng = np.random.default_rng(1)
        cls.song = (rng.standard_normal(35 * RATE) * 3000).clip(-32000, 32000)

    def recorded(self, **kwargs):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        os.makedirs(folder.name + "/rec")
        os.makedirs(folder.name + "/ref")
        write_reference(folder.name + "/ref", self.song)
        write_recording(folder.name + "/rec", self.song, **kwargs)
        return folder.name

    def test_held_and_back_where_it_stopped(self):
        status, out = judge(self.recorded(), "--still", "4.5", "5.9", "--hold", "5", "5.9", "--moving", "1.5", "3.5")
        self.assertEqual(status, 0, out)
        # The stop is the song's 3 s point; the return too: within a sample or two.
        self.assertRegex(out, r"music stopped at song 26000 ms \(4\.03 s\), came back at 26000 ms \(6\.03 s\): [+-]0 ms")

    def test_back_further_on(self):
        status, out = judge(self.recorded(skip_ms=200), "--hold", "5", "5.9")
        self.assertEqual(status, 1, out)
        self.assertIn("came back at 26200 ms (6.03 s): +200 ms", out)

    def test_back_before_it_was_asked(self):
        status, out = judge(self.recorded(), "--hold", "5", "6.5")
        self.assertEqual(status, 1, out)
        self.assertIn("FAIL: hold: the music came back at 6.03 s, asked at 6.50 s", out)

    def test_picture_moving_while_held(self):
        status, out = judge(self.recorded(frames_hold=False), "--still", "4.5", "5.9")
        self.assertEqual(status, 1, out)
        self.assertIn("FAIL: still 4.50..5.90 s: picture changes by", out)
        self.assertIn("ok: still 4.50..5.90 s: monitor RMS 0.0", out)

    def test_no_silence(self):
        status, out = judge(self.recorded(), "--hold", "3", "5.9")
        self.assertEqual(status, 1, out)
        self.assertIn("FAIL: hold: no silence at 3.00 s", out)


if __name__ == "__main__":
    unittest.main()
