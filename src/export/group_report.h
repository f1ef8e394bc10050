// The files of one group, as the Save commands would write them straight after the program's
// first Group run: used by rez-report.
#pragma once

#include "atomic_file.h"
#include "group_results.h"

#include <QImage>
#include <QString>

#include <filesystem>
#include <functional>
#include <vector>

namespace rez {

// Renders one chart of the results in view 4 (self against the mean of the outside roles).
using ChartRenderer = std::function<QImage(const GroupResults&, bool scaleChart)>;

// The memo's text after the program's first Group run: the analysis lines, each ended.
QString FirstRunMemoText(const GroupResults& results, char decimalSeparator);

// The Group run on a folder given as a path (bytes as given, see PathFromBytes).
GroupResults RunGroupIn(const std::filesystem::path& groupDir, char decimalSeparator);

// "<stem> Table.rtf", "<stem> An.rtf", "<stem> Scales.gif" and "<stem> Factors.gif" of the
// results in `outDir` (stem: ReportFileStem of the GroupName), composed but not yet written:
// WriteFiles writes them all or none. Throws RezError when a text cannot be encoded.
std::vector<FileBytes> GroupReportFiles(const GroupResults& results,
                                        const std::filesystem::path& outDir, char decimalSeparator,
                                        const ChartRenderer& renderChart);

} // namespace rez
