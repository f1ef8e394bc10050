// The texts of the manager's report, page by page, built from its numbers. Nothing here
// comes from a respondent file except GroupName, GroupLabel and the assessed manager's post
// from the self-assessment: no outside rater's name or post can reach the report.
#pragma once

#include "report_numbers.h"

#include <string>
#include <vector>

namespace rez {

// A scale in a list: "A Разъяснение целей и задач." and its displayed values.
struct ReportListLine {
    std::string Scale;
    std::string Values;
    bool operator==(const ReportListLine&) const = default;
};

// A heading with its scales, or with a note saying why there are none; `More` is
// "и ещё N" when the list was cut.
struct ReportList {
    std::string Heading;
    std::vector<ReportListLine> Lines;
    std::string Note;
    std::string More;
    bool operator==(const ReportList&) const = default;
};

// A table of the report. Sign marks the row's gap cell (column GapColumn): +1 red, -1 blue,
// 0 plain.
struct ReportTable {
    std::vector<std::string> Header;
    struct Row {
        std::string Name;
        bool Summary = false; // a phase or factor row
        std::vector<std::string> Cells;
        int Sign = 0;
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> Rows;
    int GapColumn = -1; // index into Cells
    bool operator==(const ReportTable&) const = default;
};

struct ReportDocument {
    // Page 1.
    std::string Heading;
    std::string GroupName;
    std::string ManagerPost;
    std::string GroupLabel;
    std::string DateLine;
    bool Empty = false; // no respondent files at all
    bool AnonymityNotEnsured = false;
    std::string RatersHeading;
    std::vector<std::string> RaterHeader;            // role, raters, in the report
    std::vector<std::vector<std::string>> RaterRows; // one per role
    std::vector<std::string> Notes;
    std::string GuideHeading;
    std::vector<std::string> Guide;
    // The gap lists and the highest and lowest rated scales.
    std::string GapsHeading;
    std::vector<ReportList> Lists;
    std::string MeanGapLine;
    // Charts: headings and legend texts; the bars come from the numbers.
    std::vector<std::string> ChartHeadings;
    std::string SelfLegend;
    std::string OthersLegend;
    // The results table and the agreement table (no rows when no group qualifies).
    std::string TableHeading;
    ReportTable Table;
    std::string AgreementHeading;
    std::string AgreementNote;
    ReportTable Agreement;
    // Every page's footer, before "стр. N из M".
    std::string Footer;
    bool operator==(const ReportDocument&) const = default;
};

struct ReportInputs {
    std::string GroupName;
    std::string GroupLabel;
    std::string ManagerPost;
    std::string Date; // as the page shows it, "08.12.2026"
    char DecimalSeparator = ',';
};

ReportDocument BuildReportDocument(const ReportNumbers& numbers, const ReportThresholds& options,
                                   const ReportInputs& inputs);

// Every text of the document in reading order, one per line: what a reader of the page can
// see, apart from the page numbers and the charts' axis labels.
std::string ReportPlainText(const ReportDocument& document);

// "стр. N из M".
std::string PageNumberText(int page, int pageCount);

// "A Разъяснение целей и задач.": the Latin letter, then the name after its own first letter.
std::string ScaleTitle(int scale);

// The caption of a group: "Самооценка", ..., "Подчиненные и коллеги".
std::string_view ReportGroupName(ReportGroupKind kind);
inline constexpr std::string_view OthersName = "Остальные";
inline constexpr std::string_view AnonymityNotEnsuredText = "Анонимность не обеспечена";

// T as the page shows it: one decimal when that is exact ("1,0"), else up to six digits.
std::string FormatThreshold(double gapThreshold, char decimalSeparator);

} // namespace rez
