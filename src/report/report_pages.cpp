#include "report_pages.h"

#include "report_charts.h"

#include <QFontMetricsF>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

namespace rez {
namespace {

// Font sizes in points.
constexpr double TitleSize = 20.0;
constexpr double HeadingSize = 13.0;
constexpr double SubheadingSize = 10.5;
constexpr double BodySize = 9.5;
constexpr double GuideSize = 9.0;
constexpr double TableSize = 7.5;
constexpr double FooterSize = 7.5;
// Table cells' inner space and the narrowest number column, in points.
constexpr double CellPadX = 3.0;
constexpr double CellPadY = 2.2;
constexpr double NumberColumnWidth = 42.0;
const QColor SummaryFill(238, 238, 238);
const QColor RuleColour(150, 150, 150);

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QColor SignColour(int sign) {
    return sign > 0 ? HigherColour : sign < 0 ? LowerColour : QColor(Qt::black);
}

// Widths of a table's columns in points: every column after the first as wide as its widest
// word or cell, the first takes the rest of `total`.
std::vector<double> ColumnWidths(const ReportCanvas& c, const ReportTable& t, double fontSize,
                                 double total) {
    const QFont font = c.Font(fontSize);
    const QFont bold = c.Font(fontSize, true);
    std::vector<double> widths(t.Header.size(), NumberColumnWidth);
    for (std::size_t i = 1; i < t.Header.size(); ++i) {
        for (const QString& word :
             Q(t.Header[i]).split(QRegularExpression(QStringLiteral("[ \\n]"))))
            widths[i] = std::max(widths[i], c.TextWidth(bold, word) + 2 * CellPadX + 1);
        for (const ReportTable::Row& row : t.Rows)
            widths[i] =
                std::max(widths[i], c.TextWidth(bold, Q(row.Cells[i - 1])) + 2 * CellPadX + 1);
    }
    widths[0] = total - std::accumulate(widths.begin() + 1, widths.end(), 0.0);
    return widths;
}

struct Cell {
    QString text;
    QFont font;
    QColor colour;
    Qt::Alignment align;
};

double RowHeight(const ReportCanvas& c, const std::vector<Cell>& cells,
                 const std::vector<double>& widths) {
    double height = 0.0;
    for (std::size_t i = 0; i < cells.size(); ++i)
        height =
            std::max(height, c.TextHeight(cells[i].font, cells[i].text, widths[i] - 2 * CellPadX));
    return height + 2 * CellPadY;
}

void PlaceRow(ReportCanvas& c, const std::vector<Cell>& cells, const std::vector<double>& widths,
              double height, const QColor& fill, bool headerRule) {
    const double top = c.Place(height);
    const double left = c.Left();
    const double width = c.Width();
    c.Draw([=, &c](QPainter& p) {
        if (fill.isValid())
            p.fillRect(c.Rect(left, top, width, height), fill);
        double x = left;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            p.setFont(cells[i].font);
            p.setPen(cells[i].colour);
            p.drawText(c.Rect(x + CellPadX, top + CellPadY, widths[i] - 2 * CellPadX,
                              height - 2 * CellPadY),
                       cells[i].align | Qt::TextWordWrap, cells[i].text);
            x += widths[i];
        }
        QPen pen(headerRule ? QColor(Qt::black) : RuleColour);
        pen.setWidthF(c.U(headerRule ? 0.8 : 0.3));
        p.setPen(pen);
        p.drawLine(c.Point(left, top + height), c.Point(left + width, top + height));
    });
}

// A table, its header repeated on every page it reaches.
void PlaceTable(ReportCanvas& c, const ReportTable& t, double fontSize,
                std::vector<double> widths = {}) {
    if (widths.empty())
        widths = ColumnWidths(c, t, fontSize, c.Width());
    const QFont font = c.Font(fontSize);
    const QFont bold = c.Font(fontSize, true);
    std::vector<Cell> header;
    for (std::size_t i = 0; i < t.Header.size(); ++i)
        header.push_back({Q(t.Header[i]), bold, Qt::black,
                          (i == 0 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignBottom});
    const double headerHeight = RowHeight(c, header, widths);

    bool needHeader = true;
    for (const ReportTable::Row& row : t.Rows) {
        std::vector<Cell> cells{
            {Q(row.Name), row.Summary ? bold : font, Qt::black, Qt::AlignLeft | Qt::AlignVCenter}};
        for (std::size_t i = 0; i < row.Cells.size(); ++i) {
            const bool gapCell =
                t.GapColumn >= 0 && (i == static_cast<std::size_t>(t.GapColumn) ||
                                     i == static_cast<std::size_t>(t.GapColumn) + 1);
            cells.push_back({Q(row.Cells[i]), row.Summary || gapCell ? bold : font,
                             gapCell ? SignColour(row.Sign) : QColor(Qt::black),
                             Qt::AlignHCenter | Qt::AlignVCenter});
        }
        const double height = RowHeight(c, cells, widths);
        if (needHeader || c.RoomLeft() < height) {
            if (!needHeader || c.RoomLeft() < headerHeight + height)
                c.NewPage();
            PlaceRow(c, header, widths, headerHeight, QColor(), true);
            needHeader = false;
        }
        PlaceRow(c, cells, widths, height, row.Summary ? SummaryFill : QColor(), false);
    }
}

void Heading(ReportCanvas& c, const std::string& text, double size = HeadingSize) {
    c.Paragraph(c.Font(size, true), Q(text), Qt::black, size * 0.5);
}

void LayOutFirstPage(ReportCanvas& c, const ReportDocument& d) {
    c.Paragraph(c.Font(BodySize), Q(d.Heading), MutedTextColour, 6);
    c.Paragraph(c.Font(TitleSize, true), Q(d.GroupName), Qt::black, 6);
    for (const std::string* line : {&d.ManagerPost, &d.GroupLabel})
        if (!line->empty())
            c.Paragraph(c.Font(11), Q(*line), Qt::black, 3);
    c.Skip(3);
    c.Paragraph(c.Font(BodySize), Q(d.DateLine), MutedTextColour, 16);

    Heading(c, d.RatersHeading, SubheadingSize);
    ReportTable raters;
    raters.Header = d.RaterHeader;
    for (const std::vector<std::string>& row : d.RaterRows)
        raters.Rows.push_back({row[0], false, {row.begin() + 1, row.end()}, 0});
    PlaceTable(c, raters, BodySize, {130, 60, c.Width() - 190});
    c.Skip(10);
    for (const std::string& note : d.Notes) {
        const bool warning = note.starts_with(AnonymityNotEnsuredText);
        c.Paragraph(c.Font(BodySize, warning), Q(note), warning ? HigherColour : Qt::black, 4);
    }
    if (d.GuideHeading.empty())
        return;
    c.Skip(10);
    Heading(c, d.GuideHeading, SubheadingSize);
    for (const std::string& paragraph : d.Guide)
        c.Paragraph(c.Font(GuideSize), Q(paragraph), Qt::black, 4);
}

// One list: heading, one line per scale (name left, values right), then "и ещё N" or a note.
class ListBlock {
public:
    ListBlock(const ReportCanvas& c, const ReportList& list)
        : list_(list)
        , heading_(c.Font(SubheadingSize, true))
        , body_(c.Font(BodySize))
        , width_(c.Width())
        , nameWidth_(c.Width() - ValuesWidth - 8)
        , headingHeight_(c.TextHeight(heading_, Q(list.Heading), c.Width()))
        , tail_(Q(list.Lines.empty() ? list.Note : list.More)) {
        height_ = headingHeight_ + 4 + SpaceAfter;
        for (const ReportListLine& line : list.Lines) {
            lineHeights_.push_back(std::max(c.TextHeight(body_, Q(line.Scale), nameWidth_ - 8),
                                            c.TextHeight(body_, Q(line.Values), ValuesWidth)) +
                                   3);
            height_ += lineHeights_.back();
        }
        if (!tail_.isEmpty())
            height_ += c.TextHeight(body_, tail_, width_ - 8) + 3;
    }

    double Height() const { return height_; }

    void Place(ReportCanvas& c) const {
        const double top = c.Place(height_);
        const double left = c.Left();
        c.Draw([=, *this, &c](QPainter& p) {
            double y = top;
            p.setFont(heading_);
            p.setPen(Qt::black);
            p.drawText(c.Rect(left, y, width_, headingHeight_), Qt::TextWordWrap, Q(list_.Heading));
            y += headingHeight_ + 4;
            p.setFont(body_);
            for (std::size_t i = 0; i < list_.Lines.size(); ++i) {
                p.drawText(c.Rect(left + 8, y, nameWidth_ - 8, lineHeights_[i]), Qt::TextWordWrap,
                           Q(list_.Lines[i].Scale));
                p.drawText(c.Rect(left + width_ - ValuesWidth, y, ValuesWidth, lineHeights_[i]),
                           Qt::TextWordWrap | Qt::AlignRight, Q(list_.Lines[i].Values));
                y += lineHeights_[i];
            }
            if (!tail_.isEmpty()) {
                p.setPen(MutedTextColour);
                p.drawText(c.Rect(left + 8, y, width_ - 8, height_), Qt::TextWordWrap, tail_);
            }
        });
    }

private:
    static constexpr double ValuesWidth = 215.0;
    static constexpr double SpaceAfter = 8.0;
    ReportList list_;
    QFont heading_;
    QFont body_;
    double width_;
    double nameWidth_;
    double headingHeight_;
    QString tail_;
    std::vector<double> lineHeights_;
    double height_ = 0.0;
};

// The lists follow the first page's text when they fit below it, else start the next page.
void LayOutLists(ReportCanvas& c, const ReportDocument& d) {
    const QFont heading = c.Font(HeadingSize, true);
    const QFont meanGap = c.Font(BodySize, true);
    std::vector<ListBlock> blocks;
    const double gapBefore = 10;
    double height = gapBefore + c.TextHeight(heading, Q(d.GapsHeading), c.Width()) +
                    HeadingSize * 0.5 + c.TextHeight(meanGap, Q(d.MeanGapLine), c.Width()) + 10;
    for (const ReportList& list : d.Lists) {
        blocks.emplace_back(c, list);
        height += blocks.back().Height();
    }
    if (height > c.RoomLeft())
        c.NewPage();
    else
        c.Skip(gapBefore);
    Heading(c, d.GapsHeading);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        blocks[i].Place(c);
        if (i == 1 && !d.MeanGapLine.empty())
            c.Paragraph(meanGap, Q(d.MeanGapLine), Qt::black, 10);
    }
}

ChartSeries SeriesOf(const ReportDocument& d, const ReportNumbers& n, bool scales) {
    ChartSeries s;
    const int count = scales ? ScaleCount : PhaseFactorCount;
    std::vector<int> columns;
    for (int i = 0; i < count; ++i) {
        columns.push_back(scales ? ResultColumnOfScale(i) : ResultColumnOfPhaseFactor(i));
        s.Labels.emplace_back(scales ? ScaleLetters[static_cast<std::size_t>(i)]
                                     : PhaseFactorLabels[static_cast<std::size_t>(i)]);
    }
    const auto pick = [&](const ReportColumn& column) {
        std::vector<Tenths> values;
        for (const int col : columns)
            values.push_back(column.Values[static_cast<std::size_t>(col)]);
        return values;
    };
    if (const ReportColumn* self = n.Self())
        s.Self = pick(*self);
    if (n.Others)
        s.Others = pick(*n.Others);
    s.SelfLegend = d.SelfLegend;
    s.OthersLegend = d.OthersLegend;
    return s;
}

std::vector<Tenths> GapsOf(const ChartSeries& s) {
    std::vector<Tenths> gaps;
    for (std::size_t i = 0; i < s.Labels.size(); ++i)
        gaps.push_back((*s.Self)[i] - (*s.Others)[i]);
    return gaps;
}

void PlaceChart(ReportCanvas& c, const std::string& heading, double left, double top, double width,
                double headingHeight, double height,
                std::function<void(QPainter&, const QRectF&)> draw) {
    const QFont font = c.Font(SubheadingSize - 0.5, true);
    const QRectF box(left, top + headingHeight, width, height);
    c.Draw([=, &c](QPainter& p) {
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(c.Rect(left, top, width, headingHeight), Qt::TextWordWrap, Q(heading));
        draw(p, box);
    });
}

void LayOutCharts(ReportCanvas& c, const ReportDocument& d, const ReportNumbers& n, char sep) {
    c.NewPage();
    const ChartSeries scales = SeriesOf(d, n, true);
    const ChartSeries phases = SeriesOf(d, n, false);
    const bool gaps = n.Gaps.has_value();
    const QFont font = c.Font(SubheadingSize - 0.5, true);
    const double fullHeading = c.TextHeight(font, Q(d.ChartHeadings[0]), c.Width()) + 4;
    const Tenths t = n.GapThresholdTenths;

    double top = c.Place(fullHeading + 190 + 14);
    PlaceChart(c, d.ChartHeadings[0], c.Left(), top, c.Width(), fullHeading, 190,
               [=, &c](QPainter& p, const QRectF& box) {
                   DrawProfileChart(p, c, box, scales, false, sep);
               });
    if (gaps) {
        top = c.Place(fullHeading + 150 + 14);
        PlaceChart(c, d.ChartHeadings[1], c.Left(), top, c.Width(), fullHeading, 150,
                   [=, &c](QPainter& p, const QRectF& box) {
                       DrawGapChart(p, c, box, scales.Labels, GapsOf(scales), t, sep);
                   });
    }
    const double half = gaps ? (c.Width() - 16) / 2 : c.Width();
    const double headingHeight = std::max(c.TextHeight(font, Q(d.ChartHeadings[2]), half),
                                          c.TextHeight(font, Q(d.ChartHeadings[3]), half)) +
                                 4;
    top = c.Place(headingHeight + 170);
    PlaceChart(c, d.ChartHeadings[2], c.Left(), top, half, headingHeight, 170,
               [=, &c](QPainter& p, const QRectF& box) {
                   DrawProfileChart(p, c, box, phases, true, sep);
               });
    if (gaps)
        PlaceChart(c, d.ChartHeadings[3], c.Left() + half + 16, top, half, headingHeight, 170,
                   [=, &c](QPainter& p, const QRectF& box) {
                       DrawGapChart(p, c, box, phases.Labels, GapsOf(phases), t, sep);
                   });
}

} // namespace

