#!/usr/bin/python3
"""A hold of picture and music judged from a recording made outside the program.

The recording is one ffmpeg process's (as scripts/measure-sync makes it): the screen's
top-left 640x480 as grey frames, the sound server's monitor as mono PCM, and both
streams' times (showinfo/ashowinfo) on one clock. Times given here are on that clock.

  --still A B   the picture does not change and the monitor is silent from A to B
  --still-from-stop A B  as --still, from 0.4 s after the music stopped (the silence
                that holds A begins) to B
  --moving A B  the picture changes and the music is heard from A to B
  --hold A B    one silence covers A (a moment of the hold) and lasts at least until B
                (when play was asked to go on); the song position where the music stopped
                and where it came back are found by correlation with the reference
                soundtrack (megadata-gen --sync) and must be the same; from 0.3 s to 1.7 s
                after it came back, as --moving
  --picture S   with --hold, --demo and --data: the grabs from S seconds after the music
                came back (for 0.6 s) are matched against fixed-clock captures of the
                program around the song position it came back at; the best must be at that
                moment, and captures seconds later must match far worse

Prints one line per figure and a JSON summary (--json); the status is 1 when a check
fails, 2 when the recording cannot be read. Nothing is read from the program's output.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile

import numpy as np

sys.dont_write_bytecode = True   # nothing written beside the sources
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sync"))
from measure_sync import RATE, audio_timeline, correlate, read_log_times, read_frames, read_reference  # noqa: E402

GREY = (320, 240)          # the grabs' and the captures' size as compared
STILL_LEVELS = 0.5         # a still picture: every grab within this of the first (grey levels)
MOVING_LEVELS = 2.0        # a moving picture: some grab at least this far from the first
SILENT_RMS = 20.0          # the monitor of a null sink with nothing playing reads zeros
HEARD_RMS = 200.0          # music: the soundtrack's quietest second is louder than this
BLOCK = RATE // 100        # 10 ms blocks for finding the silence
RESUME_MS = 80             # where the music came back against where it stopped (ms)
PICTURE_MS = 250           # the matched capture's demo time against the music's
MATCH_LEVELS = 8.0         # the best capture's mean difference from a grab, at most (grey levels)
LATER_MS = (3000, 5000)    # captures this much later must differ at least LATER_FACTOR times more
LATER_FACTOR = 3.0


class Recording:
    def __init__(self, folder):
        log = os.path.join(folder, "ffmpeg.log")
        self.audio_start = audio_timeline(log)
        self.sound = np.fromfile(os.path.join(folder, "audio.raw"), dtype="<i2").astype(np.float32)
        times = np.array([t for t, _ in read_log_times(log, "showinfo@screen")])
        frames = read_frames(os.path.join(folder, "video.raw"), *GREY)
        n = min(len(times), len(frames))
        self.times, self.frames = times[:n], frames[:n]

    def sample(self, t):
        return int(round((t - self.audio_start) * RATE))

    def rms(self, a, b):
        part = self.sound[max(self.sample(a), 0): max(self.sample(b), 0)]
        return float(np.sqrt(np.mean(part ** 2))) if len(part) else 0.0

    def grabs(self, a, b):
        return self.frames[(self.times >= a) & (self.times <= b)]

    def picture_change(self, a, b):
        """Largest mean difference (grey levels) of a grab from the first one, and the count."""
        grabs = self.grabs(a, b)
        if len(grabs) < 2:
            return None, len(grabs)
        return float(np.abs(grabs[1:] - grabs[0]).mean(axis=(1, 2)).max()), len(grabs)

    def grab_at(self, t):
        k = int(np.searchsorted(self.times, t))
        return (self.times[k], self.frames[k]) if k < len(self.times) else (None, None)

    def silence_around(self, a):
        """(start, end) of the run of silent 10 ms blocks that holds time a, or None."""
        k = self.sample(a) // BLOCK
        blocks = len(self.sound) // BLOCK
        levels = np.sqrt(np.mean(self.sound[: blocks * BLOCK].reshape(blocks, BLOCK) ** 2, axis=1))
        if not 0 <= k < blocks or levels[k] > SILENT_RMS:
            return None
        lo, hi = k, k
        while lo > 0 and levels[lo - 1] <= SILENT_RMS:
            lo -= 1
        while hi + 1 < blocks and levels[hi + 1] <= SILENT_RMS:
            hi += 1
        return self.audio_start + lo * BLOCK / RATE, self.audio_start + (hi + 1) * BLOCK / RATE

    def first_sound(self):
        loud = np.nonzero(np.abs(self.sound) > 4 * SILENT_RMS)[0]
        return self.audio_start + loud[0] / RATE if len(loud) else None


def song_position(piece, reference, lo_ms, hi_ms):
    """Song ms where piece starts, matched against the reference starting between song
    positions lo_ms and hi_ms; the match's score, and the best score more than 50 ms away."""
    lo = max(int(lo_ms * RATE / 1000), 0)
    hi = min(int(hi_ms * RATE / 1000) + len(piece), len(reference))
    if len(piece) < RATE // 4 or hi - lo <= len(piece):
        return None, 0.0, 0.0
    scores = correlate(reference[lo:hi], piece)
    best = int(np.argmax(scores))
    away = np.abs(np.arange(len(scores)) - best) > RATE // 20
    return (lo + best) * 1000 / RATE, float(scores[best]), float(scores[away].max()) if away.any() else 0.0


