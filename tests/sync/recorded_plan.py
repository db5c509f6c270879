#!/usr/bin/python3
"""The plan of a run as it was heard: its stretches of steady play, found in the recorded sound.

Each block of sounding recording is matched against the reference soundtrack (the song as
the generator rendered it), near where steady play or a hold would put it and, failing both,
anywhere in the song. Successive blocks at one alignment (recording time less song time)
are one stretch of steady play; silence between two stretches is a hold (a pause, a page the
browser held, a stream that ran dry), and a change of alignment with no silence a seek.
Each edge is then placed to the sample where the recording stops fitting one state (the
song at the stretch's alignment, or silence) and fits the next.

Nothing comes from the program: a page or a player that says it paused is not believed;
its sound says where play stood.

    plan = find_plan(recorded, rec_start, reference, start_ms)
gives Stretch(rec_s, song_ms, length_ms) in recording order: the recording time (seconds,
on the recording's clock) at which the stretch starts, the song position then, its length.

    recorded_plan.py --figures FIGURES.json [--held-ms MIN [--jump-ms J]]
prints, between the stretches measure_sync.py --plan sound found, how long the sound
was held and where the song went on; with --held-ms it exits 1 unless the sound was held
MIN ms or more at least once and after each such hold the song went on within J ms of where
it stood (shorter holds are a stream that ran dry, the machine's, judged as its gaps are).
"""
import argparse
import json
import sys
from collections import namedtuple

import numpy as np

RATE = 44100
BLOCK = RATE // 10          # 100 ms of sound matched at a time
HOP = BLOCK // 2
NEAR_MS = 300               # how far from steady play a block is looked for first
HELD_NEAR_MS = 2000         # how far from the asked start, or from where the song fell silent,
                            # the first block after a silence is (a browser that holds a page's
                            # sound drops what it had taken, a few hundred ms)
MIN_SCORE = 0.8             # normalised correlation a block needs to be placed (the song's
                            # own blocks score 0.95 and more; a like bar elsewhere, less)
ANYWHERE_TRIES = 12         # blocks looked for anywhere, at most (each a seek, or a stray)
SOUNDING_RMS = 100.0        # a block with 10 ms quieter than this (16-bit levels) is not matched
SAME_ALIGNMENT = RATE // 1000   # blocks within 1 ms of each other are one stretch

Stretch = namedtuple("Stretch", "rec_s song_ms length_ms")


def correlate(signal, template):
    """Normalised cross-correlation of template at every place in signal."""
    n = len(signal) + len(template)
    size = 1 << int(np.ceil(np.log2(n)))
    spectrum = np.fft.rfft(signal, size) * np.conj(np.fft.rfft(template, size))
    raw = np.fft.irfft(spectrum, size)[: len(signal) - len(template) + 1]
    squares = np.concatenate(([0.0], np.cumsum(signal.astype(np.float64) ** 2)))
    energy = squares[len(template):] - squares[: len(signal) - len(template) + 1]
    return raw / np.sqrt(np.maximum(energy, 1e-9) * max(float(np.dot(template, template)), 1e-9))


def place_block(block, reference, lo, hi, prefer):
    """(reference index, score) where block fits best among starts lo..hi; of starts scoring
    within 0.02 of the best (a repeated bar), the one nearest prefer."""
    lo, hi = max(lo, 0), min(hi, len(reference) - len(block))
    if hi <= lo:
        return None, 0.0
    scores = correlate(reference[lo: hi + len(block)], block)
    best = float(scores.max())
    near_best = np.nonzero(scores >= best - 0.02)[0] + lo
    return int(near_best[np.argmin(np.abs(near_best - prefer))]), best


