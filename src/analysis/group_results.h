// The results of one Group run: role means, phases and factors, the mean of the outside
// roles, the self-minus-other differences, the group's texts and the respondent lists.
#pragma once

#include "questionnaire.h"
#include "table_index.h"

#include <array>
#include <string>
#include <vector>

namespace rez {

// Rows of SelfDifferences: self minus result row k is row k - 1 (k = 1 to 4).
inline constexpr int DifferenceRowCount = 4;

// Line break inside respondent lists, as the lists are written into tooltips and the
// analysis text.
inline constexpr std::string_view ListLineBreak = "\r\n";

// One respondent of a group as the Group run read him: his role and his 23 scale values
// (file total divided by the scale's item count). Carries no identifying text.
struct Rater {
    ResultRow Role = rowSelf; // rowSelf .. rowColl
    std::array<double, ScaleCount> Values{};
    bool operator==(const Rater&) const = default;
};

struct GroupResults {
    // Answer points per item, by result row and scale (A = 0 .. W = 22).
    std::array<std::array<double, ScaleCount>, RowCount> ScaleResults{};
    // By result row and phase or factor (phases 0-5, factors 6-7).
    std::array<std::array<double, PhaseFactorCount>, RowCount> PhaseFactorResults{};
    // Respondent files per role; entry 4 is the sum of entries 1 to 3. Never wraps.
    std::array<int, RowCount> RespondentCounts{};
    // Self minus row k in result column order; signed.
    std::array<std::array<double, ResultColumnCount>, DifferenceRowCount> SelfDifferences{};
    // The assessed manager (line 2 of the last file read) and line 0 of the last
    // self-assessment file.
    std::string GroupName;
    std::string GroupLabel;
    // The assessed manager's post as he gave it in his self-assessment (line 4 of the last
    // self-assessment file); empty without one. The manager's report shows it.
    std::string ManagerPost;
    // Respondent lists by role (rowSelf .. rowColl): the short list that the role's view
    // button shows and the detailed list of its caption. Lines are separated by CR LF.
    std::array<std::string, RoleCount> ButtonLists;
    std::array<std::string, RoleCount> CaptionLists;
    // Every respondent in listing order: the input of ComputeGroupValues, kept so that
    // reports need not read the folder again.
    std::vector<Rater> Raters;
    // The manager's name as each file gives it (line 2), each text once, in listing order:
    // more than one means that files of different managers were mixed in one folder.
    std::vector<std::string> ManagerNames;

    bool HasRespondents(int row) const { return RespondentCounts[At(row)] > 0; }

    // The value of a result row in a result column (a scale or a phase/factor value).
    double CellValue(int row, int column) const;
};

// Self minus another row's value. A difference that is only floating-point residue (far
// below anything the ratings can produce: a billionth of a point) counts as exactly zero, so
// equal ratings never show a sign.
double SelfDifference(double self, double other);

} // namespace rez
