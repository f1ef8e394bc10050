#include "report_texts.h"

#include "number_text.h"
#include "table_index.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace rez {
namespace {

std::string Str(std::string_view text) {
    return std::string(text);
}

std::string Count(int n) {
    return std::to_string(n);
}

// DivergingSpread as the page shows it.
std::string DivergingSpreadText(char sep) {
    return std::string("1") + sep + "25";
}

std::string ColumnTitle(const ReportColumn& column) {
    return column.Kind ? Str(ReportGroupName(*column.Kind)) : Str(OthersName);
}

// A legend entry: "Самооценка (N = 1)".
std::string Caption(const ReportColumn& column) {
    return ColumnTitle(column) + " (N = " + Count(column.Count) + ")";
}

// A table column's header: the group on one line, its N on the next.
std::string HeaderCaption(std::string_view title, int count) {
    return Str(title) + "\nN = " + Count(count);
}

// What the report does with one role's raters.
std::string RoleFate(const ReportGroups& groups, int role) {
    const int n = groups.RoleCounts[At(role)];
    if (n == 0)
        return role == rowSelf ? "нет анкеты" : "нет анкет";
    switch (role) {
    case rowSelf:
        return "показана";
    case rowMang:
        return "показаны, не анонимно";
    default:
        break;
    }
    if (groups.Pooled())
        return role == rowSubr ? "показаны вместе с коллегами" : "показаны вместе с подчиненными";
    const ReportGroupKind own =
        role == rowSubr ? ReportGroupKind::Subordinates : ReportGroupKind::Colleagues;
    return groups.Find(own) ? "показаны" : "не вошли в отчет";
}

ReportList ScaleList(std::string heading, const std::vector<int>& scales, std::size_t limit,
                     const std::function<std::string(int)>& values) {
    ReportList list;
    list.Heading = std::move(heading);
    const std::size_t shown = std::min(scales.size(), limit);
    for (std::size_t i = 0; i < shown; ++i)
        list.Lines.push_back({ScaleTitle(scales[i]), values(scales[i])});
    if (scales.size() > shown)
        list.More = "и ещё " + Count(static_cast<int>(scales.size() - shown));
    return list;
}

void AddGapLists(ReportDocument& d, const ReportNumbers& n, const std::string& t, char sep) {
    const ReportColumn* self = n.Self();
    const auto values = [&](int s) {
        const std::size_t c = At(ResultColumnOfScale(s));
        return "Самооценка " + FormatTenths(self->Values[c], sep) + " · " + Str(OthersName) + " " +
               FormatTenths(n.Others->Values[c], sep) + " · разница " +
               FormatSignedTenths((*n.Gaps)[c], sep);
    };
    const std::string higher = "Самооценка выше оценки окружения";
    const std::string lower = "Самооценка ниже оценки окружения";
    if (!n.Gaps) {
        const std::string why = self == nullptr ? "Не вычисляется: самооценки нет."
                                                : "Не вычисляется: оценок окружения в отчете нет.";
        d.Lists.push_back({higher, {}, why, {}});
        d.Lists.push_back({lower, {}, why, {}});
        return;
    }
    d.Lists.push_back(ScaleList(higher, n.SelfHigher, GapListLength, values));
    if (n.SelfHigher.empty())
        d.Lists.back().Note = "Нет шкал, где самооценка выше на " + t + " балла и больше.";
    d.Lists.push_back(ScaleList(lower, n.SelfLower, GapListLength, values));
    if (n.SelfLower.empty())
        d.Lists.back().Note = "Нет шкал, где самооценка ниже на " + t + " балла и больше.";
    d.MeanGapLine = "Средняя разница «Самооценка − Остальные» по 23 шкалам: " +
                    FormatSignedTenths(n.MeanGap, sep) + ".";
}

void AddRankings(ReportDocument& d, const ReportNumbers& n, char sep) {
    const ReportColumn* self = n.Self();
    const auto values = [&](int s) {
        const std::size_t c = At(ResultColumnOfScale(s));
        std::string text = Str(OthersName) + " " + FormatTenths(n.Others->Values[c], sep);
        if (self)
            text += " · Самооценка " + FormatTenths(self->Values[c], sep);
        return text;
    };
    const std::string highest = "Наиболее высоко оцененные шкалы";
    const std::string lowest = "Наименее высоко оцененные шкалы";
    if (n.Highest.empty()) {
        const std::string why =
            "Не показаны: оценку окружения дали меньше " + Count(RankingMinRaters) + " человек.";
        d.Lists.push_back({highest, {}, why, {}});
        d.Lists.push_back({lowest, {}, why, {}});
        return;
    }
    d.Lists.push_back(ScaleList(highest, n.Highest, n.Highest.size(), values));
    d.Lists.push_back(ScaleList(lowest, n.Lowest, n.Lowest.size(), values));
}

std::string ColumnName(int column) {
    const ResultColumn c = ResultColumns[At(column)];
    return c.isScale() ? ScaleTitle(c.index) : Str(PhaseFactorNames[At(c.index)]);
}

ReportTable ResultsTable(const ReportNumbers& n, char sep) {
    ReportTable table;
    table.Header.push_back("Шкала, фаза, фактор");
    for (const ReportColumn& column : n.Columns)
        table.Header.push_back(HeaderCaption(ColumnTitle(column), column.Count));
    if (n.Others)
        table.Header.push_back(HeaderCaption(OthersName, n.Others->Count));
    if (n.Gaps) {
        table.GapColumn = static_cast<int>(table.Header.size()) - 1;
        // A no-break space keeps the minus with the word before it when the header wraps.
        table.Header.push_back("Самооценка\u00A0− Остальные");
        table.Header.push_back("Расхождение");
    }
    for (int c = 0; c < ResultColumnCount; ++c) {
        ReportTable::Row row;
        row.Name = ColumnName(c);
        row.Summary = !ResultColumns[At(c)].isScale();
        for (const ReportColumn& column : n.Columns)
            row.Cells.push_back(FormatTenths(column.Values[At(c)], sep));
        if (n.Others)
            row.Cells.push_back(FormatTenths(n.Others->Values[At(c)], sep));
        if (n.Gaps) {
            const Tenths gap = (*n.Gaps)[At(c)];
            row.Cells.push_back(FormatSignedTenths(gap, sep));
            row.Sign = gap > 0 ? 1 : gap < 0 ? -1 : 0;
            row.Cells.push_back(gap >= n.GapThresholdTenths    ? "выше"
                                : -gap >= n.GapThresholdTenths ? "ниже"
                                                               : "");
        }
        table.Rows.push_back(std::move(row));
    }
    return table;
}

ReportTable AgreementTable(const ReportNumbers& n, char sep) {
    ReportTable table;
    if (n.Agreement.empty())
        return table;
    table.Header.push_back("Шкала");
    for (const AgreementColumn& column : n.Agreement)
        table.Header.push_back(HeaderCaption(ReportGroupName(column.Kind), column.Count));
    for (int s = 0; s < ScaleCount; ++s) {
        ReportTable::Row row;
        row.Name = ScaleTitle(s);
        for (const AgreementColumn& column : n.Agreement) {
            std::string cell = FormatTenths(column.Spread[At(s)], sep);
            if (column.Diverging[At(s)])
                cell += " — оценки расходятся";
            row.Cells.push_back(std::move(cell));
        }
        table.Rows.push_back(std::move(row));
    }
    return table;
}

void AddPageOne(ReportDocument& d, const ReportNumbers& n, const ReportThresholds& options,
                const std::string& t, char sep) {
    const ReportGroups& g = n.Groups;
    const std::string k = Count(options.MinRaters);
    d.RatersHeading = "Оценщики";
    d.RaterHeader = {"Роль", "Анкет", "В отчете"};
    for (int role = rowSelf; role <= rowColl; ++role)
        d.RaterRows.push_back(
            {Str(RowNames[At(role)]), Count(g.RoleCounts[At(role)]), RoleFate(g, role)});
    if (d.Empty)
        d.Notes.push_back("В папке нет анкет: оценок в отчете нет.");
    if (d.AnonymityNotEnsured)
        d.Notes.push_back(Str(AnonymityNotEnsuredText) + ": при пороге K = " + k +
                          " в отчете могут быть группы меньше " + Count(AnonymousMinRaters) +
                          " человек.");
    if (g.Pooled())
        d.Notes.push_back("Подчиненные и коллеги показаны вместе: в отдельной группе было бы "
                          "меньше " +
                          k + " человек.");
    if (g.LeftOut > 0)
        d.Notes.push_back("Оценки " + Count(g.LeftOut) +
                          " человек не вошли в отчет: группа меньше " + k + " человек.");
    if (d.Empty)
        return;

    d.GuideHeading = "Как читать отчет";
    d.Guide = {
        "Каждое значение — средний балл ответа на один вопрос шкалы, от 0 до 7, с одним знаком "
        "после запятой. Значение фазы или фактора — среднее значение его шкал.",
        "«Остальные» — все оценщики показанных групп руководителей, подчиненных и коллег вместе, "
        "каждый учтен один раз. N в заголовке — число оценщиков.",
        "Разница «Самооценка − Остальные» — разность показанных значений. Шкала попадает в "
        "списки расхождений, когда разница составляет не меньше T = " +
            t +
            " балла в ту или другую сторону. Высокое значение не на каждой шкале означает "
            "лучшее: знак разницы говорит только о том, чья оценка выше.",
        "Наиболее и наименее высоко оцененные шкалы выбраны по значению «Остальные».",
        "Подчиненные и коллеги показываются группами не меньше K = " + k +
            " человек, чтобы ничью оценку нельзя было узнать. Оценки руководителей "
            "показываются при любом их числе и поэтому не анонимны.",
        "Согласованность оценок показана для групп не меньше " +
            Count(std::max(options.MinRaters, AgreementMinRaters)) +
            " человек: стандартное отклонение оценок в группе; от " + DivergingSpreadText(sep) +
            " балла оценки расходятся.",
    };
}

} // namespace

