#include "results_grid.h"
#include "results_model.h"
#include "table_index.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using rez::At;
using rez::ResultsGrid;

// A grid on its own results model, in the '.' separator.
class Grid : public testing::Test {
protected:
    // Results with one value everywhere in the rows with respondents, and self minus each
    // outside row as given.
    void Show(const std::array<int, rez::RowCount>& counts, double value,
              const std::array<double, rez::DifferenceRowCount>& differences = {}) {
        rez::GroupResults results;
        results.RespondentCounts = counts;
        for (int row = 0; row < rez::RowCount; ++row) {
            results.ScaleResults[At(row)].fill(value);
            results.PhaseFactorResults[At(row)].fill(value);
        }
        for (int k = 0; k < rez::DifferenceRowCount; ++k)
            results.SelfDifferences[At(k)].fill(differences[At(k)]);
        model.setResults(results);
    }

    rez::ResultsModel model{'.'};
    ResultsGrid grid{model};
};

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

bool Bluish(QColor c) {
    return c.blue() > 160 && c.red() < 100 && c.green() < 100;
}

bool Reddish(QColor c) {
    return c.red() > 160 && c.green() < 100 && c.blue() < 100;
}

TEST_F(Grid, FillsItsSizeExactlyWithCellsLinesAndBorder) {
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

TEST_F(Grid, PaintsHeaderButtonFaceDataWhiteAndLeavesNoGap) {
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

TEST_F(Grid, WritesTextTwoPixelsInFromTheCellCorner) {
    Show({1, 1, 0, 0, 1}, 8.8);
    ASSERT_EQ(grid.cell(3, 2), QStringLiteral("8.8"));
    EXPECT_EQ(grid.cell(3, ResultsGrid::RowCount), QString()) << "outside the grid: empty";
    const QRect cell = ResultsGrid::cellRect(3, 2);
    const QImage image = Render(grid);
    const QRect ink = InkBounds(image, cell, Dark);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.left(), cell.left() + 2);
    EXPECT_LE(ink.left(), cell.left() + 4); // "8" starts within its glyph's side bearing
    EXPECT_GE(ink.top(), cell.top() + 2);
    EXPECT_LE(ink.top(), cell.top() + 7);
}

// A difference cell erases the grid's own text and shows the value bold, further right, in
// the colour of its stored sign; the next cell's text is the grid's own again.
TEST_F(Grid, PaintsDifferencesBoldInTheirSignColourFurtherRight) {
    Show({1, 1, 0, 0, 1}, 1.5, {0.04, 0.0, 0.0, -1.0});
    const QImage image = Render(grid);
    const QRect value = ResultsGrid::cellRect(1, 2);    // managers' value, black
    const QRect positive = ResultsGrid::cellRect(1, 3); // self minus managers: 0.04 shows 0.0
    const QRect negative = ResultsGrid::cellRect(1, 9); // self minus mean: -1.0 shows 1.0
    EXPECT_EQ(grid.cell(1, 3), QStringLiteral("0.0"));
    const QRect ownText = InkBounds(image, value, Dark);
    const QRect redText = InkBounds(image, positive, Reddish);
    ASSERT_FALSE(ownText.isNull());
    ASSERT_FALSE(redText.isNull());
    EXPECT_TRUE(InkBounds(image, positive, Dark).isNull()) << "no black text under the red";
    EXPECT_TRUE(InkBounds(image, negative, Reddish).isNull());
    EXPECT_FALSE(InkBounds(image, negative, Bluish).isNull());
    EXPECT_TRUE(InkBounds(image, value, Reddish).isNull());
    EXPECT_GT(redText.left() - positive.left(), ownText.left() - value.left());
    // Rows without respondents stay empty, their differences too.
    EXPECT_EQ(grid.cell(1, 5), QString());
    EXPECT_TRUE(InkBounds(image, ResultsGrid::cellRect(1, 5), Dark).isNull());
}

} // namespace
