// The program's pictures, painted in code so that no image file has to ship: one small
// picture per menu command and the program's own icon.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace rez {

QIcon GroupIcon();    // an open folder with bars: read a group
QIcon CohortIcon();   // folders behind one another: run many groups
QIcon SaveIcon();     // a diskette
QIcon AnalysisIcon(); // a page of text
QIcon TableIcon();    // a grid with a header row
QIcon PlotsIcon();    // a bar chart
QIcon ReportIcon();   // a printed page with a small chart: the manager's report

// The program's picture at `size` x `size` pixels, and the window icon made from it.
QPixmap AppPicture(int size);
QIcon AppIcon();

} // namespace rez
