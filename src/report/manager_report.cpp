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
#include <charconv>
#include <cstdio>
#include <string>

namespace rez {
namespace {

// Device units per inch of the PDF: fine enough that no glyph or line position is rounded
// visibly, and the fonts are laid out at large pixel sizes (no hinting effects).
constexpr int PdfResolution = 1200;
// The last second of the year 9999: beyond it the page date would need five digits.
constexpr qint64 LastEpochSecond = 253402300799;
constexpr std::string_view CreationDateKey = "/CreationDate (D:";
// "yyyyMMddhhmmssZ" as QPdfWriter writes it in UTC, "yyyyMMddhhmmss+hh'mm'" elsewhere.
constexpr std::size_t StampLength = 15;
constexpr std::size_t OffsetStampLength = 21;
// One entry of the cross-reference table: "0000012345 00000 n \n".
constexpr std::size_t XrefEntryLength = 20;
constexpr std::size_t XrefOffsetDigits = 10;

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

// Moves by `shift` bytes every object offset beyond `from` in the last cross-reference table
// of `pdf` (one section from object 0, as QPdfWriter writes it) and the table's own offset
// after "startxref". The offsets keep their widths. False, with `pdf` unchanged, when the
// table is not in that form.
bool ShiftCrossReferences(std::string& pdf, std::size_t from, long shift) {
    constexpr std::string_view tableKey = "\nxref\n0 ";
    constexpr std::string_view startKey = "\nstartxref\n";
    const std::size_t table = pdf.rfind(tableKey);
    const std::size_t start = pdf.rfind(startKey);
    if (table == std::string::npos || start == std::string::npos || start < table)
        return false;
    std::string shifted = pdf;
    const std::size_t countAt = table + tableKey.size();
    long count = 0;
    if (std::from_chars(pdf.data() + countAt, pdf.data() + pdf.size(), count).ec != std::errc())
        return false;
    std::size_t entry = pdf.find('\n', countAt) + 1;
    for (long i = 0; i < count; ++i, entry += XrefEntryLength) {
        if (entry + XrefEntryLength > start)
            return false;
        long offset = 0;
        const auto [end, error] =
            std::from_chars(pdf.data() + entry, pdf.data() + entry + XrefOffsetDigits, offset);
        if (error != std::errc() || end != pdf.data() + entry + XrefOffsetDigits)
            return false;
        if (pdf.compare(entry + XrefOffsetDigits + 7, 3, "n \n") != 0 ||
            static_cast<std::size_t>(offset) <= from)
            continue; // a free entry, or an object before the change
        char digits[XrefOffsetDigits + 1];
        std::snprintf(digits, sizeof digits, "%010ld", offset + shift);
        shifted.replace(entry, XrefOffsetDigits, digits);
    }
    const std::size_t valueAt = start + startKey.size();
    long tableOffset = 0;
    const auto [valueEnd, error] =
        std::from_chars(pdf.data() + valueAt, pdf.data() + pdf.size(), tableOffset);
    if (error != std::errc() || valueEnd == pdf.data() + valueAt)
        return false;
    shifted.replace(valueAt, static_cast<std::size_t>(valueEnd - (pdf.data() + valueAt)),
                    std::to_string(tableOffset + shift));
    pdf = std::move(shifted);
    return true;
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
    const std::size_t end = pdf.find(')', stampAt);
    if (end == std::string::npos)
        return false;
    // Qt stamps its local time: "yyyyMMddhhmmssZ" in UTC, else with the offset,
    // "yyyyMMddhhmmss+03'00'".
    const std::string_view old = std::string_view(pdf).substr(stampAt, end - stampAt);
    const auto digits = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const bool utcForm = old.size() == StampLength && digits(old.substr(0, 14)) && old[14] == 'Z';
    const bool offsetForm = old.size() == OffsetStampLength && digits(old.substr(0, 14)) &&
                            (old[14] == '+' || old[14] == '-') && digits(old.substr(15, 2)) &&
                            old[17] == '\'' && digits(old.substr(18, 2)) && old[20] == '\'';
    const std::string stamp =
        utc.toUTC().toString(QStringLiteral("yyyyMMddhhmmss")).toStdString() + "Z";
    if ((!utcForm && !offsetForm) || stamp.size() != StampLength)
        return false;
    const std::size_t oldLength = old.size();
    const long shift = static_cast<long>(stamp.size()) - static_cast<long>(oldLength);
    // A shorter stamp moves every later object: the cross-reference table and its start
    // follow, so the file stays valid and equal whatever the time zone.
    if (shift != 0 && !ShiftCrossReferences(pdf, end, shift))
        return false;
    pdf.replace(stampAt, oldLength, stamp);
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
