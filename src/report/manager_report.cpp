#include "manager_report.h"

#include "report_canvas.h"
#include "report_pages.h"
#include "report_texts.h"
#include "rez_error.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTimeZone>

#include <algorithm>

namespace rez {
namespace {

// Device units per inch of the PDF: fine enough that no glyph or line position is rounded
// visibly, and the fonts are laid out at large pixel sizes (no hinting effects).
constexpr int PdfResolution = 1200;
// The last second of the year 9999: beyond it the page date would need five digits.
constexpr qint64 LastEpochSecond = 253402300799;
constexpr std::string_view CreationDateKey = "/CreationDate (D:";
// "yyyyMMddhhmmssZ" as QPdfWriter writes it.
constexpr std::size_t StampLength = 15;

QString PageDate(const QDate& date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

// A whole number of seconds, digits only, as reproducible builds define it.
std::optional<qint64> EpochFromEnvironment() {
    const QByteArray value = qgetenv("SOURCE_DATE_EPOCH");
    if (value.isEmpty() || value.size() > 12 ||
        !std::all_of(value.begin(), value.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
        return std::nullopt;
    const qint64 seconds = value.toLongLong();
    if (seconds > LastEpochSecond)
        return std::nullopt;
    return seconds;
}

} // namespace

ReportTime CurrentReportTime() {
    if (const std::optional<qint64> seconds = EpochFromEnvironment()) {
        const QDateTime utc = QDateTime::fromSecsSinceEpoch(*seconds, QTimeZone::utc());
        return {utc, PageDate(utc.date())};
    }
    const QDateTime now = QDateTime::currentDateTime();
    return {now.toUTC(), PageDate(now.date())};
}

bool SetPdfCreationDate(std::string& pdf, const QDateTime& utc) {
    const std::size_t at = pdf.find(CreationDateKey);
    if (at == std::string::npos)
        return false;
    const std::size_t stampAt = at + CreationDateKey.size();
    const std::string stamp =
        utc.toUTC().toString(QStringLiteral("yyyyMMddhhmmss")).toStdString() + "Z";
    if (stamp.size() != StampLength || pdf.size() < stampAt + StampLength + 1 ||
        pdf[stampAt + StampLength - 1] != 'Z' || pdf[stampAt + StampLength] != ')')
        return false;
    pdf.replace(stampAt, StampLength, stamp);
    return true;
}

std::string ManagerReportPdf(const GroupResults& results, const ReportThresholds& options, char sep,
                             const ReportTime& time) {
    const ReportNumbers numbers = ComputeReportNumbers(results.Raters, options);
    const ReportDocument document =
        BuildReportDocument(numbers, options,
                            {results.GroupName, results.GroupLabel, results.ManagerPost,
                             time.PageDate.toStdString(), sep});

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        // Metadata names the assessed manager and the program, nobody else; control
        // characters of the name are shown escaped, as in messages.
        writer.setTitle(QString::fromStdString(EscapeForMessage(document.GroupName)));
        writer.setCreator(QStringLiteral("KVIRO.REZ"));
        ReportCanvas canvas(writer, PageMarginX, PageMarginTop, PageMarginBottom);
        LayOutReport(canvas, document, numbers, sep);
        canvas.Paint([&](QPainter& painter, int page, int count) {
            PaintFooter(painter, canvas, document, page, count);
        });
    }
    std::string pdf = buffer.data().toStdString();
    SetPdfCreationDate(pdf, time.Utc);
    return pdf;
}

} // namespace rez
