#!/usr/bin/env python3
"""Prints the benchmark figures of one scripts/bench.sh run as a table: figure, measured
value, target, ok/MISSED. Reads Google Benchmark's JSON files, the ImageMagick comparison
and the further rows (more.tsv) that the script wrote into one results folder.

Each time is the median of the repetitions of one run; ratios compare figures measured in
that same run, which matters on a shared machine where absolute times drift."""

import json
import statistics
import sys
from pathlib import Path


def medians(path):
    """Median real time in seconds of every benchmark in a JSON file, by its name."""
    if not path.exists():
        return {}
    times = {}
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    for run in json.loads(path.read_text())["benchmarks"]:
        if run.get("run_type") != "iteration" or run.get("error_occurred"):
            continue
        name = run.get("run_name", run["name"])
        times.setdefault(name, []).append(run["real_time"] * scale[run["time_unit"]])
    return {name: statistics.median(values) for name, values in times.items()}


def duration(seconds):
    if seconds is None:
        return "not run"
    if seconds >= 1e-3:
        return f"{seconds * 1e3:.2f} ms"
    return f"{seconds * 1e6:.2f} us"


rows = []


def row(figure, value, target="", ok=None):
    """ok: True, False, or None for a figure with no target."""
    status = "info" if ok is None else ("ok" if ok else "MISSED")
    if value == "not run":
        status = "-"
    rows.append((figure, value, target, status))


def limit_text(seconds):
    return f"< {seconds * 1e3:g} ms"


def timed(figure, seconds, limit):
    row(figure, duration(seconds), limit_text(limit),
        None if seconds is None else seconds < limit)


def ratio(figure, top, bottom, limit):
    if top is None or bottom is None:
        row(figure, "not run", f"<= {limit:g}x")
        return
    value = top / bottom
    row(figure, f"{value:.2f}x", f"<= {limit:g}x", value <= limit)


def main(results):
    reader = medians(results / "bench_reader.json")
    group = medians(results / "bench_group.json")
    gif = medians(results / "bench_gif.json")

    row("Reader: one respondent file (read, unscramble, split, 23 scales)",
        duration(reader.get("BM_ReadAndParseFile")))
    row("  the same file, plain read (floor)", duration(reader.get("BM_ReadFileBytes")))
    if reader.get("BM_ReadAndParseFile") and reader.get("BM_ReadFileBytes"):
        row("  reader / plain read",
            f"{reader['BM_ReadAndParseFile'] / reader['BM_ReadFileBytes']:.2f}x")

    run, floor = group.get("BM_GroupRun"), group.get("BM_ReadAllFiles")
    timed("Group run, 766 files", run, 50e-3)
    row("  plain read of the same 766 files (floor)", duration(floor))
    ratio("  Group run / plain read", run, floor, 3)

    pictures = [("chart_1019x261", "chart 1019x261"), ("chart_415x257", "chart 415x257"),
                ("gradient_1019x261", "gradient 1019x261, >256 colours")]
    for key, label in pictures:
        timed(f"GIF encode, {label}", gif.get(f"BM_EncodeChartGif/{key}"), 10e-3)
    row("GIF encode, full-colour 1019x261 (stress: every pixel its own colour)",
        duration(gif.get("BM_EncodeChartGif/fullcolour_1019x261")))

    compared = results / "imagemagick.tsv"
    if compared.exists():
        for line in compared.read_text().splitlines():
            name, ours, theirs, seconds, ours_diff, theirs_diff, exact = line.split("\t")
            ours, theirs = int(ours), int(theirs)
            target = "ours <= ImageMagick" if exact == "1" else ""
            row(f"GIF size, {name}: ours / ImageMagick",
                f"{ours} / {theirs} B ({ours / theirs:.4f})", target,
                ours <= theirs if exact == "1" else None)
            if exact == "1":
                row("  pixels differing from the picture: ours, ImageMagick's",
                    f"{ours_diff}, {theirs_diff}", "0", ours_diff == "0")
            row("  ImageMagick convert, whole process", duration(float(seconds)))
    else:
        row("GIF size against ImageMagick", "not run")

    # Rows the script measured itself, or marked as not measured yet.
    more = results / "more.tsv"
    if more.exists():
        for line in more.read_text().splitlines():
            rows.append(tuple(line.split("\t")))

    widths = [max(len(r[i]) for r in rows + [("figure", "measured", "target", "")])
              for i in range(4)]
    header = ("figure", "measured", "target", "")
    for r in [header] + rows:
        print("  ".join(r[i].ljust(widths[i]) for i in range(4)).rstrip())
    met = sum(1 for r in rows if r[3] == "ok")
    missed = sum(1 for r in rows if r[3] == "MISSED")
    print(f"\n{met} targets met, {missed} missed")


if __name__ == "__main__":
    main(Path(sys.argv[1]))
