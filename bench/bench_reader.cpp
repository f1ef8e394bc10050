// One respondent file, read as the Group run reads each file: open and read, unscramble,
// split into lines, decode them to UTF-8 and parse the 23 scale totals. The steps are also
// timed one by one, and the plain read of the same file is the floor.
#include "bench_files.h"
#include "bench_report.h"

#include "cp1251.h"
#include "questionnaire.h"
#include "respondent_file.h"
#include "scramble.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

using rez::bench::ScratchDir;

// The file is written once per process, on first use.
struct OneFile {
    ScratchDir dir{"reader"};
    std::string path;
    std::string scrambled; // the file's bytes
    std::string plain;     // unscrambled, still Windows-1251

    OneFile() {
        const auto file = dir.path() / "2-017REZ.cry";
        rez::bench::WriteRespondentFile(file, rez::bench::MadeUpRespondentLines(2, 17, 17));
        path = dir.dirText() + "2-017REZ.cry";
        if (!rez::bench::ReadWholeFile(path, scrambled))
            throw std::runtime_error("cannot read back " + path);
        plain = rez::UnscrambleText(scrambled);
    }
};

const OneFile& TheFile() {
    static const OneFile file;
    return file;
}

double SumOfScales(const rez::RespondentFile& file) {
    double sum = 0;
    for (int s = 0; s < rez::ScaleCount; ++s)
        sum += rez::ScaleValue(file, s, '.');
    return sum;
}

// The whole job for one file: what the Group run does per respondent, apart from its lists.
void BM_ReadAndParseFile(benchmark::State& state) {
    const OneFile& f = TheFile();
    rez::LineBuffer buffer;
    for (auto _ : state) {
        const rez::RespondentFile file = rez::ReadRespondentFile(f.path, buffer);
        benchmark::DoNotOptimize(SumOfScales(file));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.scrambled.size()));
}
BENCHMARK(BM_ReadAndParseFile)->Unit(benchmark::kMicrosecond);

// The floor: open, read the whole file into memory, close.
void BM_ReadFileBytes(benchmark::State& state) {
    const OneFile& f = TheFile();
    std::string bytes;
    for (auto _ : state) {
        if (!rez::bench::ReadWholeFile(f.path, bytes))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMicrosecond);

// The in-memory steps, one by one.
void BM_Unscramble(benchmark::State& state) {
    const OneFile& f = TheFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(rez::UnscrambleText(f.scrambled));
}
BENCHMARK(BM_Unscramble)->Unit(benchmark::kMicrosecond);

void BM_SplitAndDecodeLines(benchmark::State& state) {
    const OneFile& f = TheFile();
    rez::LineBuffer lines;
    for (auto _ : state) {
        rez::SplitLines(f.plain, lines);
        for (std::string& line : lines)
            line = rez::DecodeCp1251(line);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_SplitAndDecodeLines)->Unit(benchmark::kMicrosecond);

void BM_ParseScaleTotals(benchmark::State& state) {
    const OneFile& f = TheFile();
    rez::LineBuffer lines;
    const rez::RespondentFile file = rez::ReadRespondentFile(f.path, lines);
    for (auto _ : state)
        benchmark::DoNotOptimize(SumOfScales(file));
}
BENCHMARK(BM_ParseScaleTotals)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return rez::bench::RunBenchmarks(argc, argv, [](const rez::bench::FigureCollector& figures) {
        rez::bench::PrintRatio(figures, "Reader / read-only floor", "BM_ReadAndParseFile",
                               "BM_ReadFileBytes");
    });
}