std::string_view ReportGroupName(ReportGroupKind kind) {
    switch (kind) {
    case ReportGroupKind::Self:
        return RowNames[rowSelf];
    case ReportGroupKind::Managers:
        return RowNames[rowMang];
    case ReportGroupKind::Subordinates:
        return RowNames[rowSubr];
    case ReportGroupKind::Colleagues:
        return RowNames[rowColl];
    case ReportGroupKind::Pooled:
        return "Подчиненные и коллеги";
    }
    return {};
}

std::string ScaleTitle(int scale) {
    const std::string_view name = ScaleNames[At(scale)];
    return Str(ScaleLetters[At(scale)]) + Str(name.substr(name.find(' ')));
}

std::string FormatThreshold(double t, char sep) {
    if (std::fabs(t * 10 - std::round(t * 10)) < 1e-9)
        return FormatFixed1(t, 0, sep);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", t);
    std::string text = buf;
    std::replace(text.begin(), text.end(), '.', sep);
    return text;
}

std::string PageNumberText(int page, int pageCount) {
    return "стр. " + Count(page) + " из " + Count(pageCount);
}

ReportDocument BuildReportDocument(const ReportNumbers& n, const ReportThresholds& options,
                                   const ReportInputs& in) {
    const char sep = in.DecimalSeparator;
    const std::string t = FormatThreshold(options.GapThreshold, sep);
    ReportDocument d;
    d.Heading = "Отчет об оценке навыков и умений менеджера";
    d.GroupName = in.GroupName;
    d.ManagerPost = in.ManagerPost;
    d.GroupLabel = in.GroupLabel;
    d.DateLine = "Дата отчета: " + in.Date;
    const ReportGroups& g = n.Groups;
    d.Empty = g.RoleCounts == std::array<int, 4>{};
    d.AnonymityNotEnsured = options.MinRaters < AnonymousMinRaters;
    AddPageOne(d, n, options, t, sep);

    d.Footer = in.GroupName + " · " + in.Date;
    if (d.AnonymityNotEnsured)
        d.Footer += " · " + Str(AnonymityNotEnsuredText);
    if (d.Empty)
        return d;

    d.GapsHeading = "Самооценка и оценка окружения";
    AddGapLists(d, n, t, sep);
    AddRankings(d, n, sep);

    // The profile charts name the series they show.
    const std::string profile = n.Self() && n.Others ? "самооценка и оценка окружения"
                                : n.Self() ? "самооценка"
                                           : "оценка окружения";
    d.ChartHeadings = {"Шкалы: " + profile, "Шкалы: разница «Самооценка − Остальные»",
                       "Фазы и факторы: " + profile,
                       "Фазы и факторы: разница «Самооценка − Остальные»"};
    if (const ReportColumn* self = n.Self())
        d.SelfLegend = Caption(*self);
    if (n.Others)
        d.OthersLegend = Caption(*n.Others);

    d.TableHeading = "Таблица результатов";
    d.Table = ResultsTable(n, sep);
    d.Agreement = AgreementTable(n, sep);
    if (!d.Agreement.Rows.empty()) {
        d.AgreementHeading = "Согласованность оценок";
        d.AgreementNote = "Стандартное отклонение оценок внутри группы, в баллах (делитель "
                          "n − 1). От " +
                          DivergingSpreadText(sep) +
                          " — оценки расходятся: члены группы видят эту сторону работы "
                          "по-разному.";
    }
    return d;
}

