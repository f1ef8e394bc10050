// Helpers of the chart tests: a chart filled with bars and pixel counting on its picture.
#pragma once

#include "bar_chart.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSet>

#include <memory>

namespace rez::test {

inline const QColor kRed(255, 0, 0);
inline const QColor kSilver(192, 192, 192);
inline const QColor kBlue(0, 0, 255);
inline const QColor kGreen(0, 128, 0);
inline const QColor kBlack(0, 0, 0);

// A chart of `width` x `height` with the library's default look and no points.
inline std::unique_ptr<BarChart> MakeChart(int width = 600, int height = 300) {
    auto chart = std::make_unique<BarChart>();
    chart->setSize({width, height});
    return chart;
}

// Pixels of `image` inside `rect` that hold exactly `color`.
inline int CountColor(const QImage& image, const QColor& color, QRect rect) {
    rect = rect.intersected(image.rect());
    const QRgb wanted = color.rgb();
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixel(x, y) == wanted ? 1 : 0;
    return count;
}

inline QSet<QRgb> DistinctColors(const QImage& image) {
    QSet<QRgb> colors;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colors.insert(image.pixel(x, y));
    return colors;
}

} // namespace rez::test