void LayOutReport(ReportCanvas& c, const ReportDocument& d, const ReportNumbers& n, char sep) {
    LayOutFirstPage(c, d);
    if (d.Empty)
        return;
    LayOutLists(c, d);
    LayOutCharts(c, d, n, sep);
    c.NewPage();
    Heading(c, d.TableHeading);
    PlaceTable(c, d.Table, TableSize);
    if (d.Agreement.Rows.empty())
        return;
    c.NewPage();
    Heading(c, d.AgreementHeading);
    c.Paragraph(c.Font(GuideSize), Q(d.AgreementNote), Qt::black, 8);
    PlaceTable(c, d.Agreement, TableSize + 0.5);
}

void PaintFooter(QPainter& p, const ReportCanvas& c, const ReportDocument& d, int page,
                 int pageCount) {
    const double top = c.ContentBottom() + 18;
    QPen pen(RuleColour);
    pen.setWidthF(c.U(0.5));
    p.setPen(pen);
    p.drawLine(c.Point(c.Left(), top - 4), c.Point(c.Left() + c.Width(), top - 4));
    const QFont font = c.Font(FooterSize);
    const QString number = Q(PageNumberText(page, pageCount));
    const double numberWidth = c.TextWidth(font, number) + 2;
    const double room = c.Width() - numberWidth - 12;
    const QString left =
        QFontMetricsF(font, p.device()).elidedText(Q(d.Footer), Qt::ElideMiddle, c.U(room));
    p.setFont(font);
    p.setPen(d.AnonymityNotEnsured ? HigherColour : MutedTextColour);
    p.drawText(c.Rect(c.Left(), top, room, 12), Qt::AlignLeft | Qt::AlignTop, left);
    p.setPen(MutedTextColour);
    p.drawText(c.Rect(c.Left() + c.Width() - numberWidth, top, numberWidth, 12),
               Qt::AlignRight | Qt::AlignTop, number);
}

} // namespace rez
