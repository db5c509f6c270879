#!/usr/bin/python3
"""Picture against music in a recording of the demo made from outside.

Reads what one ffmpeg process recorded (the screen as small grey frames, the sound
server's monitor as PCM, and both streams' timestamps from its showinfo/ashowinfo logs)
and the generator's reference (the soundtrack before encoding and its beat hits). For each
moment where the design ties the picture to the music, it finds the music's hit in the
recorded sound by cross-correlation with the reference, and the picture's change in the
recorded frames, and reports how far apart a viewer sees and hears them.

Nothing is read from the program: the plan (where play starts, the keys the run was given)
only says roughly where to look; with --plan sound it is found in the recorded sound
(recorded_plan.py).
"""
import argparse
import json
import re
import sys
import wave

import numpy as np

import recorded_plan

RATE = 44100
SEEK_STEP_MS = 5000
SCENE_STARTS = [0, 17950, 30000, 42000, 54000, 78000]
PLAY_END_MS = 94000

# Picture cues: (picture ms, music hit ms, region). The picture changes at the first frame
# whose demo time passes the picture ms; the music's hit is one the generator placed.
# Regions are (x0, y0, x1, y1) in the 640x480 picture; None is the whole screen.
CREDIT_BAND = (0, 240, 640, 310)
GREETINGS = (350, 100, 605, 355)
CUES = [
    (21038, 21038, None), (24052, 24038, None), (27047, 27038, None),   # light band kicks
    (45038, 45038, CREDIT_BAND), (48038, 48038, CREDIT_BAND), (51038, 51038, CREDIT_BAND),
    (69038, 69038, GREETINGS), (72038, 72038, GREETINGS), (75038, 75038, GREETINGS),
    (88913, 88913, None), (89298, 89288, None), (90046, 90038, None),   # closing camera, white
]


def read_log_times(path, filter_name):
    """Per frame (seconds, nb_samples or 0) from an ffmpeg showinfo/ashowinfo log. The exact
    time is the integer pts over the filter's rate, which the rounded pts_time tells."""
    rows = []
    rx = re.compile(r"Parsed_%s_\d+ .*\bpts:(-?\d+) pts_time:(\S+)" % filter_name)
    with open(path, errors="replace") as f:
        for line in f:
            m = rx.search(line)
            if m:
                samples = re.search(r"nb_samples:(\d+)", line)
                rows.append((int(m.group(1)), float(m.group(2)), int(samples.group(1)) if samples else 0))
    known = [(pts, t) for pts, t, _ in rows if t > 1.0]
    rate = round(known[0][0] / known[0][1]) if known else 1
    return [(pts / rate, n) for pts, _, n in rows]


def audio_timeline(log_path):
    """Recording time of sample 0: the median of each frame's time less its place."""
    frames = read_log_times(log_path, "ashowinfo")
    if not frames:
        raise SystemExit("no audio frames in the log")
    offsets, at = [], 0
    for t, n in frames:
        offsets.append(t - at / RATE)
        at += n
    return float(np.median(offsets))


def read_reference(folder):
    with wave.open(folder + "/soundtrack.wav") as w:
        if w.getframerate() != RATE or w.getnchannels() != 2:
            raise SystemExit("reference is not 44.1 kHz stereo")
        data = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").reshape(-1, 2)
    beats = [float(x.split()[0]) for x in open(folder + "/beats.txt") if x.strip()]
    return data.astype(np.float32).mean(axis=1), beats


def read_keys(path):
    keys = []
    if path:
        for line in open(path):
            parts = line.split()
            if len(parts) >= 2 and parts[0].isdigit():
                keys.append((int(parts[0]), parts[1].lower()))
    return sorted(keys)


def play_segments(start_ms, until_ms, keys):
    """The plan's stretches of steady play: (play ms at start, song ms at start, length)."""
    segments, play, song, paused = [], 0, start_ms, False
    for at, key in keys + [(10 ** 9, "end")]:
        length = at - play
        if not paused:
            end_song = min(song + length, until_ms)
            if end_song > song:
                segments.append((play, song, end_song - song))
            song = end_song
        play = at
        if key in ("end", "escape") or song >= until_ms:
            break
        if key == "space":
            paused = not paused
        elif key in ("left", "right", "home", "pageup", "pagedown"):
            scene = max(i for i, s in enumerate(SCENE_STARTS) if s <= song)
            song = {"left": max(song - SEEK_STEP_MS, 0), "right": song + SEEK_STEP_MS, "home": 0,
                    "pageup": SCENE_STARTS[max(scene - 1, 0)],
                    "pagedown": SCENE_STARTS[scene + 1] if scene + 1 < len(SCENE_STARTS) else PLAY_END_MS}[key]
    return segments


