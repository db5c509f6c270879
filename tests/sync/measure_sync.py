#!/usr/bin/python3
"""Picture against music in a recording of the demo made from outside.

Reads what one ffmpeg process recorded (the screen as small grey frames, the demo's and the
control's monitors as PCM, and every stream's timestamps from its showinfo/ashowinfo logs,
the command's exit status) and the generator's reference (the soundtrack before encoding
and its beat hits). For each moment where the design ties the picture to the music, it
finds the music's hit in the recorded sound by cross-correlation with the reference, and
the picture's change in the recorded frames, and reports how far apart a viewer sees and
hears them. Gaps in the demo's sound are told apart by the control stream (the soundtrack
played beside it by the sound server's own client): in a run whose control ran dry too,
the machine's; alone, the program's. An event a machine gap or a starved grabber touched is
reported but left out of the figures (tests/sync/verdict.py judges the run).

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
from recorded_plan import correlate  # noqa: F401 (also for the focus-loss judge)

RATE = 44100
SEEK_STEP_MS = 5000
SCENE_STARTS = [0, 17950, 30000, 42000, 54000, 78000]
PLAY_END_MS = 94000
# A control gap this near an event's beat disturbs it: the machine starved the demo's
# frames then too.
STARVED_NEAR_S = 0.1
GRAB_GAP_LIMIT_MS = 8.0    # two grabs 240 a second are 4.2 ms apart; beyond this, starved
# The soundtrack's bars repeat, each matching another at up to 0.8: a weaker match of the
# song's start may be a repeat.
REPEAT_MATCH_LIMIT = 0.9
WINDOW_AFTER_S = 0.35      # the reference matched for an event ends this long after its hit

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


def read_log_times(path, instance):
    """Per frame (seconds, nb_samples or 0) of one showinfo/ashowinfo instance of an ffmpeg
    log ("showinfo@screen", "ashowinfo@demo", "ashowinfo@control"). The exact time is the
    integer pts over the filter's rate, which the rounded pts_time tells."""
    rows = []
    rx = re.compile(r"\[%s @ [^]]*\] .*\bpts: *(-?\d+) pts_time:(\S+)" % re.escape(instance))
    with open(path, errors="replace") as f:
        for line in f:
            m = rx.search(line)
            if m:
                samples = re.search(r"nb_samples:(\d+)", line)
                rows.append((int(m.group(1)), float(m.group(2)), int(samples.group(1)) if samples else 0))
    known = [(pts, t) for pts, t, _ in rows if t > 1.0]
    rate = round(known[0][0] / known[0][1]) if known else 1
    return [(pts / rate, n) for pts, _, n in rows]


def audio_timeline(log_path, instance="ashowinfo@demo"):
    """Recording time of a monitor's sample 0: the median of each frame's time less its place."""
    frames = read_log_times(log_path, instance)
    if not frames:
        raise SystemExit(f"no {instance} frames in the log")
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


