#!/usr/bin/env python3
"""Prints the benchmark figures of one scripts/bench.sh run as a table: figure, measured
value, target, ok/MISSED. Reads Google Benchmark's JSON files, the ImageMagick comparison
and the whole-process and window figures that the script wrote into one results folder.

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


def charts(chart):
    """Each chart in views 0 and 4: the render against its target, the fill beside it."""
    floors = {}
    for key, label in [("scale_1019x261", "scale chart 1019x261"),
                       ("factor_415x257", "factor chart 415x257")]:
        for view in (0, 4):
            case = f"{key}/view{view}"
            timed(f"Chart render, {label}, view {view}", chart.get(f"BM_RenderChart/{case}"),
                  10e-3)
            row("  its fill (ShowChartView)", duration(chart.get(f"BM_ShowChartView/{case}")))
        floors[label] = (chart.get(f"BM_RenderChart/{key}/view4"),
                         chart.get(f"BM_BlankPicture/{key}"))
    for label, (render, blank) in floors.items():
        if render and blank:
            row(f"  {label} view 4 render / blank picture of its size (allocate, clear)",
                f"{render / blank:.1f}x")


def numbers(path, column):
    """One column of a tab-separated file of numbers, as floats; [] when it is missing."""
    if not path.exists():
        return []
    return [float(line.split("\t")[column]) for line in path.read_text().splitlines()
            if line.strip()]


def min_median(values):
    return f"{duration(min(values))} / {duration(statistics.median(values))}"


def megabytes(kib):
    return f"{kib * 1024 / 1e6:.1f} MB"


def memory(figure, kib, limit_mb=100):
    if kib is None:
        row(figure, "not run", f"< {limit_mb} MB")
        return
    row(figure, megabytes(kib), f"< {limit_mb} MB", kib * 1024 / 1e6 < limit_mb)


def report_process(results):
    """rez-report on the three sample groups as a whole process (bench_process lines: wall,
    user, sys seconds, peak KiB, exit status), beside rez-report --help."""
    path = results / "rez_report.tsv"
    wall = numbers(path, 0)
    figure = "rez-report on the three sample groups, whole process (min / median)"
    if not wall:
        row(figure, "not run", "< 500 ms")
        memory("Peak memory of rez-report, three sample groups", None)
        return
    statuses = numbers(path, 4)
    if any(status != 0 for status in statuses):
        row(figure, "failed (exit status not 0)", "< 500 ms", False)
        return
    median = statistics.median(wall)
    row(figure, min_median(wall), "< 500 ms (median)", median < 0.5)
    cpu = [u + s for u, s in zip(numbers(path, 1), numbers(path, 2))]
    row("  its CPU time, user + system (median)", duration(statistics.median(cpu)))
    floor = numbers(results / "rez_report_help.tsv", 0)
    if floor:
        row("  rez-report --help, the start-up alone (median)",
            duration(statistics.median(floor)))
        row("  three groups / --help", f"{median / statistics.median(floor):.2f}x")
    memory("Peak memory of rez-report, three sample groups", max(numbers(path, 3)))


def cohort(results):
    """rez-report over made-up cohorts (bench_process lines, as for report_process)."""
    def runs(name):
        path = results / f"{name}.tsv"
        if any(status != 0 for status in numbers(path, 4)):
            return None
        wall = numbers(path, 0)
        return (statistics.median(wall), max(numbers(path, 3))) if wall else None

    load = results / "cohort_load.txt"
    if load.exists():
        row("Load average before the cohort runs (1, 5, 15 min)", load.read_text().strip())
    plain, workbook = runs("cohort200"), runs("cohort200_workbook")
    if plain and workbook:
        row("rez-report, 200 groups of 10 files (median)", duration(plain[0]))
        row("  with the workbook (-w)", duration(workbook[0]))
        ratio("  with -w / without", workbook[0], plain[0], 1.25)
        row("  peak memory without / with -w",
            f"{megabytes(plain[1])} / {megabytes(workbook[1])}")
    else:
        row("rez-report, 200 groups with and without -w", "not run", "<= 1.25x")
    serial, parallel, small = runs("cohort1000_j1"), runs("cohort1000_j2"), runs("cohort100_j2")
    if serial and parallel:
        row("rez-report, 1,000 groups of 10 files, -j 1 (median)", duration(serial[0]))
        row("  -j 2", duration(parallel[0]))
        ratio("  -j 2 / -j 1", parallel[0], serial[0], 0.6)
    else:
        row("rez-report, 1,000 groups, -j 2 / -j 1", "not run", "<= 0.6x")
    if parallel and small:
        row("Peak memory without -w (-j 2): 1,000 groups / 100 groups",
            f"{megabytes(parallel[1])} / {megabytes(small[1])}", "1,000 <= 100 (+2%)",
            parallel[1] <= small[1] * 1.02)
    # In binary units, as the peak is measured (KiB): 30 MiB and 50 KiB a group.
    for groups in (500, 2000):
        run = runs(f"cohort{groups}_workbook")
        limit_kib = 30 * 1024 + 50 * groups
        target = f"<= {limit_kib / 1024:.1f} MiB (30 MiB + 50 KiB a group)"
        figure = f"Peak memory with -w (-j 2), {groups:,} groups"
        if run:
            row(figure, f"{run[1] / 1024:.1f} MiB", target, run[1] <= limit_kib)
        else:
            row(figure, "not run", target)


def window(results):
    """The main window under Xvfb: bench_window lines (mode, figure, value) and the
    whole-process times of bench_first_window and of the xdotool cross-check."""
    figures = {}
    path = results / "window.tsv"
    if path.exists():
        for line in path.read_text().splitlines():
            mode, name, value = line.split("\t")
            figures.setdefault((mode, name), []).append(float(value))

    def median(mode, name):
        values = figures.get((mode, name))
        return statistics.median(values) if values else None

    def ms(mode, name):
        value = median(mode, name)
        return None if value is None else value / 1e3

    whole = numbers(results / "first_window.tsv", 0)
    figure = "Start to first shown window under Xvfb, whole process (min / median)"
    if whole:
        row(figure, min_median(whole), "< 500 ms (median)", statistics.median(whole) < 0.5)
        floor = numbers(results / "first_window_floor.tsv", 0)
        if floor:
            row("  a bare main window, whole process (median)",
                duration(statistics.median(floor)))
            row("  rez / bare main window",
                f"{statistics.median(whole) / statistics.median(floor):.2f}x")
    else:
        row(figure, "not run", "< 500 ms")
    polled = numbers(results / "xdotool.tsv", 0)
    if polled:
        row("  found by polling xdotool search (median; an upper bound)",
            duration(statistics.median(polled)))

    timed("Start to first shown window, in process: main() to end of first paint",
          ms("rez", "start_to_painted_ms"), 0.5)
    for name, label in [("application_ms", "QApplication"),
                        ("window_ms", "main window and About box built"),
                        ("show_to_expose_ms", "shown to first expose"),
                        ("first_paint_ms", "first paint")]:
        row(f"  {label}", duration(ms("rez", name)))
    rez, bare = ms("rez", "start_to_painted_ms"), ms("empty", "start_to_painted_ms")
    if bare is not None:
        row("  a bare main window, main() to end of first paint", duration(bare))
    if rez is not None and bare:
        row("  rez / bare main window", f"{rez / bare:.2f}x")

    memory("Peak memory after a Group run (VmHWM, Smirnov sample)", median("rez", "group_hwm_kib"))
    shown = median("rez", "shown_hwm_kib")
    if shown is not None:
        row("  peak memory when first shown, before the Group run", megabytes(shown))
    bare_kib = median("empty", "shown_hwm_kib")
    if bare_kib is not None:
        row("  a bare main window, shown", megabytes(bare_kib))
    row("  the Group command itself (Smirnov sample)", duration(ms("rez", "group_command_ms")))


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

    charts(medians(results / "bench_chart.json"))
    report_process(results)
    cohort(results)
    window(results)

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