std::string ReportPlainText(const ReportDocument& d) {
    std::string text;
    const auto line = [&](const std::string& s) {
        if (!s.empty())
            text += s + "\n";
    };
    const auto cells = [&](const std::vector<std::string>& row) {
        std::string joined;
        for (const std::string& cell : row)
            joined += (joined.empty() ? "" : " | ") + cell;
        line(joined);
    };
    for (const std::string* s :
         {&d.Heading, &d.GroupName, &d.ManagerPost, &d.GroupLabel, &d.DateLine})
        line(*s);
    line(d.RatersHeading);
    cells(d.RaterHeader);
    for (const auto& row : d.RaterRows)
        cells(row);
    for (const std::string& s : d.Notes)
        line(s);
    line(d.GuideHeading);
    for (const std::string& s : d.Guide)
        line(s);
    line(d.GapsHeading);
    for (const ReportList& list : d.Lists) {
        line(list.Heading);
        for (const ReportListLine& l : list.Lines)
            line(l.Scale + " | " + l.Values);
        line(list.More);
        line(list.Note);
    }
    line(d.MeanGapLine);
    for (const std::string& s : d.ChartHeadings)
        line(s);
    line(d.SelfLegend);
    line(d.OthersLegend);
    for (const ReportTable* table : {&d.Table, &d.Agreement}) {
        line(table == &d.Table ? d.TableHeading : d.AgreementHeading);
        if (table == &d.Agreement)
            line(d.AgreementNote);
        cells(table->Header);
        for (const ReportTable::Row& row : table->Rows) {
            std::vector<std::string> all{row.Name};
            all.insert(all.end(), row.Cells.begin(), row.Cells.end());
            cells(all);
        }
    }
    line(d.Footer);
    return text;
}

} // namespace rez
