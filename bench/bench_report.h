// The main function shared by the benchmark programs: Google Benchmark's usual run, plus a
// closing summary of ratios between benchmarks of the same run. The machine is shared and
// noisy, so a ratio of two figures measured side by side says more than either figure alone.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rez::bench {

// Shows every run as the console reporter does and keeps each benchmark's real time per
// iteration, so that the summary can compare them.
class FigureCollector : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that a saved log stays plain text.
    FigureCollector();
    void ReportRuns(const std::vector<Run>& runs) override;

    // Real time per iteration of the benchmark `name` (as listed, e.g. "BM_GroupRun"), in
    // seconds: the median over its repetitions. Empty when it did not run or failed.
    std::optional<double> Seconds(const std::string& name) const;

private:
    std::map<std::string, std::vector<double>> seconds_;
};

// Prints "<what>: <numerator / denominator>" when both ran.
void PrintRatio(const FigureCollector& figures, const std::string& what,
                const std::string& numerator, const std::string& denominator);

// Parses Google Benchmark's flags, runs the selected benchmarks through a FigureCollector and
// then calls `summary`. Returns the exit code for main.
int RunBenchmarks(int argc, char** argv,
                  const std::function<void(const FigureCollector&)>& summary);

} // namespace rez::bench
