#!/usr/bin/env bash
# Builds the benchmark programs in a Release tree (build/bench), runs them and prints every
# figure beside its target (bench/bench_table.py). The machine is shared: each time is the
# median of a few repetitions with the benchmarks interleaved, and the ratios compare figures
# of the same run. Whole processes (rez-report, the program's start to its first window) are
# timed from outside over several runs; the window's figures are taken under a private Xvfb
# display with openbox. Prints the table; exits 0 whether or not targets are met.
#
#   REZ_BENCH_REPETITIONS=N  repetitions of each benchmark (default 5)
#   scripts/bench.sh cohort  only the rez-report runs over made-up cohorts
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
command -v python3 >/dev/null || { echo "bench.sh needs python3 for its table" >&2; exit 1; }

build=build/bench
results=$build/results
repetitions=${REZ_BENCH_REPETITIONS:-5}

# Release (-O3). Warnings are not errors here: the dev preset gates them, and GCC 12 gives
# false -Wrestrict warnings at -O3 on string concatenation.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREZ_BUILD_TESTS=OFF \
  -DREZ_WARNINGS_AS_ERRORS=OFF >/dev/null
cmake --build "$build" -j2 --target bench_reader bench_group bench_gif bench_chart bench_window \
  bench_process bench_first_window make_cohort rez rez-report
rm -rf "$results"
mkdir -p "$results/pictures"

run_benchmark() {
  local name=$1
  echo "=== $name"
  "$build/bench/$name" --benchmark_repetitions="$repetitions" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_out="$results/$name.json" --benchmark_out_format=json |
    tee "$results/$name.log"
}

# rez-report over made-up cohorts (bench/make_cohort), files on a tmpfs so that file syncs do
# not dominate: 200 groups with and without the workbook (-w), runs interleaved; 1,000 groups
# of 10 files on one thread and on two (-j), interleaved; and 100 groups, whose peak memory
# the 1,000 groups' must not exceed without -w; 500 and 2,000 groups with -w, whose peak
# memory is held to 30 MB and 50 KB a group. The load average before the runs goes with the
# figures: -j 2 needs both cores.
cohort_runs() {
  echo "=== rez-report, cohorts"
  shm=/dev/shm
  [[ -d $shm && -w $shm ]] || shm=${TMPDIR:-/tmp}
  cohort=$(mktemp -d "$shm/rez-cohort.XXXXXX")
  "$build/bench/make_cohort" "$cohort/groups" 1000 10 >"$cohort/all"
  mapfile -t groups1000 <"$cohort/all"
  groups200=("${groups1000[@]:0:200}")
  groups100=("${groups1000[@]:0:100}")
  mkdir -p "$cohort/out"
  cut -d' ' -f1-3 /proc/loadavg >"$results/cohort_load.txt"
  report() { # report TSV ARG...: one timed run of rez-report, appended to TSV
    local tsv=$1
    shift
    QT_QPA_PLATFORM=offscreen "$build/bench/bench_process" --runs 1 --warmup 0 -- \
      "$build/bin/rez-report" -o "$cohort/out" "$@" >>"$results/$tsv"
  }
  : >"$results/cohort200.tsv"
  : >"$results/cohort200_workbook.tsv"
  : >"$results/cohort1000_j1.tsv"
  : >"$results/cohort1000_j2.tsv"
  : >"$results/cohort100_j2.tsv"
  report cohort_warmup.tsv "${groups200[@]}" # the output files exist from here on
  for _ in $(seq "$repetitions"); do
    report cohort200.tsv "${groups200[@]}"
    report cohort200_workbook.tsv -w "$cohort/out/cohort.xlsx" "${groups200[@]}"
  done
  for _ in $(seq 3); do
    report cohort1000_j1.tsv -j 1 "${groups1000[@]}"
    report cohort1000_j2.tsv -j 2 "${groups1000[@]}"
    report cohort100_j2.tsv -j 2 "${groups100[@]}"
  done
  # The workbook's memory, which grows with its sheets: 500 and 2,000 groups with -w, once
  # each (peak memory varies little from run to run).
  "$build/bench/make_cohort" "$cohort/more" 2000 10 >"$cohort/all2000"
  mapfile -t groups2000 <"$cohort/all2000"
  groups500=("${groups2000[@]:0:500}")
  : >"$results/cohort500_workbook.tsv"
  : >"$results/cohort2000_workbook.tsv"
  report cohort500_workbook.tsv -j 2 -w "$cohort/out/cohort.xlsx" "${groups500[@]}"
  report cohort2000_workbook.tsv -j 2 -w "$cohort/out/cohort.xlsx" "${groups2000[@]}"
  rm -rf "$cohort"
}

if [[ ${1:-} == cohort ]]; then # scripts/bench.sh cohort: these runs alone
  cohort_runs
  python3 bench/bench_table.py "$results"
  exit 0
fi

run_benchmark bench_reader
run_benchmark bench_group
run_benchmark bench_gif
QT_QPA_PLATFORM=offscreen run_benchmark bench_chart

