#include "results_grid.h"

#include "questionnaire.h"
#include "widget_fonts.h"

#include <QPainter>
#include <qdrawutil.h>

#include <cassert>

namespace rez {
namespace {

constexpr int CellPitchX = ResultsGrid::ColWidth + ResultsGrid::GridLineWidth;
constexpr int CellPitchY = ResultsGrid::RowHeight + ResultsGrid::GridLineWidth;
constexpr int GridWidth = 2 * ResultsGrid::BorderWidth + ResultsGrid::ColCount * CellPitchX;
constexpr int GridHeight = 2 * ResultsGrid::BorderWidth + ResultsGrid::RowCount * CellPitchY;
static_assert(GridWidth == 903 && GridHeight == 214);

// Where the grid's own painting puts a cell's text, from the cell's top-left corner.
constexpr int TextInset = 2;

const QColor HeaderLineColour{0, 0, 0};
const QColor DataLineColour{192, 192, 192};

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString ResultsHeaderText(int col) {
    assert(col >= 0 && col < ResultColumnCount);
    const ResultColumn column = ResultColumns[static_cast<std::size_t>(col)];
    const auto index = static_cast<std::size_t>(column.index);
    if (!column.isScale())
        return Utf8(PhaseFactorLabels[index]);
    // Column 15 (scale K) has no trailing blank.
    const QString letter = Utf8(ScaleLetters[index]);
    return col == 15 ? u' ' + letter : u' ' + letter + u' ';
}

ResultsGrid::ResultsGrid(QWidget* parent)
    : QFrame(parent) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFont(PixelFont(QStringLiteral("Courier New"), 13));
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(GridWidth, GridHeight);
}

std::size_t ResultsGrid::indexOf(int col, int row) {
    assert(col >= 0 && col < ColCount && row >= 0 && row < RowCount);
    return static_cast<std::size_t>(row * ColCount + col);
}

const QString& ResultsGrid::cell(int col, int row) const {
    return cells_[indexOf(col, row)];
}

void ResultsGrid::setCell(int col, int row, const QString& text) {
    QString& stored = cells_[indexOf(col, row)];
    if (stored == text)
        return;
    stored = text;
    update(cellRect(col, row));
}

void ResultsGrid::clearRow(int row) {
    for (int col = 0; col < ColCount; ++col)
        setCell(col, row, QString());
}

QRect ResultsGrid::cellRect(int col, int row) {
    return {BorderWidth + col * CellPitchX, BorderWidth + row * CellPitchY, ColWidth, RowHeight};
}

void ResultsGrid::setDrawCellHook(DrawCellHook hook) {
    drawCell_ = std::move(hook);
    update();
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
            painter.setPen(Qt::black);
            if (header) {
                painter.fillRect(r, pal.color(QPalette::Button));
                // A raised edge, as fixed cells have.
                painter.setPen(pal.color(QPalette::Light));
                painter.drawLine(r.topLeft(), r.topRight());
                painter.drawLine(r.topLeft(), r.bottomLeft());
                painter.setPen(pal.color(QPalette::Dark));
                painter.drawLine(r.bottomLeft(), r.bottomRight());
                painter.drawLine(r.topRight(), r.bottomRight());
                painter.setPen(Qt::black);
            } else {
                painter.fillRect(r, pal.color(QPalette::Base));
            }
            painter.setBackground(header ? pal.button() : pal.base());
            const QString& text = cell(col, row);
            if (!text.isEmpty())
                painter.drawText(r.adjusted(TextInset, TextInset, 0, 0),
                                 Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
            if (drawCell_)
                drawCell_(painter, col, row, r);
            painter.restore();
        }
    }
}

} // namespace rez
