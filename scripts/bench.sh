#!/usr/bin/env bash
# Builds the benchmark programs in a Release tree (build/bench), runs them and prints every
# figure beside its target (bench/bench_table.py). The machine is shared: each time is the
# median of a few repetitions with the benchmarks interleaved, and the ratios compare figures
# of the same run. Prints the table; exits 0 whether or not targets are met.
#
#   REZ_BENCH_REPETITIONS=N  repetitions of each benchmark (default 5)
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
cmake --build "$build" --target bench_reader bench_group bench_gif
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

run_benchmark bench_reader
run_benchmark bench_group
run_benchmark bench_gif

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

# Figures measured by programs still to come: each TODO line below stands for one, and is
# to be replaced by its measurement, which hands its row to add_figure.
add_figure() { # figure, measured value, target, ok|MISSED|info
  printf '%s\t%s\t%s\t%s\n' "$@" >>"$results/more.tsv"
}
not_measured() { add_figure "$1" "not measured yet" "$2" "-"; }
: >"$results/more.tsv"
# TODO(chart render): the chart rendering benchmark, each view.
not_measured "Chart render, each view" "< 10 ms"
# TODO(rez-report): rez-report over the three sample groups as a whole process (hyperfine,
# or the median of a few runs of /usr/bin/time -v, which also gives the peak memory below).
not_measured "rez-report on the three sample groups, whole process" "< 500 ms"
# TODO(start-up): from the program's start to its first shown window, under Xvfb.
not_measured "Start to first shown window under Xvfb" "< 500 ms"
# TODO(peak memory): the program's peak memory after a Group run, and rez-report's.
not_measured "Peak memory after a Group run" "< 100 MB"
not_measured "Peak memory of rez-report" "< 100 MB"

echo
echo "=== Figures (medians of $repetitions repetitions; results in $results)"
python3 bench/bench_table.py "$results"