def correlate(signal, template):
    """Normalised cross-correlation of template at every place in signal."""
    n = len(signal) + len(template)
    size = 1 << int(np.ceil(np.log2(n)))
    spectrum = np.fft.rfft(signal, size) * np.conj(np.fft.rfft(template, size))
    raw = np.fft.irfft(spectrum, size)[: len(signal) - len(template) + 1]
    squares = np.concatenate(([0.0], np.cumsum(signal.astype(np.float64) ** 2)))
    energy = squares[len(template):] - squares[: len(signal) - len(template) + 1]
    return raw / np.sqrt(np.maximum(energy, 1e-9) * float(np.dot(template, template)))


def find_in_recording(recorded, rec_start, reference, song_ms, predicted, search_ms, before=250, after=350):
    """Recording time at which the song reaches song_ms, near the predicted time: the
    reference from `before` ms before to `after` ms after it, matched there."""
    ref0 = int(round((song_ms - before) * RATE / 1000))
    template = reference[ref0: ref0 + int((before + after) * RATE / 1000)]
    lo = int((predicted - rec_start - (before + search_ms) / 1000) * RATE)
    hi = int((predicted - rec_start + (after + search_ms) / 1000) * RATE)
    lo, hi = max(lo, 0), min(hi, len(recorded))
    if hi - lo <= len(template):
        return None, 0.0
    scores = correlate(recorded[lo:hi], template)
    best = int(np.argmax(scores))
    return rec_start + (lo + best) / RATE + before / 1000, float(scores[best])


