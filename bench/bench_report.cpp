#include "bench_report.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define REZ_BENCH_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define REZ_BENCH_ISATTY(fd) ::isatty(fd)
#endif

namespace rez::bench {

namespace {

// Seconds as milliseconds, or as microseconds below one millisecond.
std::string Duration(double seconds) {
    char text[32];
    if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    return text;
}

} // namespace

FigureCollector::FigureCollector()
    : ConsoleReporter(REZ_BENCH_ISATTY(1) ? OO_ColorTabular : OO_Tabular) {}

void FigureCollector::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        // Aggregates (mean, median, ...) are recomputed from the repetitions themselves.
        if (run.run_type != Run::RT_Iteration || run.error_occurred)
            continue;
        seconds_[run.run_name.str()].push_back(run.GetAdjustedRealTime() /
                                               benchmark::GetTimeUnitMultiplier(run.time_unit));
    }
}

std::optional<double> FigureCollector::Seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    if (found == seconds_.end() || found->second.empty())
        return std::nullopt;
    std::vector<double> values = found->second;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintRatio(const FigureCollector& figures, const std::string& what,
                const std::string& numerator, const std::string& denominator) {
    const auto top = figures.Seconds(numerator);
    const auto bottom = figures.Seconds(denominator);
    if (!top || !bottom || *bottom <= 0)
        return;
    std::printf("%s: %.2f (%s %s / %s %s)\n", what.c_str(), *top / *bottom, numerator.c_str(),
                Duration(*top).c_str(), denominator.c_str(), Duration(*bottom).c_str());
}

int RunBenchmarks(int argc, char** argv,
                  const std::function<void(const FigureCollector&)>& summary) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    FigureCollector figures;
    benchmark::RunSpecifiedBenchmarks(&figures);
    benchmark::Shutdown();
    std::fflush(stdout);
    summary(figures);
    std::fflush(stdout);
    return 0;
}

} // namespace rez::bench
