// SPDX-License-Identifier: MIT
#include "estimation/numeric_text.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "tests/case_name.hpp"

namespace lenstally {
namespace {

struct ParseCase {
    const char* name;
    std::string_view text;
    double expected;
    friend void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }
};

class ParseNumberTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumberTest, reads_the_leading_number) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(ParseNumber(c.text), c.expected) << "text: '" << c.text << "'";
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseNumberTest,
    testing::Values(
        ParseCase{"empty", "", 0}, ParseCase{"letters_only", "abc", 0},
        ParseCase{"trailing_letters", "12abc", 12}, ParseCase{"leading_blanks", "   7", 7},
        ParseCase{"blank_then_30", " 30", 30}, ParseCase{"blank_between_digits", "1 000", 1000},
        ParseCase{"tab_and_line_feed_anywhere", "\t1\n2 .\t5", 12.5},
        ParseCase{"carriage_return_stops", "1\r2", 1}, ParseCase{"comma_stops", "1,5", 1},
        ParseCase{"point_first", ".5", 0.5}, ParseCase{"plus_point", "+.5", 0.5},
        ParseCase{"minus", "-3", -3}, ParseCase{"blank_after_sign", "- 3", -3},
        ParseCase{"second_point_stops", "1.2.3", 1.2}, ParseCase{"exponent_e", "2e3", 2000},
        ParseCase{"exponent_upper_d", "2D3", 2000}, ParseCase{"exponent_lower_d", "2d-1", 0.2},
        ParseCase{"exponent_signed", "5E+2", 500}, ParseCase{"exponent_without_digits", "7e", 7},
        ParseCase{"exponent_sign_only", "7e-", 7}, ParseCase{"exponent_then_letters", "1e2x", 100},
        ParseCase{"blanks_inside_exponent", "1 e 1 0", 1e10}, ParseCase{"sign_alone", "-", 0},
        ParseCase{"point_alone", ".", 0}, ParseCase{"hex_prefix_not_read", "&H10", 0},
        ParseCase{"octal_prefix_not_read", "&O17", 0},
        ParseCase{"fullwidth_digit_not_a_digit", "\xEF\xBC\x91", 0},
        ParseCase{"arabic_indic_digit_not_a_digit", "\xD9\xA1", 0},
        ParseCase{"leading_zeros", "000123.4500", 123.45},
        ParseCase{"tiny_fraction_then_exponent", "0.000000000001e12", 1},
        ParseCase{"many_digits_then_exponent", "123456789012345678901234567890e-29",
                  1.2345678901234568},
        ParseCase{"largest_double", "1.7976931348623157e308", std::numeric_limits<double>::max()},
        ParseCase{"overflow_is_infinity", "1e309", kInf},
        ParseCase{"negative_overflow_is_minus_infinity", "-1e400", -kInf},
        ParseCase{"huge_exponent", "1e99999999999999999999999", kInf},
        ParseCase{"huge_exponent_with_zero_mantissa", "0e99999999999", 0},
        ParseCase{"underflow_is_zero", "1e-400", 0},
        ParseCase{"smallest_subnormal", "4.9406564584124654e-324",
                  std::numeric_limits<double>::denorm_min()},
        ParseCase{"zeros_before_exponent_keep_scale", "0.001e3", 1}),
    testing_support::CaseName{});

TEST(ParseNumber, keeps_the_sign_of_zero_and_of_underflow) {
    EXPECT_TRUE(std::signbit(ParseNumber("-0")));
    EXPECT_TRUE(std::signbit(ParseNumber("-1e-999")));
    EXPECT_FALSE(std::signbit(ParseNumber("1e-999")));
}

TEST(ParseNumber, reads_a_very_long_text) {
    std::string digits(100000, '9');
    EXPECT_EQ(ParseNumber(digits), kInf);
    EXPECT_EQ(ParseNumber("0." + std::string(100000, '0') + "1e100001"), 1);
}

struct FormatCase {
    const char* name;
    double value;
    const char* number; // FormatNumber
    const char* sign;   // FormatSigned
    friend void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }
};

class FormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, writes_fifteen_significant_digits) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatNumber(c.value), c.number);
    EXPECT_EQ(FormatSigned(c.value), c.sign);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatTest,
    testing::Values(
        FormatCase{"seven_and_a_half", 7.5, "7.5", " 7.5"}, FormatCase{"half", 0.5, "0.5", " .5"},
        FormatCase{"quarter", 0.25, "0.25", " .25"}, FormatCase{"minus_half", -0.5, "-0.5", "-.5"},
        FormatCase{"integer", 35, "35", " 35"}, FormatCase{"minus_one", -1, "-1", "-1"},
        FormatCase{"zero", 0, "0", " 0"}, FormatCase{"negative_zero", -0.0, "0", " 0"},
        FormatCase{"noise_13_times_0_6", 13 * 0.6, "7.8", " 7.8"},
        FormatCase{"noise_point_1_plus_point_2", 0.1 + 0.2, "0.3", " .3"},
        FormatCase{"noise_192_times_0_6", 192 * 0.6, "115.2", " 115.2"},
        FormatCase{"fifteen_digit_integer", 999999999999999, "999999999999999", " 999999999999999"},
        FormatCase{"one_e_15", 1e15, "1E+15", " 1E+15"},
        FormatCase{"rounds_up_into_next_decade", 999999999999999.9, "1E+15", " 1E+15"},
        FormatCase{"one_and_a_half_e_16", 1.5e16, "1.5E+16", " 1.5E+16"},
        FormatCase{"ten_to_minus_four_plain", 0.0001, "0.0001", " .0001"},
        FormatCase{"ten_to_minus_five_exponent", 0.00001, "1E-05", " 1E-05"},
        FormatCase{"negative_small_exponent", -0.000025, "-2.5E-05", "-2.5E-05"},
        FormatCase{"three_digit_exponent", 1e-300, "1E-300", " 1E-300"},
        FormatCase{"largest_double", 1.7976931348623157e308, "1.79769313486232E+308",
                   " 1.79769313486232E+308"},
        FormatCase{"sixteen_digits_rounded", 3.703680000000001, "3.70368", " 3.70368"},
        FormatCase{"fraction_keeps_fifteen_digits", 1.0000000001, "1.0000000001", " 1.0000000001"},
        FormatCase{"mpeg4_highest_qcif", 0.55556 * 1.5, "0.83334", " .83334"}),
    testing_support::CaseName{});

TEST(FormatNumber, fifteen_digit_tie_goes_to_even) {
    // Sixteen-digit integers below 2^53 are exact doubles; one whose dropped digit is 5 is an
    // exact tie at fifteen digits and goes to the even neighbour.
    EXPECT_EQ(FormatNumber(1125899906842625.0), "1.12589990684262E+15");
    EXPECT_EQ(FormatNumber(1125899906842635.0), "1.12589990684264E+15");
}

TEST(FormatNumber, non_finite_values_are_named) {
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), "Infinity");
    EXPECT_EQ(FormatSigned(-std::numeric_limits<double>::infinity()), "-Infinity");
    EXPECT_EQ(FormatNumber(std::nan("")), "NaN");
}

struct RoundCase {
    const char* name;
    double value;
    int digits;
    double expected;
    friend void PrintTo(const RoundCase& c, std::ostream* os) { *os << c.name; }
};

class RoundToTest : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundToTest, rounds_the_exact_binary_value) {
    const RoundCase& c = GetParam();
    EXPECT_EQ(RoundTo(c.value, c.digits), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundToTest,
    testing::Values(RoundCase{"two_and_a_half_to_even", 2.5, 0, 2},
                    RoundCase{"three_and_a_half_to_even", 3.5, 0, 4},
                    RoundCase{"exact_sixteenth_tie", 0.0625, 3, 0.062},
                    RoundCase{"exact_tie_up_to_even", 0.1875, 3, 0.188},
                    RoundCase{"above_its_half", 0.0005, 3, 0.001},
                    RoundCase{"below_its_half", 1.0005, 3, 1}, // 1.0005 is stored a little below
                    RoundCase{"negative_tie", -2.5, 0, -2},
                    RoundCase{"already_rounded", 149.688, 3, 149.688},
                    RoundCase{"unit_boundary", 999.9999, 3, 1000},
                    RoundCase{"large_value", 1e300, 3, 1e300}, RoundCase{"to_zero", 0.0004, 3, 0}),
    testing_support::CaseName{});

TEST(RoundTo, leaves_non_finite_values_alone) {
    EXPECT_EQ(RoundTo(std::numeric_limits<double>::infinity(), 3),
              std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(RoundTo(std::nan(""), 3)));
}

TEST(NumericText, formatted_numbers_read_back_to_the_same_text) {
    for (double v : {7.5, 0.83334, 1e-5, 123456.789, 1.5e16, -0.25, 3.70368, 1e300}) {
        const std::string text = FormatNumber(v);
        EXPECT_EQ(FormatNumber(ParseNumber(text)), text);
        EXPECT_EQ(FormatNumber(ParseNumber(FormatSigned(v))), text);
    }
}

} // namespace
} // namespace lenstally
