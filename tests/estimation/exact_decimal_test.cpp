// SPDX-License-Identifier: MIT
#include "estimation/exact_decimal.hpp"
#include "estimation/numeric_text.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

// Against the native C++ library's to_chars with a precision, which rounds the exact binary value
// too (ties to even): on random doubles of every magnitude, on exact ties and on the doubles next
// to them, and on the ends of the range.

namespace lenstally {
namespace {

std::string libraryFixed(double value, int decimals) {
    std::array<char, 1200> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value,
                                       std::chars_format::fixed, decimals);
    return {text.data(), written.ptr};
}

SignificantDigits librarySignificant(double value, int count) {
    std::array<char, 1200> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value,
                                       std::chars_format::scientific, count - 1);
    const std::string all(text.data(), written.ptr);
    const auto e = all.find('e');
    SignificantDigits result;
    for (const char c : all.substr(0, e)) {
        if (c != '.') {
            result.digits.push_back(c);
        }
    }
    while (result.digits.size() > 1 && result.digits.back() == '0') {
        result.digits.pop_back();
    }
    result.exponent = std::stoi(all.substr(e + 1));
    return result;
}

// Doubles that test the rounding hardest: random bit patterns (every magnitude), random values
// where the figures live, exact halves of a last decimal place (n + 1/2) / 10^d for small d,
// with their neighbours, and the ends of the range.
std::vector<double> hardValues() {
    std::mt19937_64 random(20261210);
    std::vector<double> values{std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::min(),
                               std::numeric_limits<double>::max(),
                               0.5,
                               2.5,
                               0.125,
                               0.0625,
                               999999999999999.5,
                               9.9999999999999995e22,
                               1e23,
                               0.0005};
    std::uniform_real_distribution<double> figure(0, 1e7);
    std::uniform_int_distribution<int> decimals(0, 6);
    for (int i = 0; i < 25000; ++i) {
        double value = 0;
        do {
            value = std::fabs(std::bit_cast<double>(random()));
        } while (!std::isfinite(value) || value == 0);
        values.push_back(value);
        values.push_back(figure(random));
        const double scale = std::pow(10.0, decimals(random));
        const double tie = (std::floor(figure(random)) + 0.5) / scale;
        values.push_back(tie);
        values.push_back(std::nextafter(tie, 0.0));
        values.push_back(std::nextafter(tie, 1e300));
    }
    return values;
}

TEST(ExactDecimal, fixed_and_significant_digits_equal_the_exact_rounding) {
    int checked = 0;
    for (const double value : hardValues()) {
        for (int decimals = 0; decimals <= 15; decimals += value > 1e20 ? 15 : 1) {
            ASSERT_EQ(FixedDigits(value, decimals), libraryFixed(value, decimals))
                << std::hexfloat << value << " with " << decimals << " decimals";
            ++checked;
        }
        for (const int count : {15, 1, 3, 17}) {
            const SignificantDigits ours = RoundToSignificant(value, count);
            const SignificantDigits library = librarySignificant(value, count);
            ASSERT_EQ(ours.digits, library.digits) << std::hexfloat << value << " to " << count;
            ASSERT_EQ(ours.exponent, library.exponent) << std::hexfloat << value << " to " << count;
        }
    }
    EXPECT_GT(checked, 1'000'000);
    // The longest texts: every digit of the smallest subnormal, and of the largest double.
    EXPECT_EQ(FixedDigits(std::numeric_limits<double>::denorm_min(), 400),
              libraryFixed(std::numeric_limits<double>::denorm_min(), 400));
    EXPECT_EQ(RoundToSignificant(std::numeric_limits<double>::denorm_min(), 800).digits.size(),
              751U);
    EXPECT_EQ(FixedDigits(0.0, 2), "0.00");
}

// The shortest text in to_chars' plain form, whole numbers beyond 2^53 included (written from
// their exact value).
TEST(ShortestText, is_the_plain_form_of_to_chars) {
    std::vector<double> values = hardValues();
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const auto whole = static_cast<double>(random() >> (random() % 64));
        values.push_back(whole * std::pow(10.0, static_cast<double>(random() % 12)));
        values.push_back(-whole / std::pow(10.0, static_cast<double>(random() % 30)));
    }
    values.insert(values.end(), {0.0, -0.0, 1e4, 1e5, 123400000, 1234000000, 0.001, 0.0001,
                                 0.0001234, 0.00001234, 9007199254740993.0, 1e22, 1e23});
    for (const double value : values) {
        std::array<char, 64> text{};
        const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
        ASSERT_EQ(ShortestText(value), std::string(text.data(), written.ptr))
            << std::hexfloat << value;
    }
}

} // namespace
} // namespace lenstally
