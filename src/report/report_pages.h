// The pages of the manager's report laid out on a canvas: title and raters, the gap lists
// and rankings, the charts, the results table and the agreement table, and the footer.
#pragma once

#include "report_canvas.h"
#include "report_texts.h"

namespace rez {

// Margins of the report's pages, in points.
inline constexpr double PageMarginX = 50.0;
inline constexpr double PageMarginTop = 46.0;
inline constexpr double PageMarginBottom = 58.0;

void LayOutReport(ReportCanvas& canvas, const ReportDocument& document,
                  const ReportNumbers& numbers, char decimalSeparator);

// The footer of one page: the document's footer text and "стр. N из M".
void PaintFooter(QPainter& painter, const ReportCanvas& canvas, const ReportDocument& document,
                 int page, int pageCount);

} // namespace rez
