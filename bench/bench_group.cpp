// The Group run over a large group: 766 respondent files (one self-assessment, 255 each of
// managers, subordinates and colleagues), side by side with the floor of merely reading the
// same files into memory in the same order. The folder is made once per process.
#include "bench_files.h"
#include "bench_report.h"

#include "group_run.h"
#include "respondent_dir.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

using rez::bench::ScratchDir;

constexpr int FilesPerOutsideRole = 255;

struct BigGroup {
    ScratchDir dir{"group"};
    std::string dirText;
    std::vector<std::string> paths; // in listing order, as the Group run takes them
    int fileCount = 0;

    BigGroup() {
        fileCount = rez::bench::WriteGroupDirectory(dir.path(), FilesPerOutsideRole, true);
        dirText = dir.dirText();
        for (const std::string& name : rez::ListRespondentEntries(dirText))
            paths.push_back(dirText + name);
        if (static_cast<int>(paths.size()) != fileCount)
            throw std::runtime_error("group folder lists the wrong number of files");
        // The timed runs must be complete ones: every file read, every role counted.
        rez::LineBuffer buffer;
        const rez::GroupResults results = rez::RunGroup(dirText, '.', buffer);
        if (results.RespondentCounts[rez::rowSelf] != 1 ||
            results.RespondentCounts[rez::rowMean] != 3 * FilesPerOutsideRole)
            throw std::runtime_error("the Group run did not count every respondent");
    }
};

const BigGroup& TheGroup() {
    static const BigGroup group;
    return group;
}

void BM_GroupRun(benchmark::State& state) {
    const BigGroup& g = TheGroup();
    rez::LineBuffer buffer;
    for (auto _ : state) {
        const rez::GroupResults results = rez::RunGroup(g.dirText, '.', buffer);
        benchmark::DoNotOptimize(results.ScaleResults.data());
    }
    state.counters["files"] = g.fileCount;
    state.SetItemsProcessed(state.iterations() * g.fileCount);
}
BENCHMARK(BM_GroupRun)->Unit(benchmark::kMillisecond);

// The floor: open, read whole and close each file, in listing order, each into a new string.
void BM_ReadAllFiles(benchmark::State& state) {
    const BigGroup& g = TheGroup();
    for (auto _ : state) {
        std::size_t total = 0;
        for (const std::string& path : g.paths) {
            std::string bytes;
            if (!rez::bench::ReadWholeFile(path, bytes))
                state.SkipWithError("read failed");
            total += bytes.size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["files"] = g.fileCount;
    state.SetItemsProcessed(state.iterations() * g.fileCount);
}
BENCHMARK(BM_ReadAllFiles)->Unit(benchmark::kMillisecond);

// Listing and sorting the folder alone, a part of the Group run that the floor leaves out.
void BM_ListFolder(benchmark::State& state) {
    const BigGroup& g = TheGroup();
    for (auto _ : state)
        benchmark::DoNotOptimize(rez::ListRespondentEntries(g.dirText));
}
BENCHMARK(BM_ListFolder)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return rez::bench::RunBenchmarks(argc, argv, [](const rez::bench::FigureCollector& figures) {
        rez::bench::PrintRatio(figures, "Group run / read-only floor", "BM_GroupRun",
                               "BM_ReadAllFiles");
    });
}