def dropouts(recorded):
    """Gaps the sound server filled with silence because the stream ran dry: runs of exact
    zeros from 2.3 ms to 250 ms between the first and the last sound (a pause is longer)."""
    loud = np.nonzero(np.abs(recorded) > 200)[0]
    if len(loud) < 2:
        return 0
    zero = (recorded[loud[0]: loud[-1]] == 0).astype(np.int8)
    edges = np.diff(np.concatenate(([0], zero, [0])))
    lengths = np.nonzero(edges == -1)[0] - np.nonzero(edges == 1)[0]
    return int(np.count_nonzero((lengths >= 100) & (lengths < RATE // 4)))


def read_frames(raw_path, width, height):
    data = np.fromfile(raw_path, dtype=np.uint8)
    count = len(data) // (width * height)
    return data[: count * width * height].reshape(count, height, width).astype(np.float32)


def picture_change(frames, times, region, scale, around, window):
    """Time the region first changes by a cue's size between two grabs near around: the
    middle of the two grabs; and the size of that change (mean grey levels a pixel)."""
    x0, y0, x1, y1 = region or (0, 0, 640, 480)
    pick = np.nonzero((times > around - window) & (times < around + window))[0]
    if len(pick) < 2:
        return None, 0.0
    area = frames[pick, y0 // scale: y1 // scale, x0 // scale: x1 // scale]
    steps = np.abs(np.diff(area, axis=0)).mean(axis=(1, 2))
    # The cue's first frame: the first change at least half the biggest (a flash often
    # changes the picture again on the frame after).
    k = int(np.nonzero(steps >= 0.5 * steps.max())[0][0])
    return (times[pick[k]] + times[pick[k + 1]]) / 2, float(steps[k])


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--record", required=True, help="folder of the recording (video.raw, audio.raw, ffmpeg.log)")
    ap.add_argument("--reference", required=True, help="folder of megadata-gen --sync")
    ap.add_argument("--start", type=int, default=0)
    ap.add_argument("--until", type=int, default=PLAY_END_MS)
    ap.add_argument("--keys", default="")
    ap.add_argument("--plan", choices=("keys", "sound"), default="keys",
                    help="the stretches of steady play: from --start and --keys, or found in the recorded sound")
    ap.add_argument("--grey-size", default="160x120")
    ap.add_argument("--json", default="")
    args = ap.parse_args()

    width, height = (int(v) for v in args.grey_size.split("x"))
    scale = 640 // width
    reference, _ = read_reference(args.reference)
    log = args.record + "/ffmpeg.log"
    rec_start = audio_timeline(log)
    recorded = np.fromfile(args.record + "/audio.raw", dtype="<i2").astype(np.float32)
    times = np.array([t for t, _ in read_log_times(log, "showinfo")])
    frames = read_frames(args.record + "/video.raw", width, height)
    n = min(len(times), len(frames))
    times, frames = times[:n], frames[:n]

    # Where the song's first stretch lies: found by correlation over up to its first three
    # seconds (long enough to tell bars apart, short enough to end before a key).
    segments = play_segments(args.start, args.until, read_keys(args.keys))
    first_song = segments[0][1] + 100
    anchor, score = find_in_recording(recorded, rec_start, reference, first_song,
                                      rec_start + (len(recorded) / RATE) / 2, len(recorded) / RATE * 500,
                                      before=100, after=min(2900, segments[0][2] - 200))
    if anchor is None or score < 0.5:
        raise SystemExit(f"the music's start was not found in the recording (score {score:.2f})")
    play_zero = anchor - (first_song - segments[0][1]) / 1000
    if args.plan == "sound":
        plan = recorded_plan.find_plan(recorded, rec_start, reference, args.start)
        if not plan:
            raise SystemExit("no stretch of the music was found in the recording")
        play_zero = plan[0].rec_s
        segments = [((p.rec_s - play_zero) * 1000, p.song_ms, p.length_ms) for p in plan]
    for play_at, song_at, length in segments:
        print(f"plan: from {play_zero + play_at / 1000:.3f} s, song {song_at:.1f} ms for {length:.1f} ms")

    results = []
    for play_at, song_at, length in segments:
        for picture_ms, music_ms, region in CUES:
            if not (song_at + 300 <= music_ms <= song_at + length - 300):
                continue
            predicted = play_zero + (play_at + music_ms - song_at) / 1000
            heard, score = find_in_recording(recorded, rec_start, reference, music_ms, predicted, 400)
            if heard is None or score < 0.5:
                results.append({"music_ms": music_ms, "found": False, "score": score})
                continue
            designed = (picture_ms - music_ms) / 1000
            seen, change = picture_change(frames, times, region, scale, heard + designed, 0.18)
            # A cue changes its region by 20 grey levels or more; a smaller change is the
            # scene's own motion, found where the cue was not.
            if seen is None or change < (8.0 if region else 4.0):
                results.append({"music_ms": music_ms, "found": False, "score": score, "change": change})
                continue
            results.append({"music_ms": music_ms, "found": True, "heard_s": heard, "seen_s": seen,
                            "offset_ms": round((seen - heard - designed) * 1000, 1),
                            "score": round(score, 3), "change": round(change, 1)})

    found = [r for r in results if r["found"]]
    summary = {"events": len(results), "found": len(found), "dropouts": dropouts(recorded)}
    if found:
        offsets = np.array([r["offset_ms"] for r in found])
        summary.update({"median_ms": round(float(np.median(offsets)), 1),
                        "worst_ms": round(float(offsets[np.argmax(np.abs(offsets))]), 1),
                        "drift_ms": round(float(offsets[-1] - offsets[0]), 1)})
    for r in results:
        if r["found"]:
            print(f"music {r['music_ms']:6d} ms: picture {r['offset_ms']:+6.1f} ms after the sound "
                  f"(match {r['score']:.2f}, change {r['change']:.0f} grey levels)")
        else:
            print(f"music {r['music_ms']:6d} ms: not found (match {r['score']:.2f})")
    print("sync: " + ", ".join(f"{k} {v}" for k, v in summary.items()))
    if args.json:
        json.dump({"summary": summary, "events": results, "plan_from": args.plan,
                   "plan": [{"rec_s": round(play_zero + p / 1000, 5), "song_ms": s, "length_ms": n} for p, s, n in segments]},
                  open(args.json, "w"), indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