# Our GIFs next to ImageMagick's of the same pictures: size, exactness and ImageMagick's time
# (a whole process, start-up included; the median of three runs).
echo "=== ImageMagick"
"$build/bench/bench_gif" --write_pictures="$results/pictures"
now_ns() { date +%s%N; }
: >"$results/imagemagick.tsv"
for name in chart_1019x261 chart_415x257 gradient_1019x261; do
  png=$results/pictures/$name.png
  ours=$results/pictures/$name.gif
  theirs=$results/pictures/$name.imagemagick.gif
  times=()
  for _ in 1 2 3; do
    start=$(now_ns)
    convert "$png" +dither GIF87:"$theirs"
    times+=("$(($(now_ns) - start))")
  done
  median_ns=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)
  # AE: the count of pixels that differ from the picture (compare prints it on stderr).
  ours_diff=$(compare -metric AE "$png" "$ours" null: 2>&1 || true)
  theirs_diff=$(compare -metric AE "$png" "$theirs" null: 2>&1 || true)
  # Charts have few colours, so both GIFs must hold them exactly and sizes compare fairly;
  # a picture of more colours is reduced differently by each encoder.
  exact=0
  if [[ $name == chart_* ]]; then exact=1; fi
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$(stat -c %s "$ours")" \
    "$(stat -c %s "$theirs")" "$(awk -v ns="$median_ns" 'BEGIN { printf "%.6f", ns / 1e9 }')" \
    "$ours_diff" "$theirs_diff" "$exact" >>"$results/imagemagick.tsv"
done

# rez-report over the three sample groups as a whole process, start-up included, beside
# rez-report --help (the same start-up: Qt and its offscreen platform, no group): wall and CPU
# time and the peak resident memory of each run.
echo "=== rez-report, whole process"
report_out=$(mktemp -d)
samples=("$build/bin/Data/Smirnov" "$build/bin/Data/Kuznetsova" "$build/bin/Data/Orlov")
QT_QPA_PLATFORM=offscreen "$build/bench/bench_process" --runs "$repetitions" --warmup 1 -- \
  "$build/bin/rez-report" -o "$report_out" "${samples[@]}" | tee "$results/rez_report.tsv"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_process" --runs "$repetitions" --warmup 1 -- \
  "$build/bin/rez-report" --help >"$results/rez_report_help.tsv"
rm -rf "$report_out"

cohort_runs

# The main window under Xvfb with a window manager (openbox), as on a desktop: maximised on a
# 1920 x 1080 screen.
echo "=== Main window under Xvfb"
display_number=90
while [[ -e /tmp/.X11-unix/X$display_number || -e /tmp/.X$display_number-lock ]]; do
  display_number=$((display_number + 1))
done
xvfb_pid="" wm_pid=""
stop_display() {
  local pid
  for pid in $wm_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  wm_pid="" xvfb_pid=""
}
trap stop_display EXIT
Xvfb ":$display_number" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display_number"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
openbox >/dev/null 2>&1 &
wm_pid=$!
# Openbox names itself on the root window once it manages the screen.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.05
done
export QT_QPA_PLATFORM=xcb

# In the process: main() to the first expose and paint, then the Group command on the Smirnov
# sample and the peak memory; each run beside a bare main window (the floor), interleaved.
: >"$results/window.tsv"
for _ in $(seq "$repetitions"); do
  "$build/bench/bench_window" --group="$build/bin/Data/Smirnov" 2>/dev/null >>"$results/window.tsv"
  "$build/bench/bench_window" --empty 2>/dev/null >>"$results/window.tsv"
done
cat "$results/window.tsv"

# From outside: from the start of the rez program to the first expose of its window, watched
# through the X server; and the same for the bare main window.
"$build/bench/bench_first_window" --runs "$repetitions" --title "КВИРО.REZ" -- \
  "$build/bin/rez" | tee "$results/first_window.tsv"
"$build/bench/bench_first_window" --runs "$repetitions" --title "Bench floor" -- \
  "$build/bench/bench_window" --empty >"$results/first_window_floor.tsv"

# A cross-check with xdotool: the time until `xdotool search` finds the window shown. Polled
# by hand, since --sync waits half a second between its searches; each search takes a few
# tens of milliseconds, so this is an upper bound, coarser than the figure above.
: >"$results/xdotool.tsv"
for _ in 1 2 3; do
  start=$EPOCHREALTIME
  "$build/bin/rez" >/dev/null 2>&1 &
  rez_pid=$!
  found=0
  for _ in $(seq 500); do
    xdotool search --onlyvisible --name "^КВИРО\.REZ" >/dev/null 2>&1 && { found=1; break; }
    sleep 0.005
  done
  end=$EPOCHREALTIME
  kill "$rez_pid"
  wait "$rez_pid" 2>/dev/null || true
  if ((found)); then
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }' >>"$results/xdotool.tsv"
  fi
done
unset QT_QPA_PLATFORM
stop_display
trap - EXIT

echo
echo "=== Figures (medians of $repetitions repetitions; results in $results)"
python3 bench/bench_table.py "$results"
