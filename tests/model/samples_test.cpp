// The sample groups built beside the program read back through the reader.
#include "questionnaire.h"
#include "respondent_dir.h"
#include "respondent_file.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

struct SampleGroup {
    const char* name; // the group folder
    const char* manager;
    std::array<int, 4> roleCounts;
};
REZ_PRINT_CASE_BY_NAME(SampleGroup)

class SampleData : public testing::TestWithParam<SampleGroup> {};

TEST_P(SampleData, EveryFileReadsCompletely) {
    const auto& group = GetParam();
    const std::string dir = std::string(REZ_SAMPLE_DATA_DIR) + "/" + group.name + "/";
    const auto names = rez::ListRespondentEntries(dir);
    std::array<int, 4> counts{};
    rez::LineBuffer buffer;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const auto file = rez::ReadRespondentFile(dir + name, buffer);
        ++counts[static_cast<std::size_t>(rez::RoleFromFileName(name, dir + name))];
        EXPECT_EQ(file.Line(rez::GroupNameLine), group.manager);
        EXPECT_FALSE(file.Line(6).empty());
        for (int s = 0; s < rez::ScaleCount; ++s) {
            const double value = rez::ScaleValue(file, s, '.');
            EXPECT_GE(value, 1.0);
            EXPECT_LE(value, 7.0);
            // Totals are whole numbers, so every separator reads them alike.
            EXPECT_EQ(value, rez::ScaleValue(file, s, ','));
        }
    }
    EXPECT_EQ(counts, group.roleCounts);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, SampleData,
    testing::Values(SampleGroup{"Smirnov", "Смирнов Андрей Викторович", {1, 2, 4, 3}},
                    SampleGroup{"Kuznetsova", "Кузнецова Татьяна Юрьевна", {1, 1, 3, 0}},
                    SampleGroup{"Orlov", "Орлов Виктор Степанович", {0, 1, 2, 2}}),
    rez::test::ByName());

} // namespace
