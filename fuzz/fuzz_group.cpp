// Fuzzes a whole Group run: the input describes a directory of up to 16 files, each as
// [first character of its name][length, 2 bytes little-endian][stored bytes]; the run and
// every text built from its results must never crash, hang or read out of bounds, and a run
// that completes has only finite results.

#include "chart_views.h"
#include "group_run.h"
#include "result_texts.h"
#include "rez_error.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // In memory where the machine offers it: file creation dominates the run's time.
    static const fs::path dir =
        (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
        ("rez-fuzz-group-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);

    std::size_t pos = 0;
    for (int i = 0; i < 16 && pos + 3 <= size; ++i) {
        const char first = static_cast<char>(data[pos]);
        const std::size_t length = data[pos + 1] | (static_cast<std::size_t>(data[pos + 2]) << 8);
        pos += 3;
        const std::size_t take = std::min(length, size - pos);
        std::string name = std::string(1, first == '/' || first == '\0' ? '_' : first) +
                           std::to_string(i) + "REZ.cry";
        std::ofstream out(dir / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data + pos), static_cast<std::streamsize>(take));
        pos += take;
    }

    rez::LineBuffer buffer;
    for (const char sep : {'.', ','}) {
        try {
            const rez::GroupResults r = rez::RunGroup(dir.string() + "/", sep, buffer);
            for (int row = 0; row < rez::RowCount; ++row)
                for (int column = 0; column < rez::ResultColumnCount; ++column)
                    if (!std::isfinite(r.CellValue(row, column)))
                        std::abort();
            const auto cells = rez::BuildTableCells(r, sep);
            (void)rez::BuildTableLines(r, cells, sep);
            (void)rez::BuildAnalysisLines(r, sep);
            for (int v = 0; v < rez::ViewCount; ++v) {
                const auto view = static_cast<rez::View>(v);
                (void)rez::BuildChartView(r, rez::ChartKind::Scales, view);
                (void)rez::BuildChartView(r, rez::ChartKind::PhasesAndFactors, view);
            }
        } catch (const rez::RezError&) {
        }
    }
    return 0;
}
