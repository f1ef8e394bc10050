// The results table: a string grid of the 31 result columns by 10 rows, row 0 a fixed header.
// Each cell is 28 x 20 pixels and followed by a 1-pixel grid line, inside a 2-pixel sunken
// border, so the grid is exactly 903 x 214 pixels. It has no scroll bars and cannot be
// edited or selected.
//
// It shows the results model: every completed run rewrites and repaints every cell. A cell's
// text stands 2 pixels in from its top-left corner; the difference rows show absolute
// values in bold, 25 pixels left of the cell's right edge, red where the self-assessment is
// higher and blue otherwise, by the stored sign (0.04 shows "0.0" in red).
#pragma once

#include "questionnaire.h"
#include "result_texts.h"

#include <QFrame>
#include <QString>

#include <array>

namespace rez {

class ResultsModel;

class ResultsGrid : public QFrame {
    Q_OBJECT
public:
    static constexpr int ColCount = ResultColumnCount;
    static constexpr int RowCount = TableRowCount;
    static constexpr int ColWidth = 28;  // pixels, every column
    static constexpr int RowHeight = 20; // pixels, every row
    static constexpr int GridLineWidth = 1;
    static constexpr int BorderWidth = 2;
    // A difference cell's text starts this many pixels left of the cell's right edge.
    static constexpr int DifferenceTextOffset = 25;

    // `model` outlives the grid (both belong to the main window).
    explicit ResultsGrid(const ResultsModel& model, QWidget* parent = nullptr);

    // Cell texts by column and row, both from 0; row 0 is the header row. Empty outside the
    // grid.
    QString cell(int col, int row) const;

    // The cell's rectangle in widget coordinates, grid line excluded.
    static QRect cellRect(int col, int row);

    // Paints the whole grid, border included, onto `painter` at the grid's size.
    void paintGrid(QPainter& painter) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showResults();
    void paintDifference(QPainter& painter, int col, int row, const QRect& rect) const;

    const ResultsModel& model_;
    std::array<std::array<QString, ColCount>, RowCount> cells_;
};

} // namespace rez
