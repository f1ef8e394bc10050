#include "results_grid.h"

#include "results_model.h"
#include "table_index.h"
#include "widget_fonts.h"

#include <QPainter>
#include <qdrawutil.h>

namespace rez {
namespace {

constexpr int CellPitchX = ResultsGrid::ColWidth + ResultsGrid::GridLineWidth;
constexpr int CellPitchY = ResultsGrid::RowHeight + ResultsGrid::GridLineWidth;
constexpr int GridWidth = 2 * ResultsGrid::BorderWidth + ResultsGrid::ColCount * CellPitchX;
constexpr int GridHeight = 2 * ResultsGrid::BorderWidth + ResultsGrid::RowCount * CellPitchY;
// The rows are 21 pixels apart, the view buttons' height, so each button stands beside its
// row; the grid fills its place in the panel exactly.
static_assert(CellPitchY == 21);
static_assert(GridWidth == 903 && GridHeight == 214);

// Where the grid's own painting puts a cell's text, from the cell's top-left corner.
constexpr int TextInset = 2;

const QColor HeaderLineColour{0, 0, 0};
const QColor DataLineColour{192, 192, 192};

bool InGrid(int col, int row) {
    return col >= 0 && col < ResultsGrid::ColCount && row >= 0 && row < ResultsGrid::RowCount;
}

} // namespace

ResultsGrid::ResultsGrid(const ResultsModel& model, QWidget* parent)
    : QFrame(parent)
    , model_(model) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFont(PixelFont(QStringLiteral("Courier New"), 13));
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(GridWidth, GridHeight);
    for (int col = 0; col < ColCount; ++col)
        cells_[0][At(col)] = QString::fromUtf8(TableHeaderTexts[At(col)]);
    connect(&model, &ResultsModel::resultsReplaced, this, &ResultsGrid::showResults);
}

QString ResultsGrid::cell(int col, int row) const {
    return InGrid(col, row) ? cells_[At(row)][At(col)] : QString();
}

void ResultsGrid::showResults() {
    const TableCells texts = BuildTableCells(model_.results(), model_.decimalSeparator());
    for (int row = 0; row < RowCount; ++row)
        for (int col = 0; col < ColCount; ++col)
            cells_[At(row)][At(col)] = QString::fromStdString(texts[At(row)][At(col)]);
    // The difference rows' colours come from the results, not from the texts: a cell whose
    // text stayed the same may change its colour, so every cell is painted again.
    update();
}

QRect ResultsGrid::cellRect(int col, int row) {
    return {BorderWidth + col * CellPitchX, BorderWidth + row * CellPitchY, ColWidth, RowHeight};
}

QSize ResultsGrid::sizeHint() const {
    return {GridWidth, GridHeight};
}

void ResultsGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintGrid(painter);
}

void ResultsGrid::paintGrid(QPainter& painter) const {
    const QPalette& pal = palette();
    qDrawWinPanel(&painter, 0, 0, GridWidth, GridHeight, pal, true);
    for (int row = 0; row < RowCount; ++row) {
        const bool header = row == 0;
        for (int col = 0; col < ColCount; ++col) {
            const QRect r = cellRect(col, row);
            // The grid line right of the cell and the one below it, with the corner.
            painter.fillRect(r.right() + 1, r.top(), GridLineWidth, RowHeight + GridLineWidth,
                             header ? HeaderLineColour : DataLineColour);
            painter.fillRect(r.left(), r.bottom() + 1, ColWidth, GridLineWidth,
                             header ? HeaderLineColour : DataLineColour);

            painter.save();
            painter.setFont(font());
            if (header) {
                painter.fillRect(r, pal.color(QPalette::Button));
                // A raised edge, as fixed cells have.
                painter.setPen(pal.color(QPalette::Light));
                painter.drawLine(r.topLeft(), r.topRight());
                painter.drawLine(r.topLeft(), r.bottomLeft());
                painter.setPen(pal.color(QPalette::Dark));
                painter.drawLine(r.bottomLeft(), r.bottomRight());
                painter.drawLine(r.topRight(), r.bottomRight());
            } else {
                painter.fillRect(r, pal.color(QPalette::Base));
            }
            if (IsDifferenceRow(row)) {
                paintDifference(painter, col, row, r);
            } else if (const QString& text = cells_[At(row)][At(col)]; !text.isEmpty()) {
                painter.setPen(Qt::black);
                painter.drawText(r.adjusted(TextInset, TextInset, 0, 0),
                                 Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
            }
            painter.restore();
        }
    }
}

void ResultsGrid::paintDifference(QPainter& painter, int col, int row, const QRect& rect) const {
    const QString& text = cells_[At(row)][At(col)];
    if (text.isEmpty())
        return;
    const double d = model_.results().SelfDifferences[At(ResultRowOfTableRow(row) - 1)][At(col)];
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(d > 0 ? QColor(Qt::red) : QColor(Qt::blue));
    // Wider than the cell so that a four-character value is not cut by the text layout; the
    // clip keeps it inside the cell, as the grid's own painting does.
    const QRect textRect(rect.right() + 1 - DifferenceTextOffset, rect.top() + TextInset,
                         DifferenceTextOffset + 8, rect.height() - TextInset);
    painter.setClipRect(rect);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

} // namespace rez