def without_dry_gaps(sound):
    """The sound less the runs of exact zeros the sound server writes when the stream runs
    dry (2.3 ms and longer): what the program played, in one piece."""
    zero = np.concatenate(([0], (sound == 0).astype(np.int8), [0]))
    edges = np.diff(zero)
    keep = np.ones(len(sound), dtype=bool)
    for a, b in zip(np.nonzero(edges == 1)[0], np.nonzero(edges == -1)[0]):
        if b - a >= 100:
            keep[a:b] = False
    return sound[keep]


def song_at_edge(recording, reference, t, side, lo_ms, hi_ms):
    """Song ms at recording time t, where a silence begins (side -1: the sound before t is
    matched) or ends (side 1: the sound after it), searched between lo_ms and hi_ms. The
    2 s of sound next to t, less the gaps where the stream ran dry, is cut in 0.25 s pieces;
    the nearest to t that matches (score 0.8) and agrees within 30 ms with the next one out
    tells it. Also that match's score and how far from t the piece lies (ms)."""
    i = recording.sample(t)
    near = recording.sound[i: i + 2 * RATE] if side > 0 else recording.sound[max(i - 2 * RATE, 0): i]
    played = without_dry_gaps(near)
    n = RATE // 4
    found = []
    for k in range(0, len(played) - n + 1, n):
        piece = played[k: k + n] if side > 0 else played[len(played) - k - n: len(played) - k]
        shift = k * 1000 / RATE if side > 0 else -(k + n) * 1000 / RATE   # from t to the piece's start
        at, score, _ = song_position(piece, reference, lo_ms + shift, hi_ms + shift)
        found.append((None if at is None else at - shift, score, k * 1000 / RATE))
    for (at, score, away), (next_at, next_score, _) in zip(found, found[1:]):
        if at is not None and next_at is not None and min(score, next_score) >= 0.8 and abs(at - next_at) <= 30:
            return at, score, away
    return None, max((f[1] for f in found), default=0.0), None


