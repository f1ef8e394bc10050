#include "number_text.h"
#include "rez_error.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct FormatCase {
    const char* name;
    double value;
    int width;
    const char* dot; // expected with '.'; the ',' form replaces the separator
};
REZ_PRINT_CASE_BY_NAME(FormatCase)

std::string WithComma(std::string text) {
    for (char& c : text)
        if (c == '.')
            c = ',';
    return text;
}

class FormatFixed1 : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatFixed1, WithDotAndComma) {
    const auto& c = GetParam();
    EXPECT_EQ(rez::FormatFixed1(c.value, c.width, '.'), c.dot);
    EXPECT_EQ(rez::FormatFixed1(c.value, c.width, ','), WithComma(c.dot));
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatFixed1,
    testing::Values(
        // Halves away from zero on the 15-digit decimal text.
        FormatCase{"HalfUp", 4.25, 3, "4.3"}, FormatCase{"BinaryBelowHalf", 0.15, 3, "0.2"},
        FormatCase{"NegativeHalf", -0.05, 3, "-0.1"}, FormatCase{"NegativeZero", -0.04, 3, "0.0"},
        FormatCase{"MinusZeroItself", -0.0, 3, "0.0"}, FormatCase{"Ten", 10.0, 3, "10.0"},
        FormatCase{"LongerThanWidth", 123.45, 3, "123.5"},
        FormatCase{"CarryIntoNewDigit", 9.96, 3, "10.0"},
        FormatCase{"SevenEighths", 6.0 + 7.0 / 8.0, 3, "6.9"},
        FormatCase{"Third", 13.0 / 3.0, 3, "4.3"}, FormatCase{"Zero", 0.0, 3, "0.0"},
        FormatCase{"Tiny", 1e-300, 3, "0.0"},
        FormatCase{"Huge", 1e20, 3, "100000000000000000000.0"},
        // ";%5.1f" fields: padded to five.
        FormatCase{"FieldPadded", 4.5, 5, "  4.5"}, FormatCase{"FieldNegative", -0.3, 5, " -0.3"},
        FormatCase{"FieldNegativeZero", -0.04, 5, "  0.0"},
        FormatCase{"FieldNegativeHalf", -0.05, 5, " -0.1"},
        FormatCase{"FieldWide", -123.45, 5, "-123.5"}),
    rez::test::ByName());

TEST(FormatFixed1, NonFiniteValuesDoNotCrash) {
    EXPECT_EQ(rez::FormatFixed1(INFINITY, 3, '.'), "INF");
    EXPECT_EQ(rez::FormatFixed1(-INFINITY, 5, '.'), " -INF");
    EXPECT_EQ(rez::FormatFixed1(NAN, 3, '.'), "NAN");
}

TEST(FormatFields, CellAndDifferenceField) {
    EXPECT_EQ(rez::FormatCell(4.25, ','), "4,3");
    EXPECT_EQ(rez::FormatDifferenceField(-0.3, '.'), "; -0.3");
    EXPECT_EQ(rez::FormatDifferenceField(0.0, ','), ";  0,0");
}

struct ParseCase {
    const char* name;
    const char* dot; // the text with '.'; the ',' form replaces the separator
    double expected;
};
REZ_PRINT_CASE_BY_NAME(ParseCase)

class ParseTotalAccepts : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTotalAccepts, WithDotAndComma) {
    const auto& c = GetParam();
    EXPECT_DOUBLE_EQ(rez::ParseTotal(c.dot, '.'), c.expected);
    EXPECT_DOUBLE_EQ(rez::ParseTotal(WithComma(c.dot), ','), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ParseTotalAccepts,
    testing::Values(ParseCase{"Blanks", " 42 ", 42}, ParseCase{"Plus", "+42", 42},
                    ParseCase{"Minus", "-4", -4}, ParseCase{"ExponentUpper", "4.2E1", 42},
                    ParseCase{"ExponentLower", "4.2e-1", 0.42},
                    ParseCase{"ExponentPlus", "4.2e+1", 42}, ParseCase{"LeadingPoint", ".5", 0.5},
                    ParseCase{"TrailingPoint", "5.", 5}, ParseCase{"Zero", "0", 0},
                    ParseCase{"LeadingZeros", "007", 7}, ParseCase{"Fraction", "41.5", 41.5},
                    ParseCase{"Underflow", "1e-999", 0.0},
                    ParseCase{"ManyDigits", "42.000000000000000000000000000001", 42},
                    ParseCase{"LargestFinite", "1.7e308", 1.7e308}),
    rez::test::ByName());

struct BadCase {
    const char* name;
    std::string text;
    const char* shown = nullptr; // the text as the message shows it, when escaped
};
REZ_PRINT_CASE_BY_NAME(BadCase)

class ParseTotalRejects : public testing::TestWithParam<BadCase> {};

TEST_P(ParseTotalRejects, WithTheFloatingPointMessage) {
    const auto& c = GetParam();
    for (const char sep : {'.', ','}) {
        try {
            rez::ParseTotal(c.text, sep);
            ADD_FAILURE() << "accepted '" << c.text << "' with '" << sep << "'";
        } catch (const rez::RezError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + (c.shown ? std::string(c.shown) : c.text) +
                                                 "' is not a valid floating point value");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ParseTotalRejects,
    testing::Values(BadCase{"Empty", ""}, BadCase{"Blank", "   "}, BadCase{"SignOnly", "-"},
                    BadCase{"PointOnly", "."}, BadCase{"CommaOnly", ","},
                    BadCase{"ExponentWithoutDigits", "1e"}, BadCase{"ExponentSignOnly", "1e+"},
                    BadCase{"Inf", "inf"}, BadCase{"Nan", "nan"}, BadCase{"Hex", "0x1A"},
                    BadCase{"Overflow", "1e999"}, BadCase{"HugeMantissa", "9e308"},
                    BadCase{"InnerBlank", "4 2"}, BadCase{"TwoSigns", "+-4"},
                    BadCase{"Letters", "42abc"}, BadCase{"Tab", "\t42", "\\x0942"},
                    BadCase{"NulKeepsTheWholeText", std::string("4\0 2", 4), "4\\x00 2"},
                    BadCase{"C1ControlOfByte0x98", "4\u0098", "4\\u0098"},
                    BadCase{"TwoSeparators", "4.2.1"}, BadCase{"ExponentOnly", "e5"}),
    rez::test::ByName());

TEST(ParseTotal, OtherDecimalSeparatorFails) {
    EXPECT_THROW(rez::ParseTotal("4,5", '.'), rez::RezError);
    EXPECT_THROW(rez::ParseTotal("4.5", ','), rez::RezError);
    // Whole numbers read the same under either setting.
    EXPECT_EQ(rez::ParseTotal("45", '.'), rez::ParseTotal("45", ','));
}

TEST(ParseTotal, MessageQuotesTheTextUnchanged) {
    try {
        rez::ParseTotal("четыре", ',');
        FAIL();
    } catch (const rez::RezError& e) {
        EXPECT_STREQ(e.what(), "'четыре' is not a valid floating point value");
    }
}

} // namespace
