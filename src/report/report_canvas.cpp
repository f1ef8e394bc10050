#include "report_canvas.h"

#include <QFontMetricsF>
#include <QPageLayout>

namespace rez {
namespace {

// Points per inch.
constexpr double PointsPerInch = 72.0;

} // namespace

ReportCanvas::ReportCanvas(QPagedPaintDevice& device, double marginX, double marginTop,
                           double marginBottom)
    : device_(device)
    , unit_(device.logicalDpiY() / PointsPerInch)
    , pageWidth_(device.pageLayout().fullRect(QPageLayout::Point).width())
    , pageHeight_(device.pageLayout().fullRect(QPageLayout::Point).height())
    , marginX_(marginX)
    , marginTop_(marginTop)
    , marginBottom_(marginBottom)
    , y_(marginTop)
    , pages_(1) {}

QRectF ReportCanvas::Rect(double x, double y, double w, double h) const {
    return {U(x), U(y), U(w), U(h)};
}

QPointF ReportCanvas::Point(double x, double y) const {
    return {U(x), U(y)};
}

QFont ReportCanvas::Font(double points, bool bold) const {
    // Liberation Sans, the files the programs register at start-up, so the pages lay out the
    // same everywhere; its metric twin Arial where those files are missing.
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

double ReportCanvas::TextHeight(const QFont& font, const QString& text, double width) const {
    const QFontMetricsF metrics(font, &device_);
    return metrics.boundingRect(QRectF(0, 0, U(width), U(10000)), Qt::TextWordWrap, text).height() /
           unit_;
}

double ReportCanvas::TextWidth(const QFont& font, const QString& text) const {
    return QFontMetricsF(font, &device_).horizontalAdvance(text) / unit_;
}

double ReportCanvas::Place(double height) {
    if (y_ + height > ContentBottom() && !PageIsEmpty())
        NewPage();
    const double top = y_;
    y_ += height;
    return top;
}

void ReportCanvas::NewPage() {
    if (PageIsEmpty())
        return;
    pages_.emplace_back();
    y_ = marginTop_;
}

void ReportCanvas::Draw(Op op) {
    pages_.back().push_back(std::move(op));
}

double ReportCanvas::Paragraph(const QFont& font, const QString& text, const QColor& color,
                               double spaceAfter) {
    const double height = TextHeight(font, text, Width());
    const QRectF rect = Rect(Left(), Place(height + spaceAfter), Width(), height);
    Draw([=](QPainter& p) {
        p.setFont(font);
        p.setPen(color);
        p.drawText(rect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    });
    return height + spaceAfter;
}

void ReportCanvas::Paint(const Footer& footer) {
    QPainter painter(&device_);
    const int count = PageCount();
    for (int page = 0; page < count; ++page) {
        if (page > 0)
            device_.newPage();
        for (const Op& op : pages_[static_cast<std::size_t>(page)]) {
            painter.save();
            op(painter);
            painter.restore();
        }
        footer(painter, page + 1, count);
    }
}

} // namespace rez
