#include "icons.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace rez {
namespace {

// Every picture is drawn on a 16 x 16 grid and scaled to the pixmap's size.
using Drawing = std::function<void(QPainter&)>;

const QColor Outline{40, 40, 40};
const QColor LevelRed{220, 0, 0};
const QColor LevelSilver{176, 176, 176};
const QColor LevelBlue{0, 0, 230};

QPixmap Paint(int size, const Drawing& draw) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    return pixmap;
}

QIcon MakeIcon(const Drawing& draw) {
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(Paint(size, draw));
    return icon;
}

void Bars(QPainter& p, qreal left, qreal bottom, qreal width,
          std::initializer_list<qreal> heights) {
    const QColor colours[] = {LevelRed, LevelSilver, LevelBlue};
    int i = 0;
    for (qreal h : heights) {
        p.setPen(QPen(Outline, 0.6));
        p.setBrush(colours[i % 3]);
        p.drawRect(QRectF(left + i * (width + 1), bottom - h, width, h));
        ++i;
    }
}

void DrawGroup(QPainter& p) {
    p.setPen(QPen(Outline, 0.8));
    p.setBrush(QColor(214, 160, 40));
    QPainterPath back;
    back.moveTo(1, 3);
    back.lineTo(6, 3);
    back.lineTo(7.5, 4.5);
    back.lineTo(14, 4.5);
    back.lineTo(14, 14);
    back.lineTo(1, 14);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 206, 90));
    p.drawPolygon(QPolygonF({QPointF(3, 7), QPointF(15.5, 7), QPointF(14, 14), QPointF(1, 14)}));
    Bars(p, 5, 13, 2, {4, 2.5, 1.5});
}

void DrawSave(QPainter& p) {
    p.setPen(QPen(Outline, 0.8));
    p.setBrush(QColor(40, 70, 150));
    QPainterPath disk;
    disk.moveTo(1.5, 1.5);
    disk.lineTo(12.5, 1.5);
    disk.lineTo(14.5, 3.5);
    disk.lineTo(14.5, 14.5);
    disk.lineTo(1.5, 14.5);
    disk.closeSubpath();
    p.drawPath(disk);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(4, 1.5, 7.5, 5));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(9, 2.5, 1.5, 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 9, 9, 5.5));
}

// A sheet with a folded corner; leaves a dark blue pen for what is written on it.
void DrawPage(QPainter& p) {
    p.setPen(QPen(Outline, 0.8));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(2.5, 1), QPointF(10.5, 1), QPointF(13.5, 4), QPointF(13.5, 15),
                             QPointF(2.5, 15)}));
    p.drawPolyline(QPolygonF({QPointF(10.5, 1), QPointF(10.5, 4), QPointF(13.5, 4)}));
    p.setPen(QPen(QColor(0, 0, 128), 1));
}

void DrawAnalysis(QPainter& p) {
    DrawPage(p);
    for (qreal y : {6.0, 8.5, 11.0})
        p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
    p.drawLine(QPointF(4.5, 13.0), QPointF(8.5, 13.0));
}

void DrawTable(QPainter& p) {
    p.setPen(QPen(Outline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1, 2, 14, 12));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(1, 2, 14, 3.5));
    for (qreal x : {5.67, 10.33})
        p.drawLine(QPointF(x, 2), QPointF(x, 14));
    for (qreal y : {8.5, 11.25})
        p.drawLine(QPointF(1, y), QPointF(15, y));
}

void DrawPlots(QPainter& p) {
    p.setPen(QPen(Outline, 1));
    p.drawLine(QPointF(1.5, 1), QPointF(1.5, 14.5));
    p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
    Bars(p, 3.5, 14, 3, {10, 6.5, 3.5});
}

void DrawReport(QPainter& p) {
    DrawPage(p);
    p.drawLine(QPointF(4.5, 4), QPointF(9, 4));
    Bars(p, 4.5, 13.5, 1.8, {6, 3.5, 2});
}

// A ring for the all-round (360-degree) view, with the level colours' bars inside.
void DrawApp(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    p.setPen(QPen(Qt::white, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 5.6, 5.6);
    Bars(p, 4.4, 11.5, 2, {6, 4, 2.5});
}

// Three folders behind one another: many groups at once.
void DrawCohort(QPainter& p) {
    for (const qreal offset : {0.0, 1.6, 3.2}) {
        p.save();
        p.translate(offset, offset - 1.6);
        p.scale(0.8, 0.8);
        DrawGroup(p);
        p.restore();
    }
}

} // namespace

QIcon CohortIcon() {
    return MakeIcon(DrawCohort);
}

QIcon GroupIcon() {
    return MakeIcon(DrawGroup);
}
QIcon SaveIcon() {
    return MakeIcon(DrawSave);
}
QIcon AnalysisIcon() {
    return MakeIcon(DrawAnalysis);
}
QIcon TableIcon() {
    return MakeIcon(DrawTable);
}
QIcon PlotsIcon() {
    return MakeIcon(DrawPlots);
}
QIcon ReportIcon() {
    return MakeIcon(DrawReport);
}

QPixmap AppPicture(int size) {
    return Paint(size, DrawApp);
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(AppPicture(size));
    return icon;
}

} // namespace rez
