// SPDX-License-Identifier: MIT
#include "estimation/numeric_text.hpp"

#include "estimation/exact_decimal.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <fast_float/fast_float.h>
#include <limits>
#include <system_error>

namespace lenstally {
namespace {

bool isIgnored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Exponents are saturated well beyond the range where any double lives; the saturated value still
// decides overflow or underflow correctly for texts shorter than this many digits.
constexpr std::int64_t kExponentLimit = 1'000'000'000'000;

// The digits without sign; `leadingZero` says whether a magnitude below 1 gets "0" before its
// point.
std::string formatMagnitude(double magnitude, bool leadingZero) {
    if (magnitude == 0.0) {
        return "0";
    }
    const SignificantDigits sd = RoundToSignificant(magnitude, 15);
    const auto count = static_cast<int>(sd.digits.size());
    std::string out;
    if (sd.exponent < -4 || sd.exponent > 14) {
        out.push_back(sd.digits.front());
        if (count > 1) {
            out.push_back('.');
            out.append(sd.digits, 1);
        }
        out.push_back('E');
        out.push_back(sd.exponent < 0 ? '-' : '+');
        const int absExp = std::abs(sd.exponent);
        if (absExp < 10) {
            out.push_back('0');
        }
        out += std::to_string(absExp);
        return out;
    }
    if (sd.exponent >= 0) {
        const int intDigits = sd.exponent + 1;
        if (count <= intDigits) {
            out = sd.digits;
            out.append(static_cast<std::size_t>(intDigits - count), '0');
        } else {
            out.assign(sd.digits, 0, static_cast<std::size_t>(intDigits));
            out.push_back('.');
            out.append(sd.digits, static_cast<std::size_t>(intDigits));
        }
        return out;
    }
    if (leadingZero) {
        out.push_back('0');
    }
    out.push_back('.');
    out.append(static_cast<std::size_t>(-sd.exponent - 1), '0');
    out += sd.digits;
    return out;
}

std::string formatNonFinite(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value < 0 ? "-Infinity" : "Infinity";
}

} // namespace

double ParseNumber(std::string_view text) {
    // Gather the number's characters, skipping the ignored ones, into a form fast_float reads.
    std::string mantissa; // digits with at most one '.'
    bool negative = false;
    bool seenPoint = false;
    bool seenDigit = false;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipIgnored = [&] {
        while (i < n && isIgnored(text[i])) {
            ++i;
        }
    };

    skipIgnored();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Position of the first significant digit relative to the point, for overflow/underflow.
    std::int64_t intDigits = 0;        // significant digits before the point
    std::int64_t leadingFracZeros = 0; // zeros after the point before the first significant digit
    bool significant = false;
    for (;;) {
        skipIgnored();
        if (i >= n) {
            break;
        }
        const char c = text[i];
        if (isDigit(c)) {
            seenDigit = true;
            if (c != '0') {
                significant = true;
            }
            if (significant) {
                if (!seenPoint) {
                    ++intDigits;
                }
                mantissa.push_back(c);
            } else if (seenPoint) {
                ++leadingFracZeros;
            }
            ++i;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            if (significant) {
                mantissa.push_back('.');
            }
            ++i;
        } else {
            break;
        }
    }
    if (!seenDigit && !seenPoint) {
        return 0.0;
    }
    std::int64_t exponent = 0;
    skipIgnored();
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        auto skipIgnoredAt = [&] {
            while (j < n && isIgnored(text[j])) {
                ++j;
            }
        };
        skipIgnoredAt();
        bool expNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        for (;;) {
            skipIgnoredAt();
            if (j >= n || !isDigit(text[j])) {
                break;
            }
            if (exponent < kExponentLimit) {
                exponent = exponent * 10 + (text[j] - '0');
            }
            ++j;
        }
        if (expNegative) {
            exponent = -exponent;
        }
    }
    const double zero = negative ? -0.0 : 0.0;
    if (!significant) {
        return zero;
    }
    // Decimal exponent of the first significant digit.
    const std::int64_t magnitude =
        (intDigits > 0 ? intDigits - 1 : -(leadingFracZeros + 1)) + exponent;
    if (magnitude > 400) {
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    if (magnitude < -400) {
        return zero;
    }
    // Write the mantissa as d.ddd with the exponent of its first digit, so the exponent stays
    // small.
    std::string normal;
    normal.reserve(mantissa.size() + 8);
    for (char c : mantissa) {
        if (c != '.') {
            normal.push_back(c);
            if (normal.size() == 1) {
                normal.push_back('.');
            }
        }
    }
    normal.push_back('e');
    normal += std::to_string(magnitude);
    // fast_float reads it correctly rounded, as from_chars does, and gives infinity or zero where
    // the number is beyond the range of a double.
    double value = 0.0;
    fast_float::from_chars(normal.data(), normal.data() + normal.size(), value);
    return negative ? -value : value;
}

std::string FormatNumber(double value) {
    if (!std::isfinite(value)) {
        return formatNonFinite(value);
    }
    std::string digits = formatMagnitude(std::fabs(value), true);
    if (value < 0 && digits != "0") {
        return "-" + digits;
    }
    return digits;
}

std::string FormatSigned(double value) {
    if (!std::isfinite(value)) {
        return formatNonFinite(value);
    }
    std::string digits = formatMagnitude(std::fabs(value), false);
    const bool negative = value < 0;
    return (negative ? "-" : " ") + digits;
}

double RoundTo(double value, int digits) {
    if (!std::isfinite(value)) {
        return value;
    }
    // The exact binary value rounded to `digits` decimals, ties to even; reading the text back
    // gives the double nearest that decimal.
    const std::string text = FixedDigits(std::fabs(value), digits);
    double rounded = value;
    fast_float::from_chars(text.data(), text.data() + text.size(), rounded);
    return std::signbit(value) ? -rounded : rounded;
}

std::string ShortestText(double value) {
    if (std::isnan(value)) {
        return "nan"; // whatever its sign bit, which differs between processors
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    // to_chars' plain form: the shortest digits in fixed or exponent notation, whichever is
    // shorter (fixed on a tie); a whole number written with more digits than those is written
    // from its exact value.
    if (value == 0) {
        return std::signbit(value) ? "-0" : "0";
    }
    const SignificantDigits shortest = ShortestDigits(std::fabs(value));
    const std::string& digits = shortest.digits;
    const int exponent = shortest.exponent;
    // The value is digits * 10^last; fixed notation is chosen from last = -(count + 3) (one
    // digit: -3) to 5 (one digit: 4), where it is not longer.
    const int count = static_cast<int>(digits.size());
    const int last = exponent - (count - 1);
    const bool fixed = count == 1 ? last >= -3 && last <= 4 : last >= -(count + 3) && last <= 5;
    std::string text = std::signbit(value) ? "-" : "";
    if (!fixed) {
        text += digits.front();
        if (count > 1) {
            text += '.';
            text += digits.substr(1);
        }
        text += exponent < 0 ? "e-" : "e+";
        text += exponent > -10 && exponent < 10 ? "0" : "";
        text += std::to_string(std::abs(exponent));
    } else if (last > 0) {
        text += FixedDigits(std::fabs(value), 0);
    } else if (count + last > 0) {
        const int wholeDigits = count + last;
        const auto whole = static_cast<std::size_t>(wholeDigits);
        text += digits.substr(0, whole);
        if (last < 0) {
            text += '.';
            text += digits.substr(whole);
        }
    } else {
        text += "0.";
        text.append(static_cast<std::size_t>(-(count + last)), '0');
        text += digits;
    }
    return text;
}

std::string FixedText(double value, int decimals) {
    if (std::isnan(value)) {
        return "nan"; // whatever its sign bit, which differs between processors
    }
    const std::string sign = std::signbit(value) ? "-" : "";
    if (std::isinf(value)) {
        return sign + "inf";
    }
    return sign + FixedDigits(std::fabs(value), decimals);
}

} // namespace lenstally
