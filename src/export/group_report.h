// The four files of one group, as the Save commands would write them straight after the
// program's first Group run: used by rez-report.
#pragma once

#include "group_results.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

namespace rez {

// Renders one chart of the results in view 4 (self against the mean of the outside roles).
using ChartRenderer = std::function<QImage(const GroupResults&, bool scaleChart)>;

// The file name stem of a group: its GroupName with "/" replaced by "_", so that a name
// never reaches into another folder.
QString ReportFileStem(const std::string& groupName);

// The memo's text after the program's first Group run: the analysis lines, each ended.
QString FirstRunMemoText(const GroupResults& results, char decimalSeparator);

// Runs the Group analysis on `groupDir` and writes "<stem> Table.rtf", "<stem> An.rtf",
// "<stem> Scales.gif" and "<stem> Factors.gif" into `outDir`. Returns the paths written.
// Throws RezError; when the analysis fails, nothing is written.
QStringList WriteGroupReport(const QString& groupDir, const QString& outDir, char decimalSeparator,
                             const ChartRenderer& renderChart);

} // namespace rez
