#include "group_report.h"

#include "export_files.h"
#include "group_run.h"
#include "result_texts.h"

#include <QDir>

namespace rez {

QString ReportFileStem(const std::string& groupName) {
    QString stem = QString::fromStdString(groupName);
    stem.replace(u'/', u'_');
    return stem;
}

QString FirstRunMemoText(const GroupResults& results, char sep) {
    QString text;
    for (const std::string& line : BuildAnalysisLines(results, sep))
        text += QString::fromStdString(line) + u'\n';
    return text;
}

QStringList WriteGroupReport(const QString& groupDir, const QString& outDir, char sep,
                             const ChartRenderer& renderChart) {
    QString dir = QDir::fromNativeSeparators(groupDir);
    if (!dir.endsWith(u'/'))
        dir += u'/';
    LineBuffer buffer;
    const GroupResults results = RunGroup(dir.toStdString(), sep, buffer);

    // Joined by hand: QDir::filePath("") would give the folder itself, and an empty group
    // name would put " Table.rtf" beside the folder instead of in it.
    const QString base = QDir(outDir).path() + u'/' + ReportFileStem(results.GroupName);
    const QString table = base + QStringLiteral(" Table.rtf");
    const QString analysis = base + QStringLiteral(" An.rtf");
    const QString scales = base + QStringLiteral(" Scales.gif");
    const QString factors = base + QStringLiteral(" Factors.gif");
    SaveTableFile(table, BuildTableLines(results, BuildTableCells(results, sep), sep));
    SaveAnalysisFile(analysis, FirstRunMemoText(results, sep));
    SaveChartGif(scales, renderChart(results, true));
    SaveChartGif(factors, renderChart(results, false));
    return {table, analysis, scales, factors};
}

} // namespace rez
