// The pages of a printed report before they are painted: blocks are placed from the top down,
// a block that does not fit starts a new page, and painting waits until the page count is
// known, so every footer can say "стр. N из M". Lengths are in points (1/72 inch); the canvas
// converts them to the units of the device it measures and paints on.
#pragma once

#include <QColor>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

namespace rez {

class ReportCanvas {
public:
    using Op = std::function<void(QPainter&)>;
    using Footer = std::function<void(QPainter&, int page, int pageCount)>;

    // An A4 page of `device` (whose margins must be zero), with the given content margins.
    ReportCanvas(QPagedPaintDevice& device, double marginX, double marginTop, double marginBottom);

    double PageWidth() const { return pageWidth_; }
    double PageHeight() const { return pageHeight_; }
    double Left() const { return marginX_; }
    double Width() const { return pageWidth_ - 2 * marginX_; }
    double ContentBottom() const { return pageHeight_ - marginBottom_; }
    // Where the next block goes, from the top of the page.
    double Y() const { return y_; }
    // Room left on the current page below Y().
    double RoomLeft() const { return ContentBottom() - y_; }

    // Device units of a length in points, and a rectangle given in points.
    double U(double points) const { return points * unit_; }
    QRectF Rect(double x, double y, double w, double h) const;
    QPointF Point(double x, double y) const;

    // The report's sans-serif font at a size in points.
    QFont Font(double points, bool bold = false) const;
    // Size in points of `text` wrapped into `width` points, and of one line of it.
    double TextHeight(const QFont& font, const QString& text, double width) const;
    double TextWidth(const QFont& font, const QString& text) const;

    // The top of a block `height` points high: on this page when it fits below what is
    // placed, else at the top of a new page. The next block goes below it.
    double Place(double height);
    void Skip(double points) { y_ += points; }
    // Moves to a new page unless nothing is placed on the current one.
    void NewPage();
    bool PageIsEmpty() const { return y_ <= marginTop_; }
    // Adds a drawing step to the current page.
    void Draw(Op op);

    // Wrapped text at the current position, as one block; returns its height.
    double Paragraph(const QFont& font, const QString& text, const QColor& color = Qt::black,
                     double spaceAfter = 0.0);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Paints every page on the device given to the constructor, each followed by its footer.
    void Paint(const Footer& footer);

private:
    QPagedPaintDevice& device_;
    double unit_; // device units per point
    double pageWidth_;
    double pageHeight_;
    double marginX_;
    double marginTop_;
    double marginBottom_;
    double y_;
    std::vector<std::vector<Op>> pages_;
};

} // namespace rez
