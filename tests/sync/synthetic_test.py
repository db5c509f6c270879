#!/usr/bin/python3
"""measure_sync.py and verdict.py on recordings made up with known answers.

Each case writes what scripts/measure-sync leaves (grey 160x120 frames, the demo's and the
control's monitors, ffmpeg's showinfo/ashowinfo log, epoch, status) for a run of the
credits flashes, with the flash put a known time after its beat, and gaps, starved grabs
or a pause where the case says; then runs the analyser and the verdict on it.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import wave

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from verdict import DISTURBED, FAILED, IN_STEP, OUT_OF_STEP, judge  # noqa: E402

RATE = 44100
GRAB = 1 / 240
BAND_ROWS = slice(240 // 4, 310 // 4)          # the credits band in the grey frames
CREDITS = (45038, 48038, 51038)
AUDIO_PTS0 = 88219                             # the demo monitor's first sample, in 1/44100 s
CONTROL_PTS0 = 88731                           # the control's: its own timeline
PLAY_ZERO = 2.8371                             # recording time at which the demo's play starts


def write_reference(folder):
    """Seeded noise, louder on every half-second beat, in three-second bars that repeat
    with a variation of their own (two bars match at 0.8, as the soundtrack's do)."""
    rng = np.random.default_rng(1)
    n = 54 * RATE
    bar = rng.standard_normal((3 * RATE, 2))
    beat = np.exp(-(np.arange(n) % (RATE // 2)) / 2000.0)
    data = (np.tile(bar, (18, 1)) + 0.5 * rng.standard_normal((n, 2))) * (1200 + 3200 * beat)[:, None]
    os.makedirs(folder)
    with wave.open(folder + "/soundtrack.wav", "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(np.clip(data, -32000, 32000).astype("<i2").tobytes())
    with open(folder + "/beats.txt", "w") as f:
        f.write("".join(f"{b}\n" for b in CREDITS))
    return data.mean(axis=1)


def log_line(name, n, pts, rate, extra):
    return f"[{name} @ 0x55d0b08be540] n:{n:4d} pts:{pts:7d} pts_time:{pts / rate:<7.6g} {extra}\n"


def write_recording(folder, song, segments, offsets, demo_gaps=(), control_gaps=(), grab_gaps=None,
                    status=0):
    """segments: (play ms, song ms, length ms) as the run played; offsets: music ms -> ms the
    flash comes after its beat as heard (None: no flash); gaps: (recording s, ms) of silence
    a monitor ran dry for, which moves what follows as late; grab_gaps: music ms -> ms
    between the grabs around that flash (else 1/240 s)."""
    os.makedirs(folder)
    grab_gaps = grab_gaps or {}
    play_ms = max(p + n for p, _, n in segments)
    # The demo's sound: each stretch at its place, silence between (a pause).
    demo = np.zeros(int((PLAY_ZERO - AUDIO_PTS0 / RATE + play_ms / 1000 + 1.0) * RATE))
    flashes = []
    for play_at, song_at, length in segments:
        at = int(round((PLAY_ZERO + play_at / 1000 - AUDIO_PTS0 / RATE) * RATE))
        first = int(round(song_at * RATE / 1000))
        demo[at: at + length * RATE // 1000] = song[first: first + length * RATE // 1000]
        for music in CREDITS:
            if song_at < music < song_at + length and offsets.get(music) is not None:
                heard = PLAY_ZERO + (play_at + music - song_at) / 1000
                heard += sum(ms for t, ms in demo_gaps if t < heard) / 1000
                flashes.append((heard + offsets[music] / 1000, grab_gaps.get(music, GRAB * 1000) / 1000))
    # The control: the soundtrack from the plan's start, straight on, from play's start.
    control = np.zeros(len(demo))
    at = int(round((PLAY_ZERO - CONTROL_PTS0 / RATE) * RATE))
    first = int(round(segments[0][1] * RATE / 1000))
    piece = song[first: first + len(control) - at]
    control[at: at + len(piece)] = piece
    sounds = []
    for sound, pts0, spans in ((demo, AUDIO_PTS0, demo_gaps), (control, CONTROL_PTS0, control_gaps)):
        for t, ms in sorted(spans, reverse=True):
            a = int(round((t - pts0 / RATE) * RATE))
            sound = np.concatenate((sound[:a], np.zeros(int(ms * RATE / 1000)), sound[a:]))[: len(demo)]
        sounds.append(sound)
    demo, control = sounds
    # Grabs every 1/240 s, but the two around each flash's start lie either side of it.
    grabs = np.arange(AUDIO_PTS0 / RATE - 0.3, PLAY_ZERO + play_ms / 1000 + 0.5, GRAB)
    for seen, gap in flashes:
        grabs = grabs[np.abs(grabs - seen) > gap / 2 + 0.002]
        grabs = np.sort(np.concatenate((grabs, [seen - gap / 2, seen + gap / 2])))
    grabs = np.round(grabs * 1e6) / 1e6
    rng = np.random.default_rng(2)
    frames = np.empty((len(grabs), 120, 160), np.uint8)
    frames[:] = 40 + rng.integers(0, 20, (120, 160), dtype=np.uint8)
    frames += rng.integers(0, 2, (17, 120, 160), dtype=np.uint8)[np.arange(len(grabs)) % 17]   # motion
    for seen, _ in flashes:
        frames[(grabs >= seen) & (grabs < seen + 0.15), BAND_ROWS, :] += 100
    frames.tofile(folder + "/video.raw")
    lines = ["Input #0, x11grab, from ':99':\n"]
    for i, t in enumerate(grabs):
        pts = int(round(t * 1e6))
        lines.append(log_line("showinfo@screen", i, pts, 1e6, "pos:       -1 fmt:gray sar:1/1 s:160x120 i:P "
                              "iskey:1 type:I checksum:964A447F plane_checksum:[964A447F] mean:[52] stdev:[6.0]"))
    for name, sound, pts0 in (("demo", demo, AUDIO_PTS0), ("control", control, CONTROL_PTS0)):
        sound.astype("<i2").tofile(f"{folder}/{'audio' if name == 'demo' else 'control'}.raw")
        for n, first in enumerate(range(0, len(sound), 1024)):
            count = min(1024, len(sound) - first)
            lines.append(log_line(f"ashowinfo@{name}", n, pts0 + first, RATE,
                                  f"pos:-1 fmt:s16 channels:1 chlayout:mono rate:44100 nb_samples:{count} "
                                  "checksum:1EE8F45A plane_checksums: [ 1EE8F45A ]"))
    # The progress line shares a line with a log line now and then, as ffmpeg writes it.
    lines[7] = "frame=  100 fps=240 q=-0.0 size=N/A time=00:00:00.41 bitrate=N/A speed=1x    " + lines[7]
    with open(folder + "/ffmpeg.log", "w") as f:
        f.writelines(lines[:1] + sorted(lines[1:], key=lambda l: float(l.split("pts_time:")[1].split()[0])))
    with open(folder + "/epoch", "w") as f:
        f.write("1765000000\n")
    with open(folder + "/status", "w") as f:
        f.write(f"{status}\n")


class Synthetic(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp()
        cls.song = write_reference(cls.work + "/reference")
        cls.runs = 0

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work)

    def analyse(self, offsets, segments=((0, 44000, 9000),), keys="", events=3, **recording):
        """Records a made-up run, analyses it; (figures, verdict)."""
        Synthetic.runs += 1
        folder = f"{self.work}/run{self.runs}"
        write_recording(folder, self.song, list(segments), offsets, **recording)
        args = ["--record", folder, "--reference", self.work + "/reference", "--start", str(segments[0][1]),
                "--json", folder + ".json"]
        if keys:
            with open(folder + ".keys", "w") as f:
                f.write(keys)
            args += ["--keys", folder + ".keys"]
        else:
            args += ["--until", str(segments[-1][1] + segments[-1][2])]
        run = subprocess.run([sys.executable, HERE + "/measure_sync.py"] + args, capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        with open(folder + ".json") as f:
            figures = json.load(f)
        return figures, judge(figures, events, 10, 17)[0]

    def assertOffsets(self, figures, want):
        got = {e["music_ms"]: e.get("offset_ms") for e in figures["events"]}
        self.assertEqual(sorted(got), sorted(want))
        for music, offset in want.items():
            self.assertAlmostEqual(got[music], offset, delta=1.0, msg=f"{music}: {got}")

    def test_offsets_of_either_sign_are_recovered(self):
        want = {45038: 12.0, 48038: -7.0, 51038: 3.0}
        figures, verdict = self.analyse(want)
        self.assertOffsets(figures, want)
        self.assertEqual(verdict, IN_STEP)
        s = figures["summary"]
        self.assertAlmostEqual(s["median_ms"], 3.0, delta=1.0)
        self.assertAlmostEqual(s["worst_ms"], 12.0, delta=1.0)
        self.assertEqual((s["found"], s["dropouts"], s["command_status"]), (3, 0, 0))
        for e in figures["events"]:
            self.assertAlmostEqual(e["grab_gap_ms"], 4.2, delta=0.1)
            self.assertFalse(e["unmeasured"] or e["machine_gap"])

    def test_drift_across_a_stretch_and_beyond_the_bound(self):
        want = {45038: -2.0, 48038: 8.5, 51038: 19.0}
        figures, verdict = self.analyse(want)
        self.assertOffsets(figures, want)
        self.assertAlmostEqual(figures["summary"]["drift_ms"], 21.0, delta=1.0)
        self.assertEqual(verdict, OUT_OF_STEP)

    def test_a_missing_flash_is_out_of_step(self):
        figures, verdict = self.analyse({45038: 1.0, 48038: None, 51038: 2.0})
        self.assertEqual([e["found"] for e in figures["events"]], [True, False, True])
        self.assertEqual(verdict, OUT_OF_STEP)

    def test_a_gap_in_the_demo_alone_fails(self):
        # 20 ms of silence in the demo's sound, a second before the second flash, and none
        # in the control's: the program's own, whatever the offsets.
        figures, verdict = self.analyse({45038: 1.0, 48038: 2.0, 51038: 3.0}, demo_gaps=[(PLAY_ZERO + 3.038, 20)])
        s = figures["summary"]
        self.assertEqual((s["dropouts"], s["own_dropouts"], s["machine_dropouts"], s["control_dropouts"]),
                         (1, 1, 0, 0))
        self.assertEqual(verdict, FAILED)

    def test_gaps_in_both_streams_at_an_event_disturb_it(self):
        # The demo runs dry 100 ms before the second beat, the control 80 ms after it: the
        # second event is left out; the third, whose sound the gap moved with the picture
        # (as the demo's clock follows what it mixed), is measured.
        figures, verdict = self.analyse({45038: 1.0, 48038: 2.0, 51038: 3.0},
                                        demo_gaps=[(PLAY_ZERO + 3.938, 30)], control_gaps=[(PLAY_ZERO + 4.088, 25)])
        s = figures["summary"]
        self.assertEqual((s["dropouts"], s["own_dropouts"], s["machine_dropouts"]), (1, 0, 1))
        self.assertEqual([e["machine_gap"] for e in figures["events"]], [False, True, False])
        self.assertEqual((s["median_ms"], s["drift_ms"]), (2.0, 2.0))   # the first and third
        self.assertEqual(verdict, DISTURBED)

    def test_starved_grabs_at_an_event_leave_it_unmeasured(self):
        figures, verdict = self.analyse({45038: 1.0, 48038: 30.0, 51038: 3.0}, grab_gaps={48038: 12.0})
        second = figures["events"][1]
        self.assertAlmostEqual(second["grab_gap_ms"], 12.0, delta=0.01)
        self.assertTrue(second["unmeasured"])
        self.assertAlmostEqual(figures["summary"]["worst_ms"], 3.0, delta=1.0)
        self.assertEqual(verdict, DISTURBED)

    def test_a_pause_is_measured_across(self):
        # From 44000: Space at 3000 (song 47000), Space again at 4500, on to 53000. Both
        # streams run dry at 2400, after the first event and more than a second before
        # the second, whose stretch starts with the resume.
        want = {45038: 4.0, 48038: -6.0, 51038: 9.0}
        gap = [(PLAY_ZERO + 2.4, 20)]
        figures, verdict = self.analyse(want, segments=((0, 44000, 3000), (4500, 47000, 6000)),
                                        keys="3000 space\n4500 space\n10500 escape\n", demo_gaps=gap, control_gaps=gap)
        self.assertOffsets(figures, want)
        self.assertEqual((figures["summary"]["dropouts"], figures["summary"]["machine_dropouts"]), (1, 1))
        self.assertEqual(verdict, IN_STEP)

    def test_gaps_at_the_start_leave_the_later_events_measured(self):
        # Both streams run dry six times in the first 2.5 s of play, 270 ms in all: the
        # start's match fails, each event's own does not (the reference's bars repeat: a
        # later bar matching better must not be taken for the start). The first event's
        # matched sound holds a gap: left out; the later ones are measured.
        stutter = [(PLAY_ZERO + 0.4 * k + 0.2, 45) for k in range(6)]
        want = {45038: 1.0, 48038: 5.0, 51038: -4.0}
        figures, verdict = self.analyse(want, demo_gaps=stutter, control_gaps=stutter)
        self.assertEqual([e["machine_gap"] for e in figures["events"]], [True, False, False])
        self.assertOffsets(figures, want)
        self.assertEqual(figures["summary"]["machine_dropouts"], 6)
        self.assertEqual(verdict, DISTURBED)

    def test_the_programs_exit_status_is_reported(self):
        figures, verdict = self.analyse({45038: 1.0, 48038: 2.0, 51038: 3.0}, status=139)
        self.assertEqual(figures["summary"]["command_status"], 139)
        self.assertEqual(verdict, FAILED)


if __name__ == "__main__":
    unittest.main()
