// SPDX-License-Identifier: MIT
#include "estimation/exact_decimal.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <fast_float/fast_float.h>
#include <optional>
#include <utility>

namespace lenstally {
namespace {

// m * 5^1074, the largest integer written below (the smallest subnormal times 10^1074), has
// 53 + 2494 bits; m * 2^971, the largest double, 1024.
constexpr std::size_t kLimbs = 82;
// The exact decimal has at most 767 significant digits; they are written in chunks of nine.
constexpr int kDigits = 783;

// A non-negative integer in 32-bit limbs, the least significant first.
class BigInteger {
public:
    explicit BigInteger(std::uint64_t value) {
        while (value != 0) {
            m_limb[m_size++] = static_cast<std::uint32_t>(value);
            value >>= 32;
        }
    }

    bool isZero() const { return m_size == 0; }

    void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < m_size; ++i) {
            const std::uint64_t product = std::uint64_t{m_limb[i]} * factor + carry;
            m_limb[i] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) {
            m_limb[m_size++] = static_cast<std::uint32_t>(carry);
        }
    }

    void shiftLeft(std::size_t bits) {
        const std::size_t words = bits / 32;
        const std::size_t rest = bits % 32;
        if (rest != 0) {
            std::uint32_t carry = 0;
            for (std::size_t i = 0; i < m_size; ++i) {
                const std::uint32_t limb = m_limb[i];
                m_limb[i] = (limb << rest) | carry;
                carry = limb >> (32 - rest);
            }
            if (carry != 0) {
                m_limb[m_size++] = carry;
            }
        }
        if (words != 0) {
            for (std::size_t i = m_size; i-- > 0;) {
                m_limb[i + words] = m_limb[i];
            }
            std::fill_n(m_limb.begin(), words, 0);
            m_size += words;
        }
    }

    // Divides in place by 10^9; returns the remainder. (The divisor is a constant, so the
    // compiler turns each division into a multiplication.)
    std::uint32_t divideByBillion() {
        constexpr std::uint64_t kBillion = 1'000'000'000;
        std::uint64_t remainder = 0;
        for (std::size_t i = m_size; i-- > 0;) {
            const std::uint64_t current = (remainder << 32) | m_limb[i];
            m_limb[i] = static_cast<std::uint32_t>(current / kBillion);
            remainder = current % kBillion;
        }
        while (m_size > 0 && m_limb[m_size - 1] == 0) {
            --m_size;
        }
        return static_cast<std::uint32_t>(remainder);
    }

private:
    std::array<std::uint32_t, kLimbs> m_limb; // only the first m_size are set
    std::size_t m_size = 0;
};

// The mantissa and exponent of a positive double: magnitude = mantissa * 2^exponent, the
// mantissa odd unless the exponent is 0 or more.
std::pair<std::uint64_t, int> binaryParts(double magnitude) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biased = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= std::uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    while ((mantissa & 1) == 0 && exponent < 0) {
        mantissa >>= 1;
        ++exponent;
    }
    return {mantissa, exponent};
}

// A positive double's exact value: its digits times 10^-scale.
struct ExactDecimal {
    std::array<char, kDigits> buffer; // only [first, kDigits) is set
    int first = kDigits;              // the digits are buffer[first, kDigits), the first not '0'
    int scale = 0;

    int size() const { return kDigits - first; }
    char digit(int i) const {
        return buffer[static_cast<std::size_t>(first) + static_cast<std::size_t>(i)];
    }
};

