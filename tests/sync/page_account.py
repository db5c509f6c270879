#!/usr/bin/python3
"""Splits each offset measured from outside in two, with the page's own account of the music.

The page clocks its picture from the browser's report of its sound output (when the sample
being rendered is heard). For each cue measure_sync.py found, the page's account says at
what wall-clock time the page took the cue's music to be heard:
  report   the sound recorded less that time: how far the browser's report was wrong,
           which the page cannot see (positive: heard later than reported)
  picture  the offset plus the report: the picture against the page's account, what the
           page's clock and the display path make of a correct report
The offsets themselves stay those found in the recording; this only says where they come from.

  page_account.py --figures FIGURES.json --epoch RECORD/epoch --clock CLOCK.json
adds report_ms and picture_ms to the found events of FIGURES.json and their medians and
worst to its summary.
"""
import argparse
import json
import statistics

# Samples of the account within this much music of a cue each place it (the music runs at
# one ms a ms between them); a pause or a seek among them is outvoted by the median.
NEAR_MS = 500
MIN_SAMPLES = 5


def reported_heard_at(heard, music_ms):
    """Wall-clock ms at which the page took music_ms to be heard, or None."""
    places = [at + (music_ms - position) for at, position in heard if abs(position - music_ms) <= NEAR_MS]
    return statistics.median(places) if len(places) >= MIN_SAMPLES else None


def worst(values):
    return max(values, key=abs)


def split(figures, epoch, heard):
    reports, pictures = [], []
    for event in figures["events"]:
        if not event.get("found"):
            continue
        at = reported_heard_at(heard, event["music_ms"])
        if at is None:
            continue
        report = round((event["heard_s"] + epoch) * 1000 - at, 1)
        event["report_ms"] = report
        event["picture_ms"] = round(event["offset_ms"] + report, 1)
        reports.append(report)
        pictures.append(event["picture_ms"])
    summary = figures["summary"]
    summary["accounted"] = len(reports)
    if reports:
        summary.update({"report_median_ms": round(statistics.median(reports), 1), "report_worst_ms": worst(reports),
                        "picture_median_ms": round(statistics.median(pictures), 1), "picture_worst_ms": worst(pictures)})
    return figures


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--figures", required=True)
    ap.add_argument("--epoch", required=True)
    ap.add_argument("--clock", required=True)
    args = ap.parse_args()
    figures = json.load(open(args.figures))
    epoch = int(open(args.epoch).read())
    heard = json.load(open(args.clock))["heard"]
    split(figures, epoch, heard)
    for event in figures["events"]:
        if "report_ms" in event:
            print(f"music {event['music_ms']:6d} ms: heard {event['report_ms']:+6.1f} ms after the browser reported, "
                  f"picture {event['picture_ms']:+6.1f} ms after the report")
    json.dump(figures, open(args.figures, "w"), indent=1)


if __name__ == "__main__":
    main()