def captures(demo, data, folder, start_ms, until_ms=None, at=()):
    """Grey frames of a fixed-clock run at 60 frames a second, every frame up to until_ms or
    the first at or after each time in at: {demo ms: frame}."""
    run = [demo, "--data", data, "--fps", "60", "--start", str(start_ms), "--capture", folder]
    run += ["--until", str(until_ms)] if until_ms else ["--at", ",".join(str(t) for t in at)]
    subprocess.run(run, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    names = sorted(n for n in os.listdir(folder) if n.startswith("t") and n.endswith(".png"))
    raw = subprocess.run(["ffmpeg", "-loglevel", "error", "-pattern_type", "glob", "-i", folder + "/t*.png",
                          "-vf", "scale=%d:%d:flags=area,format=gray" % GREY, "-f", "rawvideo", "-"],
                         check=True, stdout=subprocess.PIPE).stdout
    frames = np.frombuffer(raw, dtype=np.uint8).reshape(-1, GREY[1], GREY[0]).astype(np.float32)
    return {int(n[1:-4]): f for n, f in zip(names, frames)}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--record", required=True)
    ap.add_argument("--reference", required=True)
    ap.add_argument("--start", type=int, required=True, help="song ms the run started at")
    ap.add_argument("--still", nargs=2, type=float, action="append", default=[])
    ap.add_argument("--still-from-stop", nargs=2, type=float, action="append", default=[])
    ap.add_argument("--moving", nargs=2, type=float, action="append", default=[])
    ap.add_argument("--hold", nargs=2, type=float, action="append", default=[])
    ap.add_argument("--picture", type=float)
    ap.add_argument("--demo")
    ap.add_argument("--data")
    ap.add_argument("--json", default="")
    args = ap.parse_args()

    rec = Recording(args.record)
    reference, _ = read_reference(args.reference)
    figures, failures = {}, []

    def check(ok, text):
        print(("ok: " if ok else "FAIL: ") + text)
        if not ok:
            failures.append(text)

    for inside, b in args.still_from_stop:
        gap = rec.silence_around(inside)
        if gap is None:
            check(False, f"no silence at {inside:.2f} s")
        else:
            args.still.append((gap[0] + 0.4, b))
    for a, b in args.still:
        change, count = rec.picture_change(a, b)
        rms = rec.rms(a, b)
        figures.setdefault("still", []).append({"from": a, "to": b, "change": change, "grabs": count, "rms": rms})
        check(change is not None and change <= STILL_LEVELS,
              f"still {a:.2f}..{b:.2f} s: picture changes by {change if change is None else round(change, 2)} "
              f"grey levels over {count} grabs (at most {STILL_LEVELS})")
        check(rms <= SILENT_RMS, f"still {a:.2f}..{b:.2f} s: monitor RMS {rms:.1f} (at most {SILENT_RMS})")
    for a, b in args.moving:
        moving(rec, a, b, figures, check)

    for number, (inside, asked) in enumerate(args.hold):
        gap = rec.silence_around(inside)
        began = rec.first_sound()
        if gap is None or began is None or began >= gap[0]:
            check(False, f"hold: no silence at {inside:.2f} s after the music began")
        else:
            stopped, back = gap
            check(back >= asked - 0.05, f"hold: the music came back at {back:.2f} s, asked at {asked:.2f} s")
            # The stop is found near the song position the start and the sound played since
            # say (a gap where the stream ran dry may also lose sound: later, not earlier),
            # the return within 300 ms of the stop: the bars repeat every 1.5 s.
            first, last = rec.sample(began), rec.sample(stopped)
            guess = args.start + len(without_dry_gaps(rec.sound[first:last])) * 1000 / RATE
            stop_ms, stop_score, stop_away = song_at_edge(rec, reference, stopped, -1, guess - 300, guess + 600)
            back_ms, back_score, back_away = (song_at_edge(rec, reference, back, 1, stop_ms - 300, stop_ms + 300)
                                              if stop_ms is not None else (None, 0.0, None))
            figures.setdefault("hold", []).append({"stopped_s": stopped, "back_s": back, "stopped_song_ms": stop_ms,
                                                   "back_song_ms": back_ms, "scores": [stop_score, back_score],
                                                   "matched_ms_from_edge": [stop_away, back_away]})
            found = stop_ms is not None and back_ms is not None
            check(found, f"hold: song positions found where it stopped and came back (match {stop_score:.2f}, "
                         f"{back_score:.2f})")
            if found:
                error = back_ms - stop_ms
                figures["hold"][-1]["resume_error_ms"] = error
                check(abs(error) <= RESUME_MS,
                      f"hold: music stopped at song {stop_ms:.0f} ms ({stopped:.2f} s), came back at "
                      f"{back_ms:.0f} ms ({back:.2f} s): {error:+.0f} ms (within {RESUME_MS})")
                moving(rec, back + 0.3, back + 1.7, figures, check)
                if args.picture is not None and number == 0:
                    picture(rec, args, back, back_ms, figures, check)

    print("figures: " + json.dumps(figures))
    if args.json:
        json.dump({"figures": figures, "failures": failures}, open(args.json, "w"), indent=1)
    return 1 if failures else 0


def moving(rec, a, b, figures, check):
    change, count = rec.picture_change(a, b)
    rms = rec.rms(a, b)
    figures.setdefault("moving", []).append({"from": a, "to": b, "change": change, "grabs": count, "rms": rms})
    check(change is not None and change >= MOVING_LEVELS,
          f"moving {a:.2f}..{b:.2f} s: picture changes by {change if change is None else round(change, 2)} "
          f"grey levels over {count} grabs (at least {MOVING_LEVELS})")
    check(rms >= HEARD_RMS, f"moving {a:.2f}..{b:.2f} s: monitor RMS {rms:.1f} (at least {HEARD_RMS})")


def picture(rec, args, back, back_ms, figures, check):
    """The grabs from args.picture s after the music came back to 0.6 s later against
    captures around the moment the music says: the one that matches a capture best (a grab
    taken while a frame was being presented mixes two) must match the moment."""
    pick = np.nonzero((rec.times >= back + args.picture) & (rec.times <= back + args.picture + 0.6))[0]
    if len(pick) == 0:
        check(False, "picture: no grab after the return")
        return
    first = back_ms + (rec.times[pick[0]] - back) * 1000
    with tempfile.TemporaryDirectory() as near, tempfile.TemporaryDirectory() as later:
        shots = captures(args.demo, args.data, near, int(first) - 500, until_ms=int(first) + 1400)
        results = []
        for k in pick:
            diffs = {t: float(np.abs(f - rec.frames[k]).mean()) for t, f in shots.items()}
            best = min(diffs, key=diffs.get)
            results.append((diffs[best], best, float(rec.times[k])))
        diff, best, at = min(results)
        grab = rec.frames[pick[[r[2] for r in results].index(at)]]
        late = captures(args.demo, args.data, later, best + LATER_MS[0] - 100, at=[best + d for d in LATER_MS])
    later_diff = min(float(np.abs(f - grab).mean()) for f in late.values())
    expected = back_ms + (at - back) * 1000
    figures["picture"] = {"grab_s": at, "expected_ms": expected, "best_ms": best, "best_diff": diff,
                          "error_ms": best - expected, "later_diff": later_diff, "grabs": len(pick)}
    check(abs(best - expected) <= PICTURE_MS and diff <= MATCH_LEVELS,
          f"picture: the grab {at - back:.2f} s after the return is demo {best} ms (difference "
          f"{diff:.2f} grey levels), the music says {expected:.0f} ms: {best - expected:+.0f} ms "
          f"(within {PICTURE_MS})")
    check(later_diff >= LATER_FACTOR * max(diff, 0.5),
          f"picture: captures {LATER_MS[0] // 1000} s and {LATER_MS[1] // 1000} s later differ by "
          f"{later_diff:.2f} grey levels (at least {LATER_FACTOR:.0f} times the best)")


if __name__ == "__main__":
    sys.exit(main())
