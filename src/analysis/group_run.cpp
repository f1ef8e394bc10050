#include "group_run.h"

#include "respondent_dir.h"
#include "rez_error.h"
#include "table_index.h"

#include <algorithm>
#include <cmath>

namespace rez {
namespace {

// The lines of one respondent's entry in the respondent lists. The self-assessment's short
// entry (its view button's list) names the manager; an outside respondent's short entry is
// his name line alone. Detailed entries (the role captions' lists) add further lines.
constexpr std::initializer_list<std::size_t> SelfEntryLines = {GroupLabelLine, GroupNameLine,
                                                               ManagerPostLine};
constexpr std::initializer_list<std::size_t> SelfDetailLines = {
    GroupLabelLine, GroupNameLine, ManagerPostLine, FurtherIdLine1, FurtherIdLine2};
constexpr std::initializer_list<std::size_t> OutsideDetailLines = {
    GroupLabelLine, RespondentNameLine, RespondentDetailLine, FurtherIdLine1, FurtherIdLine2};

// Adds one entry to a respondent list, on a line of its own after the entries before it.
void AddEntry(std::string& list, const std::string& heading, const std::string& entry) {
    if (list.size() > heading.size())
        list += ListLineBreak;
    list += entry;
}

std::string JoinLines(const RespondentFile& file, std::initializer_list<std::size_t> lines) {
    std::string text;
    bool first = true;
    for (const std::size_t n : lines) {
        if (!first)
            text += ListLineBreak;
        text += file.Line(n);
        first = false;
    }
    return text;
}

void AddRespondent(GroupResults& results, int role, const RespondentFile& file,
                   const std::array<std::string, RoleCount>& buttonHeadings,
                   const std::array<std::string, RoleCount>& captionHeadings) {
    std::string& button = results.ButtonLists[At(role)];
    std::string& caption = results.CaptionLists[At(role)];
    if (role == rowSelf) {
        AddEntry(button, buttonHeadings[rowSelf], JoinLines(file, SelfEntryLines));
        AddEntry(caption, captionHeadings[rowSelf], JoinLines(file, SelfDetailLines));
        results.GroupLabel = file.Line(GroupLabelLine);
        results.ManagerPost = file.Line(ManagerPostLine);
    } else {
        // The short list has one line per respondent, always after a line break.
        button += ListLineBreak;
        button += file.Line(RespondentNameLine);
        AddEntry(caption, captionHeadings[At(role)], JoinLines(file, OutsideDetailLines));
    }
}

// Finite totals can still sum beyond a double's range; the table and charts would then show
// INF and NAN.
bool AllFinite(const GroupResults& r) {
    const auto finite = [](const auto& rows) {
        for (const auto& row : rows)
            for (const double value : row)
                if (!std::isfinite(value))
                    return false;
        return true;
    };
    return finite(r.ScaleResults) && finite(r.PhaseFactorResults) && finite(r.SelfDifferences);
}

} // namespace

double SelfDifference(double self, double other) {
    const double d = self - other;
    const double scale = std::max({1.0, std::fabs(self), std::fabs(other)});
    return std::fabs(d) <= 1e-9 * scale ? 0.0 : d;
}

double GroupResults::CellValue(int row, int column) const {
    const ResultColumn c = ResultColumns[At(column)];
    return c.isScale() ? ScaleResults[At(row)][At(c.index)]
                       : PhaseFactorResults[At(row)][At(c.index)];
}

std::string DirectoryOfChosenFile(const std::string& path) {
    const std::size_t last = path.find_last_of("/\\");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

GroupResults RunGroup(const std::string& directory, char sep, LineBuffer& buffer) {
    GroupResults r;
    // List headings: the view button of the self-assessment and every caption start with a
    // line break after the heading, the outside roles' buttons do not.
    std::array<std::string, RoleCount> buttonHeadings, captionHeadings;
    for (int role = rowSelf; role <= rowColl; ++role) {
        const std::string name(RowNames[At(role)]);
        buttonHeadings[At(role)] = role == rowSelf ? name + std::string(ListLineBreak) : name;
        captionHeadings[At(role)] = name + std::string(ListLineBreak);
    }
    r.ButtonLists = buttonHeadings;
    r.CaptionLists = captionHeadings;

    for (const std::string& name : ListRespondentEntries(directory)) {
        const std::string path = directory + name;
        const RespondentFile file = ReadRespondentFile(path, buffer);
        r.GroupName = file.Line(GroupNameLine);
        if (std::find(r.ManagerNames.begin(), r.ManagerNames.end(), r.GroupName) ==
            r.ManagerNames.end())
            r.ManagerNames.push_back(r.GroupName);
        const int role = RoleFromFileName(name, path);
        AddRespondent(r, role, file, buttonHeadings, captionHeadings);
        Rater rater;
        rater.Role = static_cast<ResultRow>(role);
        for (int s = 0; s < ScaleCount; ++s)
            rater.Values[At(s)] = ScaleValue(file, s, sep);
        r.Raters.push_back(rater);
    }
    ComputeGroupValues(r);
    if (!AllFinite(r))
        throw RezError("The totals in " + FolderText(directory) + " are too large to compute");
    return r;
}

std::string FolderText(std::string_view directory) {
    if (directory.size() > 1 && (directory.back() == '/' || directory.back() == '\\'))
        directory.remove_suffix(1);
    return std::string(directory);
}

std::optional<std::string> NoRespondentsWarning(const GroupResults& results,
                                                std::string_view folder) {
    if (!results.Raters.empty())
        return std::nullopt;
    return EscapeForMessage("No respondent files in " + std::string(folder));
}

std::optional<std::string> MixedManagersWarning(const GroupResults& results,
                                                std::string_view folder) {
    if (results.ManagerNames.size() < 2)
        return std::nullopt;
    std::string text = "Respondent files in " + std::string(folder) + " name different managers: ";
    for (std::size_t i = 0; i < results.ManagerNames.size(); ++i)
        text += (i == 0 ? "" : ", ") + results.ManagerNames[i];
    return EscapeForMessage(text);
}

void ComputeGroupValues(GroupResults& r) {
    r.ScaleResults = {};
    r.RespondentCounts = {};
    // Sums in listing order, so that the means do not depend on anything but the files.
    for (const Rater& rater : r.Raters) {
        ++r.RespondentCounts[At(rater.Role)];
        for (int s = 0; s < ScaleCount; ++s)
            r.ScaleResults[At(rater.Role)][At(s)] += rater.Values[At(s)];
    }
    r.RespondentCounts[rowMean] =
        r.RespondentCounts[rowMang] + r.RespondentCounts[rowSubr] + r.RespondentCounts[rowColl];

    // Role means: one division by the count, after summing in listing order.
    for (int row = rowSelf; row <= rowColl; ++row)
        if (r.HasRespondents(row))
            for (double& value : r.ScaleResults[At(row)])
                value /= r.RespondentCounts[At(row)];

    // Phases and factors: the member scales' means summed in scale order, then divided.
    for (int row = rowSelf; row <= rowColl; ++row) {
        for (int g = 0; g < PhaseFactorCount; ++g) {
            double sum = 0.0;
            for (int s = FirstScaleOf(g); s < EndScaleOf(g); ++s)
                sum += r.ScaleResults[At(row)][At(s)];
            if (r.HasRespondents(row))
                sum /= PhaseFactorScaleCounts[At(g)];
            r.PhaseFactorResults[At(row)][At(g)] = sum;
        }
    }

    // The mean of the outside roles always divides by their count: a role without
    // respondents adds zeros. Phases and factors first, then scales.
    for (int g = 0; g < PhaseFactorCount; ++g) {
        double sum = 0.0;
        for (int row = rowMang; row <= rowColl; ++row)
            sum += r.PhaseFactorResults[At(row)][At(g)];
        r.PhaseFactorResults[rowMean][At(g)] = sum / OutsideRoleCount;
    }
    for (int s = 0; s < ScaleCount; ++s) {
        double sum = 0.0;
        for (int row = rowMang; row <= rowColl; ++row)
            sum += r.ScaleResults[At(row)][At(s)];
        r.ScaleResults[rowMean][At(s)] = sum / OutsideRoleCount;
    }

    for (int k = rowMang; k <= rowMean; ++k) {
        auto& differences = r.SelfDifferences[At(k - 1)];
        for (int c = 0; c < ResultColumnCount; ++c)
            differences[At(c)] = r.HasRespondents(k)
                                     ? SelfDifference(r.CellValue(rowSelf, c), r.CellValue(k, c))
                                     : 0.0;
    }
}

} // namespace rez
