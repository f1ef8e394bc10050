#include "results_grid.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using rez::ResultsGrid;

QImage Render(const ResultsGrid& grid) {
    QImage image(grid.size(), QImage::Format_RGB32);
    image.fill(Qt::green); // anything the grid leaves unpainted shows up green
    QPainter painter(&image);
    grid.paintGrid(painter);
    return image;
}

// Pixels of `colour` inside `area`.
int CountColour(const QImage& image, const QRect& area, QColor colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

// The bounding box of the pixels inside `area` that `ink` accepts.
template <typename Ink> QRect InkBounds(const QImage& image, const QRect& area, Ink ink) {
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (ink(image.pixelColor(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Black text, antialiased edges included; red is not dark.
bool Dark(QColor c) {
    return c.red() < 110 && c.green() < 110 && c.blue() < 110;
}

bool Reddish(QColor c) {
    return c.red() > 160 && c.green() < 100 && c.blue() < 100;
}

TEST(ResultsGrid, FillsItsSizeExactlyWithCellsLinesAndBorder) {
    ResultsGrid grid;
    EXPECT_EQ(grid.size(), QSize(903, 214));
    // 28 x 20 cells on a 29 x 21 pitch inside the 2-pixel border; the last grid lines sit
    // right against the border.
    EXPECT_EQ(ResultsGrid::cellRect(0, 0), QRect(2, 2, 28, 20));
    EXPECT_EQ(ResultsGrid::cellRect(15, 3), QRect(437, 65, 28, 20));
    const QRect last = ResultsGrid::cellRect(30, 9);
    EXPECT_EQ(last, QRect(872, 191, 28, 20));
    EXPECT_EQ(last.right() + 1 + ResultsGrid::GridLineWidth + ResultsGrid::BorderWidth, 903);
    EXPECT_EQ(last.bottom() + 1 + ResultsGrid::GridLineWidth + ResultsGrid::BorderWidth, 214);
    EXPECT_EQ(grid.font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(grid.font().pixelSize(), 13);
    EXPECT_EQ(grid.focusPolicy(), Qt::NoFocus);
}

TEST(ResultsGrid, PaintsHeaderButtonFaceDataWhiteAndLeavesNoGap) {
    ResultsGrid grid;
    const QImage image = Render(grid);
    EXPECT_EQ(CountColour(image, image.rect(), Qt::green), 0);

    const QColor face = grid.palette().color(QPalette::Button);
    const QRect header = ResultsGrid::cellRect(4, 0);
    EXPECT_EQ(image.pixelColor(header.center()), face);
    const QRect data = ResultsGrid::cellRect(4, 5);
    EXPECT_EQ(CountColour(image, data, Qt::white), data.width() * data.height());

    // Header lines black, data lines silver.
    EXPECT_EQ(image.pixelColor(header.right() + 1, header.center().y()), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(header.center().x(), header.bottom() + 1), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(data.right() + 1, data.center().y()), QColor(192, 192, 192));
    EXPECT_EQ(image.pixelColor(data.center().x(), data.bottom() + 1), QColor(192, 192, 192));
}

TEST(ResultsGrid, WritesTextTwoPixelsInFromTheCellCorner) {
    ResultsGrid grid;
    grid.setCell(3, 2, QStringLiteral("8.8"));
    const QRect cell = ResultsGrid::cellRect(3, 2);
    const QImage image = Render(grid);
    const QRect ink = InkBounds(image, cell, Dark);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.left(), cell.left() + 2);
    EXPECT_LE(ink.left(), cell.left() + 4); // "8" starts within its glyph's side bearing
    EXPECT_GE(ink.top(), cell.top() + 2);
    EXPECT_LE(ink.top(), cell.top() + 7);
}

TEST(ResultsGrid, CallsTheDrawCellHookOncePerCellAfterItsOwnPainting) {
    ResultsGrid grid;
    grid.setCell(1, 3, QStringLiteral("1.5"));
    grid.setCell(2, 3, QStringLiteral("1.5"));
    std::set<std::pair<int, int>> seen;
    int calls = 0;
    bool rectsMatch = true;
    bool fontIsGrids = true;
    QColor dataBackground;
    grid.setDrawCellHook([&](QPainter& painter, int col, int row, const QRect& rect) {
        ++calls;
        seen.insert({col, row});
        rectsMatch = rectsMatch && rect == ResultsGrid::cellRect(col, row);
        fontIsGrids = fontIsGrids && painter.font().family() == grid.font().family() &&
                      !painter.font().bold();
        if (col == 1 && row == 3) {
            dataBackground = painter.background().color();
            // Owner drawing in the manner of the difference rows: erase, then bold and red.
            painter.fillRect(rect, painter.background());
            QFont bold = painter.font();
            bold.setBold(true);
            painter.setFont(bold);
            painter.setPen(Qt::red);
            painter.drawText(rect.adjusted(rect.width() - 25, 2, 0, 0), QStringLiteral("1.5"));
        }
    });
    const QImage image = Render(grid);

    EXPECT_EQ(calls, ResultsGrid::ColCount * ResultsGrid::RowCount);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(calls));
    EXPECT_TRUE(rectsMatch);
    EXPECT_TRUE(fontIsGrids) << "each cell starts with the grid's own regular font";
    EXPECT_EQ(dataBackground, QColor(Qt::white));
    // The hook painted over the grid's text, and its red did not carry to the next cell.
    EXPECT_TRUE(InkBounds(image, ResultsGrid::cellRect(2, 3), Reddish).isNull());
    const QRect ownText = InkBounds(image, ResultsGrid::cellRect(2, 3), Dark);
    const QRect hookText = InkBounds(image, ResultsGrid::cellRect(1, 3), Reddish);
    ASSERT_FALSE(ownText.isNull());
    ASSERT_FALSE(hookText.isNull());
    EXPECT_TRUE(InkBounds(image, ResultsGrid::cellRect(1, 3), Dark).isNull())
        << "the grid's own black text was erased under the hook's drawing";
    EXPECT_GT(hookText.left() - ResultsGrid::cellRect(1, 3).left(),
              ownText.left() - ResultsGrid::cellRect(2, 3).left());
}

} // namespace
