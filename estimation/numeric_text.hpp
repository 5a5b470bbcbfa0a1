// SPDX-License-Identifier: MIT
#pragma once
// The conversions between text and numbers. Every number the calculator shows or reads as text
// goes through them, so the exact texts (a leading blank, a missing leading zero, fifteen
// significant digits) are decided here and nowhere else. None of them reads the locale.

#include <string>
#include <string_view>

namespace lenstally {

/// Reads the number at the start of `text`; never fails.
///
/// Blanks, tabs and line feeds are ignored wherever they stand. Then an optional sign, ASCII digits
/// with at most one full stop, and an optional exponent (E or D, either case, optional sign,
/// digits). Reading stops at the first character that cannot continue the number; a text with no
/// leading number reads 0. A number beyond the range of a double reads as infinity with its sign;
/// one too small reads as zero with its sign.
///
/// Example: ParseNumber("1 000") == 1000, ParseNumber("12abc") == 12, ParseNumber("&H10") == 0.
double ParseNumber(std::string_view text);

/// Writes `value` with at most 15 significant digits and no leading blank: "7.5", "0.5", "35",
/// "1E+15", "-2.5E-05". Plain notation for decimal exponents -4 to 14, exponent notation outside.
/// Negative zero is written "0". Non-finite values are written "Infinity", "-Infinity", "NaN".
std::string FormatNumber(double value);

/// Like FormatNumber, but the first character is the sign position (a blank for zero and positive
/// values) and a magnitude below 1 has no 0 before its point: " 2.25", " .25", "-.5", " 0".
std::string FormatSigned(double value);

/// Rounds the exact binary value of `value` to `digits` decimal places (0 to 15); an exact tie goes
/// to the even neighbour. Only exactly representable halves are ties: RoundTo(2.5, 0) == 2,
/// RoundTo(0.0625, 3) == 0.062, but RoundTo(0.0005, 3) == 0.001 because the double nearest 0.0005
/// lies a little above it. Non-finite values are returned unchanged.
double RoundTo(double value, int digits);

/// The shortest decimal text that reads back as exactly `value` (round trip, no locale), for
/// machine-readable reports, as to_chars writes it: "16", "1000", "0.1", "1e+300", "-0" (and
/// "inf", "-inf" or "nan" for values that are not finite, which reports never write).
std::string ShortestText(double value);

/// `value` in fixed notation with `decimals` places (0 to 15), rounded from its exact binary value
/// as printf("%.*f") rounds it, never with a decimal comma: FixedText(38.45, 1) == "38.5",
/// FixedText(0.125, 2) == "0.12", FixedText(-0.0, 1) == "-0.0". Non-finite values are written
/// "inf", "-inf" or "nan".
std::string FixedText(double value, int decimals);

} // namespace lenstally