ExactDecimal exactDecimal(double magnitude) {
    const auto [mantissa, exponent] = binaryParts(magnitude);
    ExactDecimal exact;
    BigInteger number(mantissa);
    if (exponent >= 0) {
        number.shiftLeft(static_cast<std::size_t>(exponent));
    } else {
        // m / 2^k is m * 5^k / 10^k.
        exact.scale = -exponent;
        int fives = exact.scale;
        for (; fives >= 13; fives -= 13) {
            number.multiply(1220703125); // 5^13
        }
        std::uint32_t rest = 1;
        for (; fives > 0; --fives) {
            rest *= 5;
        }
        number.multiply(rest);
    }
    while (!number.isZero()) {
        std::uint32_t chunk = number.divideByBillion();
        for (int i = 0; i < 9; ++i) {
            exact.buffer[static_cast<std::size_t>(--exact.first)] =
                static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
    }
    while (exact.buffer[static_cast<std::size_t>(exact.first)] == '0') {
        ++exact.first;
    }
    return exact;
}

// Adds one in the last place of `digits`; a carry out of the first makes them one digit longer
// ("999" to "1000"). Returns whether it did.
bool addOneInLastPlace(std::string& digits) {
    auto i = digits.size();
    while (i > 0 && digits[i - 1] == '9') {
        digits[--i] = '0';
    }
    if (i == 0) {
        digits.insert(digits.begin(), '1');
        return true;
    }
    ++digits[i - 1];
    return false;
}

// The first `keep` digits, rounded by the ones after them: one digit longer when the rounding
// carries out of the first ("999" to "1000"), empty when nothing is kept and it rounds down.
// Digits past the last are zeros.
std::string roundedPrefix(const ExactDecimal& exact, int keep) {
    const int size = exact.size();
    if (keep >= size) {
        std::string kept(exact.buffer.data() + exact.first, static_cast<std::size_t>(size));
        kept.append(static_cast<std::size_t>(keep - size), '0');
        return kept;
    }
    if (keep < 0) {
        return {};
    }
    std::string kept(exact.buffer.data() + exact.first, static_cast<std::size_t>(keep));
    const char next = exact.digit(keep);
    bool up = next > '5';
    if (next == '5') {
        bool beyondHalf = false;
        for (int i = keep + 1; i < size && !beyondHalf; ++i) {
            beyondHalf = exact.digit(i) != '0';
        }
        up = beyondHalf || (keep > 0 && (kept.back() - '0') % 2 == 1);
    }
    if (up) {
        addOneInLastPlace(kept);
    }
    return kept;
}

// Whether `digits` times 10^(exponent - digits + 1) reads back as `magnitude`.
bool readsBack(const std::string& digits, int exponent, double magnitude) {
    std::array<char, 40> text; // 17 digits at most, 'e' and the exponent
    char* end = std::copy(digits.begin(), digits.end(), text.begin());
    *end++ = 'e';
    end = std::to_chars(end, text.end(), exponent - static_cast<int>(digits.size()) + 1).ptr;
    double read = 0;
    fast_float::from_chars(text.data(), end, read);
    return read == magnitude;
}

void dropTrailingZeros(std::string& digits) {
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
}

__extension__ using Wide = unsigned __int128;

// The figures' usual case in 128-bit arithmetic: magnitude * 10^decimals rounded to a whole
// number, ties to even, when no step needs more than 128 bits; nothing otherwise.
std::optional<Wide> scaledWhole(double magnitude, int decimals) {
    if (magnitude == 0.0) {
        return 0;
    }
    if (decimals > 15) {
        return std::nullopt;
    }
    const auto [mantissa, exponent] = binaryParts(magnitude);
    Wide scaled = mantissa; // below 2^53 * 5^15 < 2^88
    for (int i = 0; i < decimals; ++i) {
        scaled *= 5;
    }
    const int shift = exponent + decimals; // the power of two still to apply
    if (shift >= 0) {
        if (shift >= 40) {
            return std::nullopt;
        }
        return scaled << shift;
    }
    if (shift <= -100) {
        return std::nullopt;
    }
    const int right = -shift;
    const Wide whole = scaled >> right;
    const Wide rest = scaled - (whole << right);
    const Wide half = Wide{1} << (right - 1);
    return rest > half || (rest == half && (whole & 1) != 0) ? whole + 1 : whole;
}

std::string decimalText(Wide value) {
    std::array<char, 40> text;
    auto* at = text.end();
    do {
        *--at = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    return {at, text.end()};
}

} // namespace

std::string FixedDigits(double magnitude, int decimals) {
    std::string digits;
    if (const std::optional<Wide> whole = scaledWhole(magnitude, decimals)) {
        digits = *whole == 0 ? "" : decimalText(*whole);
    } else { // not zero: zero is a whole number above
        const ExactDecimal exact = exactDecimal(magnitude);
        digits = roundedPrefix(exact, exact.size() - exact.scale + decimals);
    }
    // The rounded value times 10^decimals is the integer `digits`; the point goes before its last
    // `decimals` digits, with a 0 before the point at least.
    const auto fraction = static_cast<std::size_t>(decimals);
    if (digits.size() <= fraction) {
        digits.insert(digits.begin(), fraction + 1 - digits.size(), '0');
    }
    if (fraction > 0) {
        digits.insert(digits.end() - static_cast<std::ptrdiff_t>(fraction), '.');
    }
    return digits;
}

SignificantDigits RoundToSignificant(double magnitude, int count) {
    const ExactDecimal exact = exactDecimal(magnitude);
    SignificantDigits result{roundedPrefix(exact, count), exact.size() - exact.scale - 1};
    if (static_cast<int>(result.digits.size()) > count) {
        result.digits.pop_back();
        ++result.exponent;
    }
    dropTrailingZeros(result.digits);
    return result;
}

SignificantDigits ShortestDigits(double magnitude) {
    // A whole number below 2^53 has neighbours 1 apart at most: no decimal with fewer digits
    // than its own (its trailing zeros aside) lies within half of that.
    if (magnitude < 0x1p53 &&
        magnitude == static_cast<double>(static_cast<std::uint64_t>(magnitude))) {
        SignificantDigits whole{std::to_string(static_cast<std::uint64_t>(magnitude)), 0};
        whole.exponent = static_cast<int>(whole.digits.size()) - 1;
        dropTrailingZeros(whole.digits);
        return whole;
    }
    const ExactDecimal exact = exactDecimal(magnitude);
    const int first = exact.size() - exact.scale - 1;
    // With `count` digits, the candidates are the value cut there and one more in the last place;
    // if some decimal of that many digits reads back, one of the two does, and then so do the
    // two of any longer count. Seventeen digits always read back.
    struct Candidates {
        SignificantDigits down;
        SignificantDigits up;
        bool downReads = false;
        bool upReads = false;
    };
    auto candidates = [&](int count) {
        Candidates c;
        c.down.digits.assign(exact.buffer.data() + exact.first,
                             static_cast<std::size_t>(exact.size()));
        c.down.digits.resize(static_cast<std::size_t>(count), '0');
        c.down.exponent = first;
        c.downReads = readsBack(c.down.digits, first, magnitude);
        if (count < exact.size()) {
            c.up = c.down;
            if (addOneInLastPlace(c.up.digits)) {
                ++c.up.exponent;
            }
            c.upReads = readsBack(c.up.digits, c.up.exponent, magnitude);
        }
        return c;
    };
    auto reads = [](const Candidates& c) {
        return c.downReads || c.upReads;
    };
    // Most figures either need 16 or 17 digits or are short: 15 digits first.
    int low = 1;
    int high = 15;
    Candidates c = candidates(15);
    if (!reads(c)) {
        low = high = 16;
        c = candidates(16);
        if (!reads(c)) {
            low = high = 17;
            c = candidates(17);
        }
    }
    while (low < high) {
        const int middle = (low + high) / 2;
        Candidates shorter = candidates(middle);
        if (reads(shorter)) {
            high = middle;
            c = std::move(shorter);
        } else {
            low = middle + 1;
        }
    }
    bool up = c.upReads;
    if (c.downReads && c.upReads) {
        // The nearer: the digits cut off against half of the last place, a tie to the even one.
        const std::string rest(exact.buffer.data() + exact.first + low,
                               static_cast<std::size_t>(exact.size() - low));
        const std::string half = "5" + std::string(rest.size() - 1, '0');
        up = rest > half || (rest == half && (c.down.digits.back() - '0') % 2 == 1);
    }
    SignificantDigits shortest = up ? c.up : c.down;
    dropTrailingZeros(shortest.digits);
    return shortest;
}

} // namespace lenstally
