#include "group_report.h"

#include "export_files.h"
#include "file_names.h"
#include "group_run.h"
#include "result_texts.h"

namespace rez {

QString FirstRunMemoText(const GroupResults& results, char sep) {
    QString text;
    for (const std::string& line : BuildAnalysisLines(results, sep))
        text += QString::fromStdString(line) + u'\n';
    return text;
}

GroupResults RunGroupIn(const std::filesystem::path& groupDir, char sep) {
    std::string dir = BytesOfPath(groupDir);
    if (dir.empty() || (dir.back() != '/' && dir.back() != '\\'))
        dir += '/';
    LineBuffer buffer;
    return RunGroup(dir, sep, buffer);
}

std::vector<FileBytes> GroupReportFiles(const GroupResults& results,
                                        const std::filesystem::path& outDir, char sep,
                                        const ChartRenderer& renderChart) {
    // The stem is a name of its own in outDir, also when it is empty (" Table.rtf"); it never
    // holds a separator.
    const std::string stem = ReportFileStem(results.GroupName);
    const auto target = [&](std::string_view suffix) {
        return outDir / PathFromBytes(stem + std::string(suffix));
    };
    std::vector<FileBytes> files;
    files.push_back({target(" Table.rtf"),
                     EncodeLines(BuildTableLines(results, BuildTableCells(results, sep), sep))});
    files.push_back({target(" An.rtf"), EncodeMemoText(FirstRunMemoText(results, sep))});
    files.push_back({target(" Scales.gif"), EncodeChartGif(renderChart(results, true))});
    files.push_back({target(" Factors.gif"), EncodeChartGif(renderChart(results, false))});
    return files;
}

} // namespace rez
