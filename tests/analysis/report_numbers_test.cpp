#include "param_name.h"
#include "report_texts.h"
#include "table_index.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using rez::ReportGroupKind;
using rez::Tenths;
using Kind = ReportGroupKind;

using rez::At;

int Scale(char letter) {
    return letter - 'A';
}

// A group of raters whose values are 4.0 everywhere unless set.
struct Raters {
    std::vector<rez::Rater> list;

    Raters& Add(rez::ResultRow role, int count = 1) {
        for (int i = 0; i < count; ++i) {
            rez::Rater r;
            r.Role = role;
            r.Values.fill(4.0);
            list.push_back(r);
        }
        return *this;
    }
    // One value per rater, in listing order.
    Raters& Set(char letter, const std::vector<double>& values) {
        EXPECT_EQ(values.size(), list.size());
        for (std::size_t i = 0; i < list.size() && i < values.size(); ++i)
            list[i].Values[At(Scale(letter))] = values[i];
        return *this;
    }
};

Raters OfCounts(int self, int managers, int subordinates, int colleagues) {
    Raters r;
    r.Add(rez::rowSelf, self).Add(rez::rowMang, managers).Add(rez::rowSubr, subordinates);
    return r.Add(rez::rowColl, colleagues);
}

std::vector<Kind> ShownKinds(const rez::ReportGroups& groups) {
    std::vector<Kind> kinds;
    for (const rez::ReportGroup& g : groups.Shown)
        kinds.push_back(g.Kind);
    return kinds;
}

struct GroupsCase {
    const char* name;
    int k;
    std::array<int, 4> counts; // self, managers, subordinates, colleagues
    std::vector<Kind> shown;
    int leftOut;
};
REZ_PRINT_CASE_BY_NAME(GroupsCase)

class ShownGroups : public testing::TestWithParam<GroupsCase> {};

