// The results table: a string grid of 31 columns by 10 rows whose row 0 is a fixed header.
// Each cell is 28 x 20 pixels and followed by a 1-pixel grid line, inside a 2-pixel sunken
// border, so the grid is exactly 903 x 214 pixels. It has no scroll bars and cannot be
// edited or selected. It paints each cell itself (background, then the text 2 pixels in from
// the cell's top-left corner in the grid's font) and then calls the draw-cell hook, so an
// owner-drawn rule can paint over the grid's own painting of that cell.
#pragma once

#include <QFrame>
#include <QString>

#include <array>
#include <functional>

namespace rez {

class ResultsGrid : public QFrame {
    Q_OBJECT
public:
    static constexpr int ColCount = 31;
    static constexpr int RowCount = 10;
    static constexpr int ColWidth = 28;  // pixels, every column
    static constexpr int RowHeight = 20; // pixels, every row
    static constexpr int GridLineWidth = 1;
    static constexpr int BorderWidth = 2;

    // Called for every painted cell after the grid's own painting of it, with the painter
    // set to the grid's font and text colour; the grid restores both for the next cell.
    using DrawCellHook =
        std::function<void(QPainter& painter, int col, int row, const QRect& cellRect)>;

    explicit ResultsGrid(QWidget* parent = nullptr);

    // Cell texts by column and row, both from 0; row 0 is the header row.
    const QString& cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    // Empties every cell of `row`.
    void clearRow(int row);

    // The cell's rectangle in widget coordinates, grid line excluded.
    static QRect cellRect(int col, int row);

    void setDrawCellHook(DrawCellHook hook);

    // Paints the whole grid, border included, onto `painter` at the grid's logical size.
    void paintGrid(QPainter& painter) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static std::size_t indexOf(int col, int row);

    std::array<QString, ColCount * RowCount> cells_;
    DrawCellHook drawCell_;
};

// The header text of result column `col` (0 to 30): " A " for a scale (" K" for column 15),
// "Ф.1" for a phase, "F.1" for a factor.
QString ResultsHeaderText(int col);

} // namespace rez
