// SPDX-License-Identifier: MIT
#pragma once
// Decimal texts of doubles rounded from their exact binary value. A finite double is m * 2^e,
// which is a finite decimal (m * 5^k / 10^k when e = -k); these write that decimal digit by digit
// with integer arithmetic and round it, an exact tie going to the even neighbour. They need no
// tables and no C or C++ library formatting, so every build writes the same texts.

#include <string>

namespace lenstally {

/// A finite, non-negative `magnitude` in fixed notation with `decimals` places (0 to 400):
/// FixedDigits(38.45, 1) == "38.5", FixedDigits(0.125, 2) == "0.12", FixedDigits(2.5, 0) == "2".
std::string FixedDigits(double magnitude, int decimals);

/// The rounding of a finite, positive `magnitude` to `count` significant digits (1 to 800).
struct SignificantDigits {
    std::string digits; // 1 to `count` digits, the first not 0, no trailing zeros
    int exponent = 0;   // the decimal exponent of the first digit
};
SignificantDigits RoundToSignificant(double magnitude, int count);

/// The fewest significant digits that read back as exactly the finite, positive `magnitude`; of
/// several as few, the nearest to it, an exact tie going to the even one: 0.1 is "1" with
/// exponent -1, 2^60 is "1152921504606847" with exponent 18.
SignificantDigits ShortestDigits(double magnitude);

} // namespace lenstally