TEST_P(ShownGroups, FollowTheAnonymityRule) {
    const GroupsCase& c = GetParam();
    const Raters r = OfCounts(c.counts[0], c.counts[1], c.counts[2], c.counts[3]);
    const rez::ReportGroups groups = rez::SelectReportGroups(r.list, c.k);
    EXPECT_EQ(ShownKinds(groups), c.shown);
    EXPECT_EQ(groups.LeftOut, c.leftOut);
    EXPECT_EQ(groups.RoleCounts, c.counts);
    // No shown group is smaller than K unless it is the self-assessment or the managers.
    for (const rez::ReportGroup& g : groups.Shown) {
        if (g.Kind != Kind::Self && g.Kind != Kind::Managers) {
            EXPECT_GE(static_cast<int>(g.Raters.size()), c.k);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rule, ShownGroups,
    testing::Values(
        GroupsCase{"K1_OneOfEachShownAlone",
                   1,
                   {1, 1, 1, 1},
                   {Kind::Self, Kind::Managers, Kind::Subordinates, Kind::Colleagues},
                   0},
        GroupsCase{
            "K2_OneAndOnePooled", 2, {1, 1, 1, 1}, {Kind::Self, Kind::Managers, Kind::Pooled}, 0},
        GroupsCase{"K2_OneSubordinateAloneLeftOut", 2, {1, 0, 1, 0}, {Kind::Self}, 1},
        GroupsCase{"K3_BothReachK",
                   3,
                   {1, 2, 4, 3},
                   {Kind::Self, Kind::Managers, Kind::Subordinates, Kind::Colleagues},
                   0},
        GroupsCase{"K3_SubordinatesWithoutColleagues",
                   3,
                   {1, 1, 3, 0},
                   {Kind::Self, Kind::Managers, Kind::Subordinates},
                   0},
        GroupsCase{"K3_ColleaguesWithoutSubordinates", 3, {0, 0, 0, 3}, {Kind::Colleagues}, 0},
        GroupsCase{"K3_LargeAndSmallArePooled",
                   3,
                   {1, 1, 5, 1},
                   {Kind::Self, Kind::Managers, Kind::Pooled},
                   0},
        GroupsCase{"K3_TwoAndTwoPooled", 3, {0, 1, 2, 2}, {Kind::Managers, Kind::Pooled}, 0},
        GroupsCase{"K3_OneAndOneLeftOut", 3, {1, 1, 1, 1}, {Kind::Self, Kind::Managers}, 2},
        GroupsCase{"K3_TwoSubordinatesAloneLeftOut", 3, {1, 0, 2, 0}, {Kind::Self}, 2},
        GroupsCase{"K3_OneManagerIsNeverHidden", 3, {0, 1, 0, 0}, {Kind::Managers}, 0},
        GroupsCase{"K3_NoRaters", 3, {0, 0, 0, 0}, {}, 0},
        GroupsCase{"K20_TwentySubordinates",
                   20,
                   {1, 1, 20, 0},
                   {Kind::Self, Kind::Managers, Kind::Subordinates},
                   0},
        GroupsCase{"K20_NineteenAndOnePooled",
                   20,
                   {1, 1, 19, 1},
                   {Kind::Self, Kind::Managers, Kind::Pooled},
                   0},
        GroupsCase{"K20_TenAndNineLeftOut", 20, {1, 3, 10, 9}, {Kind::Self, Kind::Managers}, 19}),
    rez::test::ByName());

// Self, one manager and four subordinates; every value worked out by hand below.
Raters HandGroup() {
    Raters r = OfCounts(1, 1, 4, 0);
    //     self  mgr   subordinates
    r.Set('A', {6.0, 4, 4, 4, 4, 4});
    r.Set('B', {5.3, 3, 4, 4, 4, 4.2});          // Others 19.2/5 = 3.84; subordinates 4.05
    r.Set('D', {5.26, 4.5, 4.5, 4.2, 4.2, 4.3}); // self 5.3, Others 4.34 -> 4.3: gap 1.0
    r.Set('C', {5.0, 4, 4, 4, 4, 4});
    r.Set('E', {3.0, 4, 4, 4, 4, 4});
    r.Set('F', {3.1, 4, 4, 4, 4, 4});
    r.Set('G', {2.0, 5, 4, 4, 4, 4.25}); // Others 21.25/5 = 4.25 -> 4.3
    r.Set('K', {4.0, 4.3, 4.3, 4.3, 4.3, 4.3});
    r.Set('L', {4.0, 2, 2, 2, 2, 2});
    r.Set('M', {4.0, 2.5, 2.5, 2.5, 2.5, 2.5});
    r.Set('N', {4.0, 3, 3, 3, 3, 3});
    r.Set('O', {4.0, 3, 3, 3, 3, 3});
    r.Set('W', {4.0, 6, 6, 6, 6, 6});
    return r;
}

Tenths ScaleValue(const rez::ReportColumn& column, char letter) {
    return column.Values[At(rez::ResultColumnOfScale(Scale(letter)))];
}

std::vector<int> Scales(const std::string& letters) {
    std::vector<int> scales;
    for (const char l : letters)
        scales.push_back(Scale(l));
    return scales;
}

TEST(ReportNumbers, HandWorkedGroup) {
    const rez::ReportNumbers n = rez::ComputeReportNumbers(HandGroup().list, {3, 1.0});
    ASSERT_EQ(n.Columns.size(), 3u);
    EXPECT_EQ(n.Columns[2].Kind, Kind::Subordinates);
    EXPECT_EQ(n.Columns[2].Count, 4);
    ASSERT_TRUE(n.Others && n.Gaps);
    EXPECT_EQ(n.Others->Count, 5);

    const rez::ReportColumn& self = n.Columns[0];
    const rez::ReportColumn& subordinates = n.Columns[2];
    EXPECT_EQ(ScaleValue(self, 'D'), 53);
    EXPECT_EQ(ScaleValue(subordinates, 'B'), 41); // 16.2 / 4 = 4.05: the half rounds up
    EXPECT_EQ(ScaleValue(*n.Others, 'B'), 38);
    EXPECT_EQ(ScaleValue(*n.Others, 'D'), 43);
    EXPECT_EQ(ScaleValue(*n.Others, 'G'), 43);
    // Phase 2 (B, C, D) from the unrounded scale means: Others (3.84 + 4 + 4.34) / 3 = 4.06,
    // not the mean of the displayed 3.8, 4.0 and 4.3.
    const std::size_t phase2 = At(rez::ResultColumnOfPhaseFactor(1));
    EXPECT_EQ(self.Values[phase2], 52);         // (5.3 + 5.0 + 5.26) / 3
    EXPECT_EQ(n.Columns[1].Values[phase2], 38); // manager: 11.5 / 3
    EXPECT_EQ(subordinates.Values[phase2], 41); // (4.05 + 4 + 4.3) / 3
    EXPECT_EQ(n.Others->Values[phase2], 41);
    EXPECT_EQ((*n.Gaps)[phase2], 11);
    // Factor 2: seven scales at 4.0 and W at 6.0 give 4.25 -> 4.3.
    EXPECT_EQ(n.Others->Values[At(rez::ResultColumnOfPhaseFactor(7))], 43);

    // Gaps of the displayed values: D is 5.3 - 4.3 = 1.0 though 5.26 - 4.34 is 0.92.
    EXPECT_EQ(n.SelfHigher, Scales("ALBMCDNO"));
    EXPECT_EQ(n.SelfLower, Scales("GWE"));
    EXPECT_EQ(n.MeanGap, 2); // 45 tenths over 23 scales
    EXPECT_EQ(n.Highest, Scales("WDGK"));
    EXPECT_EQ(n.Lowest, Scales("LMNO"));

    // Agreement: the four subordinates qualify, the single manager does not.
    ASSERT_EQ(n.Agreement.size(), 1u);
    EXPECT_EQ(n.Agreement[0].Kind, Kind::Subordinates);
    EXPECT_EQ(n.Agreement[0].Spread[At(Scale('A'))], 0);
    EXPECT_EQ(n.Agreement[0].Spread[At(Scale('D'))], 1); // 4.5 4.2 4.2 4.3: sd 0.141
}

struct ThresholdCase {
    const char* name;
    double t;
    std::string higher;
    std::string lower;
};
REZ_PRINT_CASE_BY_NAME(ThresholdCase)

class GapThreshold : public testing::TestWithParam<ThresholdCase> {};

TEST_P(GapThreshold, ListsGapsReachingT) {
    const ThresholdCase& c = GetParam();
    const rez::ReportNumbers n = rez::ComputeReportNumbers(HandGroup().list, {3, c.t});
    EXPECT_EQ(n.SelfHigher, Scales(c.higher));
    EXPECT_EQ(n.SelfLower, Scales(c.lower));
}

// Gaps of the hand group: A L +2.0, B M +1.5, C D N O +1.0, E -1.0, F -0.9, G -2.3,
// K -0.3, W -2.0.
INSTANTIATE_TEST_SUITE_P(
    HandGroup, GapThreshold,
    testing::Values(ThresholdCase{"ExactlyOneTenth_FromAPointThreeThatIsNotExact", 0.3, "ALBMCDNO",
                                  "GWEFK"},
                    ThresholdCase{"One", 1.0, "ALBMCDNO", "GWE"},
                    ThresholdCase{"BetweenTenthsRoundsUp", 1.05, "ALBM", "GW"},
                    ThresholdCase{"Two", 2.0, "AL", "GW"}, ThresholdCase{"Seven", 7.0, "", ""}),
    rez::test::ByName());

TEST(ReportNumbers, AgreementMarksASpreadOfExactlyOneAndAQuarter) {
    Raters r = OfCounts(0, 0, 5, 3);
    r.Set('A', {2.75, 2.75, 4, 5.25, 5.25, 4, 4, 4}); // sd exactly 1.25
    r.Set('B', {2.76, 2.75, 4, 5.25, 5.24, 4, 4, 4}); // sd 1.245
    const rez::ReportNumbers n = rez::ComputeReportNumbers(r.list, {5, 1.0});
    // K = 5: three colleagues are too few alone, so both roles are pooled into eight.
    ASSERT_EQ(n.Agreement.size(), 1u);
    EXPECT_EQ(n.Agreement[0].Kind, Kind::Pooled);
    EXPECT_EQ(n.Agreement[0].Count, 8);

    const rez::ReportNumbers alone = rez::ComputeReportNumbers(r.list, {3, 1.0});
    ASSERT_EQ(alone.Agreement.size(), 1u); // colleagues: 3 < max(K, 4)
    const rez::AgreementColumn& s = alone.Agreement[0];
    EXPECT_EQ(s.Kind, Kind::Subordinates);
    EXPECT_EQ(s.Spread[0], 13);
    EXPECT_TRUE(s.Diverging[0]);
    EXPECT_EQ(s.Spread[1], 12);
    EXPECT_FALSE(s.Diverging[1]);
    EXPECT_FALSE(s.Diverging[2]);
}

TEST(ReportNumbers, RankingsNeedThreeRatersBehindOthers) {
    EXPECT_TRUE(rez::ComputeReportNumbers(OfCounts(1, 2, 0, 0).list, {3, 1.0}).Highest.empty());
    const rez::ReportNumbers n = rez::ComputeReportNumbers(OfCounts(1, 3, 0, 0).list, {3, 1.0});
    // All 23 scales tie at 4.0: every one is tied with the third.
    EXPECT_EQ(n.Highest.size(), 23u);
    EXPECT_TRUE(n.SelfHigher.empty() && n.SelfLower.empty());
}

TEST(ReportNumbers, WithoutSelfAssessmentThereAreNoGaps) {
    const rez::ReportNumbers n = rez::ComputeReportNumbers(OfCounts(0, 1, 3, 0).list, {3, 1.0});
    EXPECT_EQ(n.Self(), nullptr);
    EXPECT_FALSE(n.Gaps.has_value());
    EXPECT_TRUE(n.Others.has_value());
    EXPECT_EQ(n.Highest.size(), 23u);
}

// Texts of a report: the whole document for a group, as the page shows it.
std::string ReportText(const std::vector<rez::Rater>& raters,
                       const rez::ReportThresholds& options) {
    const rez::ReportNumbers n = rez::ComputeReportNumbers(raters, options);
    return rez::ReportPlainText(
        rez::BuildReportDocument(n, options, {"Name", "Label", "Post", "01.02.2026", ','}));
}

// No number of the report may depend on a rater it does not show, or on which role a pooled
// rater has: checked over many random groups.
TEST(ReportNumbers, HiddenRatersNeverChangeTheReport) {
    std::mt19937 random(20260201);
    std::uniform_int_distribution<int> tenths(0, 70);
    const auto randomize = [&](rez::Rater& r) {
        for (double& v : r.Values)
            v = tenths(random) / 10.0 + (tenths(random) % 7) / 7.0;
    };
    for (int trial = 0; trial < 40; ++trial) {
        // K = 3: two subordinates alone are left out; two and two are pooled.
        const bool pooled = trial % 2 == 1;
        Raters r = OfCounts(1, 1, 2, pooled ? 2 : 0);
        for (rez::Rater& rater : r.list)
            randomize(rater);
        const rez::ReportThresholds options{3, 0.5};
        const rez::ReportNumbers before = rez::ComputeReportNumbers(r.list, options);
        const std::string text = ReportText(r.list, options);
        if (pooled) {
            std::swap(r.list[2].Values, r.list[4].Values); // a subordinate and a colleague
            std::swap(r.list[3].Values, r.list[5].Values);
        } else {
            randomize(r.list[2]);
            randomize(r.list[3]);
        }
        EXPECT_EQ(rez::ComputeReportNumbers(r.list, options), before) << "trial " << trial;
        EXPECT_EQ(ReportText(r.list, options), text) << "trial " << trial;
    }
}

struct DisplayCase {
    const char* name;
    double value;
    Tenths tenths;
    const char* text;
    const char* signedText;
};
REZ_PRINT_CASE_BY_NAME(DisplayCase)

class DisplayedValue : public testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayedValue, RoundsLikeEveryOtherNumberOfTheProgram) {
    const DisplayCase& c = GetParam();
    EXPECT_EQ(rez::DisplayedTenths(c.value), c.tenths);
    EXPECT_EQ(rez::FormatTenths(c.tenths, ','), c.text);
    EXPECT_EQ(rez::FormatSignedTenths(c.tenths, ','), c.signedText);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DisplayedValue,
    testing::Values(DisplayCase{"HalfAwayFromZero", 4.25, 43, "4,3", "+4,3"},
                    DisplayCase{"HalfJudgedOnFifteenDigits", 16.2 / 4, 41, "4,1", "+4,1"},
                    DisplayCase{"SmallHalf", 0.15, 2, "0,2", "+0,2"},
                    DisplayCase{"NegativeHalf", -0.05, -1, "-0,1", "-0,1"},
                    DisplayCase{"NegativeZeroHasNoSign", -0.04, 0, "0,0", "0,0"},
                    DisplayCase{"Seven", 7.0, 70, "7,0", "+7,0"},
                    DisplayCase{"Large", 123.45, 1235, "123,5", "+123,5"}),
    rez::test::ByName());

TEST(GapThresholdTenths, RoundsUpToWholeTenthsDespiteBinaryFractions) {
    EXPECT_EQ(rez::ThresholdTenths(0.1), 1);
    EXPECT_EQ(rez::ThresholdTenths(0.3), 3);
    EXPECT_EQ(rez::ThresholdTenths(0.7), 7);
    EXPECT_EQ(rez::ThresholdTenths(1.05), 11);
    EXPECT_EQ(rez::ThresholdTenths(7.0), 70);
    EXPECT_EQ(rez::FormatThreshold(1.0, ','), "1,0");
    EXPECT_EQ(rez::FormatThreshold(1.25, '.'), "1.25");
}

rez::ReportDocument Document(const std::vector<rez::Rater>& raters,
                             const rez::ReportThresholds& o) {
    return rez::BuildReportDocument(rez::ComputeReportNumbers(raters, o), o,
                                    {"Name", "Label", "Post", "01.02.2026", ','});
}

TEST(ReportDocument, HandWorkedGroupAsThePageShowsIt) {
    const rez::ReportDocument d = Document(HandGroup().list, {3, 1.0});
    ASSERT_EQ(d.Lists.size(), 4u);
    // The Latin letter, then the name without its Cyrillic look-alike letter.
    EXPECT_EQ(d.Lists[0].Lines[0], (rez::ReportListLine{"A Разъяснение целей и задач.",
                                                        "Самооценка 6,0 · Остальные 4,0 · "
                                                        "разница +2,0"}));
    EXPECT_EQ(d.Lists[0].Lines.size(), 5u);
    EXPECT_EQ(d.Lists[0].More, "и ещё 3");
    EXPECT_EQ(d.Lists[1].Lines.size(), 3u);
    EXPECT_EQ(d.Lists[1].More, "");
    EXPECT_EQ(d.Lists[3].Lines[3].Values, "Остальные 3,0 · Самооценка 4,0");
    EXPECT_EQ(d.MeanGapLine, "Средняя разница «Самооценка − Остальные» по 23 шкалам: +0,2.");

    EXPECT_EQ(d.Table.Header, (std::vector<std::string>{
                                  "Шкала, фаза, фактор", "Самооценка\nN = 1", "Руководители\nN = 1",
                                  "Подчиненные\nN = 4", "Остальные\nN = 5",
                                  "Самооценка\u00A0− Остальные", "Расхождение"}));
    ASSERT_EQ(d.Table.Rows.size(), 31u);
    const rez::ReportTable::Row& phase2 = d.Table.Rows[5];
    EXPECT_EQ(phase2.Name, "Фаза 2. Ппланирование, решение проблем");
    EXPECT_TRUE(phase2.Summary);
    EXPECT_EQ(phase2.Cells, (std::vector<std::string>{"5,2", "3,8", "4,1", "4,1", "+1,1", "выше"}));
    const rez::ReportTable::Row& f = d.Table.Rows[8];
    EXPECT_EQ(f.Cells[4], "-0,9");
    EXPECT_EQ(f.Cells[5], "");
    EXPECT_EQ(f.Sign, -1);
    EXPECT_EQ(d.Table.Rows[10].Sign, -1); // G
    EXPECT_EQ(d.Table.Rows[11].Sign, 0);  // H
    EXPECT_EQ(d.Table.GapColumn, 4);
    EXPECT_EQ(d.Agreement.Header[1], "Подчиненные\nN = 4");
    EXPECT_EQ(d.Footer, "Name · 01.02.2026");
}

struct NoteCase {
    const char* name;
    int k;
    std::array<int, 4> counts;
    std::vector<std::string> notes;
    std::string footer;
};
REZ_PRINT_CASE_BY_NAME(NoteCase)

class ReportNotes : public testing::TestWithParam<NoteCase> {};

TEST_P(ReportNotes, SayWhatWasPooledLeftOutOrNotAnonymous) {
    const NoteCase& c = GetParam();
    const rez::ReportDocument d =
        Document(OfCounts(c.counts[0], c.counts[1], c.counts[2], c.counts[3]).list, {c.k, 1.0});
    EXPECT_EQ(d.Notes, c.notes);
    EXPECT_EQ(d.Footer, c.footer);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ReportNotes,
    testing::Values(
        NoteCase{"Pooled",
                 3,
                 {0, 1, 2, 2},
                 {"Подчиненные и коллеги показаны вместе: в отдельной группе было бы меньше 3 "
                  "человек."},
                 "Name · 01.02.2026"},
        NoteCase{"LeftOut",
                 4,
                 {1, 1, 1, 2},
                 {"Оценки 3 человек не вошли в отчет: группа меньше 4 человек."},
                 "Name · 01.02.2026"},
        NoteCase{"AnonymityNotEnsured",
                 2,
                 {1, 0, 2, 0},
                 {"Анонимность не обеспечена: при пороге K = 2 в отчете могут быть группы меньше "
                  "3 человек."},
                 "Name · 01.02.2026 · Анонимность не обеспечена"},
        NoteCase{"NoFiles",
                 3,
                 {0, 0, 0, 0},
                 {"В папке нет анкет: оценок в отчете нет."},
                 "Name · 01.02.2026"}),
    rez::test::ByName());

} // namespace