def gaps(recorded, rec_start):
    """Gaps the sound server filled with silence because a stream ran dry, as (start, end) on
    the recording clock: runs of exact zeros from 2.3 ms to 250 ms between the first and the
    last sound (a pause is longer)."""
    loud = np.nonzero(np.abs(recorded) > 200)[0]
    if len(loud) < 2:
        return []
    zero = (recorded[loud[0]: loud[-1]] == 0).astype(np.int8)
    edges = np.diff(np.concatenate(([0], zero, [0])))
    starts, ends = np.nonzero(edges == 1)[0], np.nonzero(edges == -1)[0]
    keep = (ends - starts >= 100) & (ends - starts < RATE // 4)
    return [(rec_start + (loud[0] + a) / RATE, rec_start + (loud[0] + b) / RATE)
            for a, b in zip(starts[keep], ends[keep])]


def near(span, spans, distance):
    """True when some span of spans lies within distance (seconds) of span."""
    return any(o[0] - span[1] <= distance and span[0] - o[1] <= distance for o in spans)


def read_frames(raw_path, width, height):
    data = np.fromfile(raw_path, dtype=np.uint8)
    count = len(data) // (width * height)
    return data[: count * width * height].reshape(count, height, width)   # grey bytes, read as needed


def picture_change(frames, times, region, scale, around, window):
    """Time the region first changes by a cue's size between two grabs near around: the
    middle of the two grabs; the size of that change (mean grey levels a pixel); and the
    time between the two grabs (None, 0, None without two grabs near around)."""
    x0, y0, x1, y1 = region or (0, 0, 640, 480)
    pick = np.nonzero((times > around - window) & (times < around + window))[0]
    if len(pick) < 2:
        return None, 0.0, None
    area = frames[pick, y0 // scale: y1 // scale, x0 // scale: x1 // scale].astype(np.float32)
    steps = np.abs(np.diff(area, axis=0)).mean(axis=(1, 2))
    # The cue's first frame: the first change at least half the biggest (a flash often
    # changes the picture again on the frame after).
    k = int(np.nonzero(steps >= 0.5 * steps.max())[0][0])
    return (times[pick[k]] + times[pick[k + 1]]) / 2, float(steps[k]), float(times[pick[k + 1]] - times[pick[k]])


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--record", required=True,
                    help="folder of the recording (video.raw, audio.raw, control.raw, ffmpeg.log, status)")
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
    control = np.fromfile(args.record + "/control.raw", dtype="<i2").astype(np.float32)
    times = np.array([t for t, _ in read_log_times(log, "showinfo@screen")])
    frames = read_frames(args.record + "/video.raw", width, height)
    n = min(len(times), len(frames))
    times, frames = times[:n], frames[:n]
    try:
        command_status = int(open(args.record + "/status").read())
    except (OSError, ValueError):
        command_status = None   # unknown: not a success

    # The demo's gaps are the machine's when the control ran dry too in the same run: the
    # control is fed a little below the demo's priority, so a machine that starves the
    # demo's stream starves it first. A busy machine starves both in spells, each at moments
    # of its own (natively the two mostly run dry within a few ms of each other, but up to
    # 0.5 s apart; under Wine both run dry about every 0.55 s through a busy stretch, each at
    # its own phase). Gaps in the demo's sound in a run whose control played through are the
    # program's.
    demo_gaps = gaps(recorded, rec_start)
    control_gaps = gaps(control, audio_timeline(log, "ashowinfo@control"))
    machine, own = (demo_gaps, []) if control_gaps else ([], demo_gaps)

    # Where the song's first stretch lies: found by correlation over up to its first three
    # seconds (long enough to tell bars apart, short enough to end before a key) within a
    # second of where the demo's sound begins (farther off a repeated bar can match better
    # than the stretch's own when gaps have spoiled it).
    segments = play_segments(args.start, args.until, read_keys(args.keys))
    loud = np.nonzero(np.abs(recorded) > 200)[0]
    if len(loud) == 0:
        raise SystemExit("no sound in the recording")
    sound_start = rec_start + loud[0] / RATE
    anchor, score = find_in_recording(recorded, rec_start, reference, segments[0][1] + 100, sound_start + 0.1,
                                      1000, before=100, after=min(2900, segments[0][2] - 200))
    if anchor is not None and score >= REPEAT_MATCH_LIMIT:
        play_zero = anchor - 0.1
    else:
        # Gaps in those seconds (each moves what follows) can spoil the match, and a spoilt
        # match can find a repeated bar instead: then play is taken to start with the
        # sound, near enough for each event's own search.
        play_zero = sound_start
        print(f"the music's start was not matched (score {score:.2f}): play taken to start with the sound")
    if args.plan == "sound":
        plan = recorded_plan.find_plan(recorded, rec_start, reference, args.start)
        if not plan:
            raise SystemExit("no stretch of the music was found in the recording")
        play_zero = plan[0].rec_s
        for p in plan:
            print(f"plan: from {p.rec_s:.3f} s, song {p.song_ms:.1f} ms for {p.length_ms:.1f} ms")
        # Events are looked for across a gap or a stall of the sound (each event is found
        # within 400 ms of where it is looked for), to be judged as the gaps are.
        segments = [((p.rec_s - play_zero) * 1000, p.song_ms, p.length_ms) for p in recorded_plan.steady(plan, 400)]

    results = []
    for play_at, song_at, length in segments:
        for picture_ms, music_ms, region in CUES:
            if not (song_at + 300 <= music_ms <= song_at + length - 300):
                continue
            predicted = play_zero + (play_at + music_ms - song_at) / 1000
            heard, score = find_in_recording(recorded, rec_start, reference, music_ms, predicted, 400)
            hit = predicted if heard is None or score < 0.5 else heard
            # The machine disturbed the event with a gap of the demo's in the sound matched,
            # or a gap of the control's near the hit (the players were starved then, the
            # demo's frames with them). A gap earlier in the stretch does not: the sound
            # after it is late by the gap, but the demo's clock follows what it mixed, so
            # the picture is late with it (under Wine, 120 ms of gaps before a flash left it
            # within 12 ms of its beat).
            matched = (hit - 0.25, hit + WINDOW_AFTER_S)
            event = {"music_ms": music_ms, "found": False, "score": round(score, 3), "unmeasured": False,
                     "machine_gap": near(matched, machine, 0.0) or near((hit, hit), control_gaps, STARVED_NEAR_S)}
            results.append(event)
            if heard is None or score < 0.5:
                continue
            designed = (picture_ms - music_ms) / 1000
            seen, change, grab_gap = picture_change(frames, times, region, scale, heard + designed, 0.18)
            event["unmeasured"] = grab_gap is None or grab_gap * 1000 > GRAB_GAP_LIMIT_MS
            if grab_gap is not None:
                event["grab_gap_ms"] = round(grab_gap * 1000, 1)
            # A cue's first frame changes its region by 8 grey levels a pixel or more on
            # average (the credits and greetings flashes light most of their region), the
            # whole screen by 4 or more (the light band's kicks and the closing's steps
            # change a part of it); the scenes' own motion between two grabs stays below
            # these, so a smaller change is motion found where the cue was not.
            if seen is None or change < (8.0 if region else 4.0):
                event["change"] = round(change, 1)
                continue
            event.update({"found": True, "heard_s": heard, "seen_s": seen,
                          "offset_ms": round((seen - heard - designed) * 1000, 1), "change": round(change, 1)})

    found = [r for r in results if r["found"]]
    used = [r for r in found if not (r["unmeasured"] or r["machine_gap"])]
    summary = {"events": len(results), "found": len(found), "dropouts": len(demo_gaps),
               "machine_dropouts": len(machine), "own_dropouts": len(own), "control_dropouts": len(control_gaps),
               "command_status": command_status}
    if used:
        offsets = np.array([r["offset_ms"] for r in used])
        summary.update({"median_ms": round(float(np.median(offsets)), 1),
                        "worst_ms": round(float(offsets[np.argmax(np.abs(offsets))]), 1),
                        "drift_ms": round(float(offsets[-1] - offsets[0]), 1)})
    for r in results:
        notes = [w for w, on in (("a machine gap", r["machine_gap"]), ("grabs starved", r["unmeasured"])) if on]
        note = f" [left out: {', '.join(notes)}]" if notes else ""
        grabs = f", grabs {r['grab_gap_ms']:.1f} ms apart" if "grab_gap_ms" in r else ""
        if r["found"]:
            print(f"music {r['music_ms']:6d} ms: picture {r['offset_ms']:+6.1f} ms after the sound "
                  f"(match {r['score']:.2f}, change {r['change']:.0f} grey levels{grabs}){note}")
        else:
            print(f"music {r['music_ms']:6d} ms: not found (match {r['score']:.2f}{grabs}){note}")
    for name, spans in (("demo", demo_gaps), ("control", control_gaps)):
        if spans:
            print(f"gaps in the {name}'s sound: " + ", ".join(f"{a:.3f} s ({(b - a) * 1000:.0f} ms)" for a, b in spans))
    print("sync: " + ", ".join(f"{k} {v}" for k, v in summary.items()))
    if args.json:
        json.dump({"summary": summary, "events": results, "plan_from": args.plan,
                   "plan": [p._asdict() for p in plan] if args.plan == "sound" else []},
                  open(args.json, "w"), indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
