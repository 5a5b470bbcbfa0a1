// SPDX-License-Identifier: MIT
// Fuzzes the text-to-number conversion with any bytes and checks two properties:
//   1. ParseNumber agrees, to the last bit (signed zeros and infinities included), with a second,
//      deliberately plain reading of the same rules, which leaves the decimal-to-binary step to
//      strtod in the "C" locale.
//   2. For every finite result, FormatNumber's text read back and formatted again gives the same
//      text, and the same for FormatSigned. The one exception is the rule's own: a text whose
//      fifteen-digit rounding lies above the largest double ("1.79769313486232E+308") reads back
//      as infinity of the same sign.

#include "estimation/numeric_text.hpp"

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.hpp"

namespace {

using lenstally::fuzzing::require;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Drops every blank, tab and line feed first (they are ignored wherever they stand), then takes
// sign, digits, point, digits and an E/D exponent off the front, writes them as one C literal
// and converts it with strtod.
double plainReading(std::string_view text) {
    std::string s;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            s.push_back(c);
        }
    }
    std::size_t i = 0;
    auto takeDigits = [&] {
        std::string digits;
        while (i < s.size() && isDigit(s[i])) {
            digits.push_back(s[i++]);
        }
        return digits;
    };
    std::string sign;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        sign = s[i] == '-' ? "-" : "";
        ++i;
    }
    const std::string whole = takeDigits();
    bool point = false;
    std::string fraction;
    if (i < s.size() && s[i] == '.') {
        point = true;
        ++i;
        fraction = takeDigits();
    }
    if (whole.empty() && !point) {
        return 0.0; // no number at the start; a sign alone reads as plain 0
    }
    std::string exponentSign;
    std::string exponent;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            exponentSign = s[i] == '-' ? "-" : "";
            ++i;
        }
        exponent = takeDigits();
    }
    const std::string literal = sign + (whole.empty() ? "0" : whole) + "." +
                                (fraction.empty() ? "0" : fraction) + "e" + exponentSign +
                                (exponent.empty() ? "0" : exponent);
    return std::strtod(literal.c_str(), nullptr);
}

std::string describe(std::string_view input, double a, double b) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "ParseNumber %a, plain reading %a, input of %zu bytes", a, b,
                  input.size());
    return buf;
}

void checkRoundTrip(double value, std::string (*format)(double), std::string_view name) {
    const std::string text = format(value);
    const double back = lenstally::ParseNumber(text);
    const std::string largest = "1.79769313486232E+308";
    const bool aboveLargest = text == largest || text == " " + largest || text == "-" + largest;
    if (aboveLargest) {
        require(std::isinf(back) && std::signbit(back) == std::signbit(value),
                "a text above the largest double reads back as infinity", text);
        return;
    }
    require(std::isfinite(back), "a formatted finite value reads back finite", text);
    const std::string again = format(back);
    require(again == text, name, text + " read back and formatted again gives " + again);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    std::setlocale(LC_ALL, "C"); // strtod's decimal point is the full stop
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const double value = lenstally::ParseNumber(input);
    const double reference = plainReading(input);
    require(std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(reference),
            "ParseNumber agrees with the plain reading", describe(input, value, reference));
    if (std::isfinite(value)) {
        checkRoundTrip(value, lenstally::FormatNumber, "FormatNumber round trip");
        checkRoundTrip(value, lenstally::FormatSigned, "FormatSigned round trip");
    }
    return 0;
}