def block_alignments(recorded, reference, start_ms):
    """[(recording index, alignment)] of each placed block; alignment: recording index less
    reference index."""
    placed = []
    near, held_near = NEAR_MS * RATE // 1000, HELD_NEAR_MS * RATE // 1000
    silent_since = None
    anywhere = ANYWHERE_TRIES
    for i in range(0, len(recorded) - BLOCK + 1, HOP):
        block = recorded[i: i + BLOCK]
        # Sounding throughout: a block with an edge of silence in it would fit worse where it
        # belongs than a whole bar of the song elsewhere.
        if np.sqrt(np.mean(block.astype(np.float64).reshape(10, -1) ** 2, axis=1)).min() < SOUNDING_RMS:
            if placed and silent_since is None:
                silent_since = i
            continue
        if not placed:
            near_places = [(start_ms * RATE // 1000, held_near)]
        else:
            near_places = [(i - placed[-1][1], near)]
            if silent_since is not None:
                # Held since the silence began: the song stands where it fell silent.
                near_places.append((silent_since - placed[-1][1], held_near))
        at, score = max((place_block(block, reference, p - reach, p + reach, p) for p, reach in near_places),
                        key=lambda found: found[1])
        if score < MIN_SCORE and anywhere > 0:
            anywhere -= 1
            at, score = place_block(block, reference, 0, len(reference), near_places[0][0])
        if at is not None and score >= MIN_SCORE:
            placed.append((i, i - at))
            silent_since = None
    return placed


def runs_of(placed):
    """Placed blocks grouped into runs at one alignment: [(first index, last index, alignment)].
    A lone block at an alignment of its own is dropped; neighbouring runs at one alignment
    (the song went on through a silence) are one."""
    runs = []
    for i, a in placed:
        if runs and abs(a - runs[-1][2][-1]) <= SAME_ALIGNMENT:
            runs[-1][1] = i
            runs[-1][2].append(a)
        else:
            runs.append([i, i, [a]])
    runs = [(first, last, int(np.median(a))) for first, last, a in runs if len(a) > 1]
    merged = []
    for run in runs:
        if merged and abs(run[2] - merged[-1][2]) <= SAME_ALIGNMENT:
            merged[-1] = (merged[-1][0], run[1], merged[-1][2])
        else:
            merged.append(run)
    return merged


def gain_of(recorded, reference, runs):
    """Recorded level over reference level, least squares over the runs' placed samples."""
    num = den = 0.0
    for first, last, a in runs:
        rec = recorded[first: last + BLOCK].astype(np.float64)
        ref = aligned(reference, a, first, last + BLOCK)
        num += float(np.dot(rec, ref))
        den += float(np.dot(ref, ref))
    return num / den if den > 0 else 1.0


def aligned(reference, alignment, lo, hi):
    """The reference as heard at recording indices lo..hi under an alignment (0 off the song)."""
    out = np.zeros(hi - lo)
    src_lo, src_hi = lo - alignment, hi - alignment
    a, b = max(src_lo, 0), min(src_hi, len(reference))
    if b > a:
        out[a - src_lo: b - src_lo] = reference[a:b]
    return out


def split_edges(recorded, lo, hi, before, after):
    """(b1, b2), lo <= b1 <= b2 <= hi, that best explain recorded[lo:hi] as `before` up to b1,
    silence from b1 to b2 and `after` from b2 (either may be None: silence)."""
    rec = recorded[lo:hi].astype(np.float64)

    def cost(state):
        return np.concatenate(([0.0], np.cumsum((rec if state is None else rec - state) ** 2)))

    c_before, c_silent, c_after = cost(before), cost(None), cost(after)
    # cost(b1, b2) = c_before[b1] + c_silent[b2] - c_silent[b1] + c_after[end] - c_after[b2]:
    # for each b2 the best b1 <= b2 is where c_before - c_silent is least so far.
    left = c_before - c_silent
    best_left = np.minimum.accumulate(left)
    arg_left = np.maximum.accumulate(np.where(left == best_left, np.arange(len(left)), 0))
    b2 = int(np.argmin(best_left + c_silent - c_after))
    return lo + int(arg_left[b2]), lo + b2


def find_plan(recorded, rec_start, reference, start_ms):
    """The stretches of steady play in recorded (mono 44.1 kHz, recording time rec_start at
    its first sample) of the song in reference (mono 44.1 kHz, same scale)."""
    recorded = np.asarray(recorded, dtype=np.float32)
    reference = np.asarray(reference, dtype=np.float32)
    runs = runs_of(block_alignments(recorded, reference, start_ms))
    if not runs:
        return []
    gain = gain_of(recorded, reference, runs)
    edges = []   # (start, end) in recording indices, a pair a run
    for n, (first, last, a) in enumerate(runs):
        if n == 0:
            lo = max(first - 4 * BLOCK, 0)
            start = split_edges(recorded, lo, first + BLOCK, None, gain * aligned(reference, a, lo, first + BLOCK))[1]
            edges.append([start, None])
        if n + 1 < len(runs):
            nxt_first, _, b = runs[n + 1]
            lo, hi = last, nxt_first + BLOCK
            end, start = split_edges(recorded, lo, hi, gain * aligned(reference, a, lo, hi),
                                     gain * aligned(reference, b, lo, hi))
            edges[-1][1] = end
            edges.append([start, None])
        else:
            hi = len(recorded)
            edges[-1][1] = split_edges(recorded, last, hi, gain * aligned(reference, a, last, hi), None)[0]
    return [Stretch(round(rec_start + s / RATE, 5), round((s - a) * 1000 / RATE, 1), round((e - s) * 1000 / RATE, 1))
            for (s, e), (_, _, a) in zip(edges, runs)]


def joins(plan):
    """Between each stretch and the next: (recording ms the sound was held, song ms the next
    stretch starts after where this one ended; 0 when play goes on from where it stood)."""
    return [(round((b.rec_s - a.rec_s) * 1000 - a.length_ms, 1), round(b.song_ms - (a.song_ms + a.length_ms), 1))
            for a, b in zip(plan, plan[1:])]


def steady(plan, reach_ms):
    """The plan with each stretch joined to the next when steady play from the first puts the
    next one within reach_ms of where it is (the hold less the jump: a stream that ran dry or
    stalled and went on, not a pause or a seek): where to look for events, each of which is
    then looked for within reach_ms of where the joined stretch puts it."""
    joined = list(plan[:1])
    for (hold, jump), b in zip(joins(plan), plan[1:]):
        a = joined[-1]
        if abs(hold - jump) < reach_ms:
            joined[-1] = Stretch(a.rec_s, a.song_ms, round(b.song_ms + b.length_ms - a.song_ms, 1))
        else:
            joined.append(b)
    return joined


def main():
    ap = argparse.ArgumentParser(description="The joins of a plan found in the recorded sound (measure_sync.py "
                                             "--plan sound --json FIGURES.json).")
    ap.add_argument("--figures", required=True)
    ap.add_argument("--held-ms", type=float, help="fail unless the sound was held this long at least once ...")
    ap.add_argument("--jump-ms", type=float, default=5.0, help="... and went on within this much of where it stood")
    args = ap.parse_args()
    figures = json.load(open(args.figures))
    if figures.get("plan_from") != "sound":
        print("plan: not found in the sound")
        return 1
    plan = [Stretch(p["rec_s"], p["song_ms"], p["length_ms"]) for p in figures["plan"]]
    held = joins(plan)
    for hold, jump in held:
        print(f"plan: held {hold:.1f} ms, then on from {jump:+.1f} ms of song after where it stood")
    if args.held_ms is None:
        return 0
    pauses = [jump for hold, jump in held if hold >= args.held_ms]
    if not pauses:
        print(f"plan: NO HOLD of {args.held_ms:g} ms or more in the recorded sound")
        return 1
    far = [jump for jump in pauses if abs(jump) > args.jump_ms]
    if far:
        print(f"plan: THE SONG DID NOT GO ON FROM WHERE IT STOOD: {', '.join(f'{j:+.1f}' for j in far)} ms "
              f"(beyond +-{args.jump_ms:g} ms)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
