// SPDX-License-Identifier: MIT
#include "estimation/portable_math.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <limits>
#include <mpfr.h>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// Each function against MPFR's correctly rounded value on a million or more arguments: random
// ones over the whole stated domain, and the ones where an implementation goes wrong (zeros of
// both signs, subnormals, the points where a reduction or a polynomial changes, the doubles
// nearest to multiples of pi/2, the ends of the domain, infinities and NaN).

namespace lenstally::math {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMinSubnormal = std::numeric_limits<double>::denorm_min();
constexpr double kMaxSubnormal = std::numeric_limits<double>::min() - kMinSubnormal;
constexpr double kMinNormal = std::numeric_limits<double>::min();
constexpr double kMax = std::numeric_limits<double>::max();
// The largest |x| Sin, Cos and Tan serve (2^20 and beyond give NaN).
const double kTrigLimit = std::nextafter(0x1p20, 0.0);

// 27 bits more than a double: the reference's own rounding moves a figure by 2^-27 ulp at most.
constexpr mpfr_prec_t kBits = 80;

class Mpfr {
public:
    Mpfr() { mpfr_init2(m_value, kBits); }
    ~Mpfr() { mpfr_clear(m_value); }
    Mpfr(const Mpfr&) = delete;
    Mpfr& operator=(const Mpfr&) = delete;
    mpfr_ptr get() { return m_value; }

private:
    mpfr_t m_value;
};

// How far a result is from the exact value, in units of the last place of the exact value's
// binade (of the subnormal spacing below the normal range). A result that should be an infinity,
// a zero or NaN must be exactly that, sign included; otherwise it is infinitely far.
double ulpsOff(double computed, mpfr_ptr exact, mpfr_ptr scratch) {
    if (mpfr_nan_p(exact) != 0) {
        return std::isnan(computed) ? 0 : kInf;
    }
    if (mpfr_inf_p(exact) != 0 || mpfr_zero_p(exact) != 0) {
        const double expected = mpfr_get_d(exact, MPFR_RNDN);
        return computed == expected && std::signbit(computed) == std::signbit(expected) ? 0 : kInf;
    }
    if (!std::isfinite(computed)) {
        return kInf;
    }
    // exact = m 2^e with 1/2 <= m < 1; a double of that binade has its last bit at 2^(e - 53).
    const long lastBit = std::max(mpfr_get_exp(exact), -1021L) - 53;
    mpfr_sub_d(scratch, exact, computed, MPFR_RNDN);
    mpfr_mul_2si(scratch, scratch, -lastBit, MPFR_RNDN);
    return std::fabs(mpfr_get_d(scratch, MPFR_RNDN));
}

// The largest error seen, and where.
struct Worst {
    double ulps = 0;
    double x = 0;
    double y = 0;
    std::size_t count = 0;
    void take(double off, double atX, double atY = 0) {
        ++count;
        if (!(off <= ulps)) { // NaN counts as the worst
            ulps = off;
            x = atX;
            y = atY;
        }
    }
};

std::string describe(const Worst& worst) {
    std::ostringstream text;
    text.precision(17);
    text << worst.ulps << " ulp at x = " << worst.x << " (" << std::hexfloat << worst.x
         << std::defaultfloat << "), y = " << worst.y << ", over " << worst.count << " arguments";
    return text.str();
}

// A random double of the given binary exponent, with a random sign when signed.
class Draw {
public:
    explicit Draw(std::uint64_t seed) : m_bits(seed) {}
    double withExponent(int exponent, bool sign = true) {
        const std::uint64_t bits = m_bits();
        double value = 0;
        if (exponent < -1022) {
            value = std::bit_cast<double>(bits & 0x000fffffffffffffULL); // subnormal
        } else {
            value = std::ldexp(1.0 + static_cast<double>(bits >> 12) * 0x1p-52, exponent);
        }
        return sign && (bits & 1U) != 0 ? -value : value;
    }
    double between(double low, double high) {
        return low + (high - low) * static_cast<double>(m_bits() >> 11) * 0x1p-53;
    }
    int exponent(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(m_bits);
    }
    std::uint64_t bits() { return m_bits(); }

private:
    std::mt19937_64 m_bits;
};

// Every double within `steps` of x, x included.
void addNeighbours(std::vector<double>& into, double x, int steps) {
    double below = x;
    double above = x;
    into.push_back(x);
    for (int i = 0; i < steps; ++i) {
        below = std::nextafter(below, -kInf);
        above = std::nextafter(above, kInf);
        into.push_back(below);
        into.push_back(above);
    }
}

// The doubles within `steps` of each point and of its negative, then -0, the infinities and NaN.
void addEdges(std::vector<double>& into, std::initializer_list<double> points, int steps) {
    for (const double x : points) {
        addNeighbours(into, x, steps);
        addNeighbours(into, -x, steps);
    }
    into.insert(into.end(), {-0.0, kInf, -kInf, kNaN});
}

// The doubles nearest to k pi/2 for every k whose multiple lies in the domain, kept when they
// fall closest to the multiple (the hardest to reduce) and for a random share of the rest.
std::vector<double> nearQuarterTurns(Draw& draw, std::size_t wanted) {
    Mpfr halfPi;
    Mpfr multiple;
    Mpfr scratch;
    mpfr_const_pi(halfPi.get(), MPFR_RNDN);
    mpfr_div_2ui(halfPi.get(), halfPi.get(), 1, MPFR_RNDN);
    std::vector<double> found;
    const auto last = static_cast<unsigned long>(kTrigLimit / (std::numbers::pi / 2));
    const double share = static_cast<double>(wanted) / static_cast<double>(last);
    for (unsigned long k = 1; k <= last; ++k) {
        mpfr_mul_ui(multiple.get(), halfPi.get(), k, MPFR_RNDN);
        const double x = mpfr_get_d(multiple.get(), MPFR_RNDN);
        mpfr_sub_d(scratch.get(), multiple.get(), x, MPFR_RNDN);
        // Closer to the multiple than 2^-12 of x's last bit (a few hundred of them, the closest
        // within about 2^-20): the remainder loses its leading bits to the most cancellation.
        const bool hard = mpfr_get_exp(scratch.get()) < mpfr_get_exp(multiple.get()) - 53 - 12;
        if (hard || k < 2000 || draw.between(0, 1) < share) {
            addNeighbours(found, x, 1);
        }
    }
    return found;
}

std::vector<double> trigArguments() {
    Draw draw(20260101);
    std::vector<double> arguments = nearQuarterTurns(draw, 130000);
    for (int i = 0; i < 320000; ++i) {
        arguments.push_back(draw.withExponent(draw.exponent(-30, 19)));
    }
    for (int i = 0; i < 200000; ++i) {
        arguments.push_back(draw.between(-kTrigLimit, kTrigLimit));
    }
    for (int i = 0; i < 100000; ++i) {
        arguments.push_back(draw.withExponent(draw.exponent(-1080, -31)));
    }
    addEdges(arguments,
             {0.0, kMinSubnormal, kMaxSubnormal, kMinNormal, 0x1p-27, 0x1p-26, std::numbers::pi / 4,
              0x1.59428p-1, std::numbers::pi / 2, 3 * std::numbers::pi / 4, std::numbers::pi, 1.0,
              2.0, kTrigLimit, 0x1p19 * std::numbers::pi / 2},
             4);
    // 2^20 and the doubles above it (among the neighbours of the last one below), the infinities
    // and NaN are outside: the test of the domain's end takes them.
    std::erase_if(arguments, [](double x) { return !(std::fabs(x) <= kTrigLimit); });
    return arguments;
}

TEST(PortableMath, sin_cos_and_tan_are_within_one_ulp_below_2_to_the_20) {
    const std::vector<double> arguments = trigArguments();
    ASSERT_GE(arguments.size(), 1000000U);
    Mpfr argument;
    Mpfr sine;
    Mpfr cosine;
    Mpfr tangent;
    Mpfr scratch;
    Worst sin;
    Worst cos;
    Worst tan;
    for (const double x : arguments) {
        mpfr_set_d(argument.get(), x, MPFR_RNDN);
        mpfr_sin_cos(sine.get(), cosine.get(), argument.get(), MPFR_RNDN);
        mpfr_div(tangent.get(), sine.get(), cosine.get(), MPFR_RNDN);
        sin.take(ulpsOff(Sin(x), sine.get(), scratch.get()), x);
        cos.take(ulpsOff(Cos(x), cosine.get(), scratch.get()), x);
        tan.take(ulpsOff(Tan(x), tangent.get(), scratch.get()), x);
    }
    RecordProperty("Sin_max_ulp", std::to_string(sin.ulps));
    RecordProperty("Cos_max_ulp", std::to_string(cos.ulps));
    RecordProperty("Tan_max_ulp", std::to_string(tan.ulps));
    EXPECT_LE(sin.ulps, 1.0) << "Sin: " << describe(sin);
    EXPECT_LE(cos.ulps, 1.0) << "Cos: " << describe(cos);
    EXPECT_LE(tan.ulps, 1.0) << "Tan: " << describe(tan);
}

TEST(PortableMath, sin_cos_and_tan_are_nan_outside_their_domain_and_keep_the_sign_of_zero) {
    for (const double x : {0x1p20, -0x1p20, 1e300, kMax, kInf, -kInf, kNaN}) {
        EXPECT_TRUE(std::isnan(Sin(x))) << x;
        EXPECT_TRUE(std::isnan(Cos(x))) << x;
        EXPECT_TRUE(std::isnan(Tan(x))) << x;
    }
    EXPECT_TRUE(std::signbit(Sin(-0.0)));
    EXPECT_TRUE(std::signbit(Tan(-0.0)));
    EXPECT_EQ(Cos(-0.0), 1.0);
}

std::vector<double> atanArguments() {
    Draw draw(20260102);
    std::vector<double> arguments;
    // Half over every binade, half where the reduction's intervals and the polynomial lie.
    for (int i = 0; i < 500000; ++i) {
        arguments.push_back(draw.withExponent(draw.exponent(-1080, 1023)));
    }
    for (int i = 0; i < 500000; ++i) {
        arguments.push_back(draw.withExponent(draw.exponent(-30, 70)));
    }
    addEdges(arguments,
             {0.0, kMinSubnormal, kMaxSubnormal, kMinNormal, 0x1p-27, 0.4375, 0.6875, 1.0, 1.1875,
              1.5, 2.4375, 0x1p66, kMax},
             4);
    return arguments;
}

TEST(PortableMath, atan_is_within_one_ulp_on_every_double) {
    Mpfr argument;
    Mpfr value;
    Mpfr scratch;
    Worst worst;
    for (const double x : atanArguments()) {
        mpfr_set_d(argument.get(), x, MPFR_RNDN);
        mpfr_atan(value.get(), argument.get(), MPFR_RNDN);
        worst.take(ulpsOff(Atan(x), value.get(), scratch.get()), x);
    }
    RecordProperty("Atan_max_ulp", std::to_string(worst.ulps));
    EXPECT_LE(worst.ulps, 1.0) << describe(worst);
    EXPECT_GE(worst.count, 1000000U);
}

TEST(PortableMath, atan2_is_within_one_ulp_on_every_pair_and_exact_where_the_c_library_is) {
    Draw draw(20260103);
    std::vector<std::pair<double, double>> pairs;
    // y and x of any magnitudes, mostly within 2^70 of each other, where the quotient matters.
    for (int i = 0; i < 700000; ++i) {
        const int ex = draw.exponent(-1080, 1023);
        const int ey = std::clamp(ex + draw.exponent(-70, 70), -1080, 1023);
        pairs.emplace_back(draw.withExponent(ey), draw.withExponent(ex));
    }
    for (int i = 0; i < 300000; ++i) {
        pairs.emplace_back(draw.withExponent(draw.exponent(-1080, 1023)),
                           draw.withExponent(draw.exponent(-1080, 1023)));
    }
    // |y| = |x|, and quotients at the ends of the shortcuts (2^60 apart).
    for (const double x : {1.0, 3.0, 0x1p-1000, 0x1p1000}) {
        for (const double y : {x, x * 0x1p60, x * 0x1p61, x * 0x1p-60, x * 0x1p-61}) {
            for (const double sx : {1.0, -1.0}) {
                pairs.emplace_back(y, sx * x);
                pairs.emplace_back(-y, sx * x);
                pairs.emplace_back(sx * x, y);
            }
        }
    }
    // Every pair of special values, the C library's table of zeros and infinities.
    const double specials[] = {0.0,  -0.0,  kMinSubnormal, -kMinSubnormal, 1.0, -1.0,
                               kMax, -kMax, kInf,          -kInf,          kNaN};
    for (const double y : specials) {
        for (const double x : specials) {
            pairs.emplace_back(y, x);
        }
    }
    Mpfr y;
    Mpfr x;
    Mpfr value;
    Mpfr scratch;
    Worst worst;
    for (const auto& [py, px] : pairs) {
        mpfr_set_d(y.get(), py, MPFR_RNDN);
        mpfr_set_d(x.get(), px, MPFR_RNDN);
        mpfr_atan2(value.get(), y.get(), x.get(), MPFR_RNDN);
        worst.take(ulpsOff(Atan2(py, px), value.get(), scratch.get()), px, py);
    }
    RecordProperty("Atan2_max_ulp", std::to_string(worst.ulps));
    EXPECT_LE(worst.ulps, 1.0) << describe(worst);
    // The corners of the special table are the correctly rounded multiples of pi/4.
    EXPECT_EQ(Atan2(kInf, -kInf), std::atan2(kInf, -kInf));
    EXPECT_EQ(Atan2(-0.0, -0.0), -std::numbers::pi);
    EXPECT_EQ(Atan2(-1.0, kInf), -0.0);
    EXPECT_TRUE(std::signbit(Atan2(-1.0, kInf)));
}

std::vector<double> degreeArguments() {
    Draw draw(20260104);
    std::vector<double> arguments;
    for (int i = 0; i < 420000; ++i) {
        arguments.push_back(draw.between(-720, 720));
    }
    for (int i = 0; i < 300000; ++i) {
        arguments.push_back(draw.withExponent(draw.exponent(-1080, 1023)));
    }
    // Close to multiples of 30 and 45 degrees, a few hundredths of a degree at most.
    for (int i = 0; i < 300000; ++i) {
        const double multiple = 15.0 * static_cast<double>(draw.exponent(-100, 100));
        arguments.push_back(multiple + draw.withExponent(draw.exponent(-60, -6)));
    }
    for (int k = -8; k <= 8; ++k) {
        addNeighbours(arguments, 45.0 * k, 3);
    }
    // Whole quarter turns, where the result is exactly 0, 1 or -1 (zeros signed as sin is odd
    // and cos even), not merely within one ulp of it.
    for (int k = -100000; k <= 100000; k += 7) {
        arguments.push_back(90.0 * k);
    }
    addEdges(arguments, {kMinSubnormal, kMinNormal, 1e-300, 1e300, kMax}, 2);
    return arguments;
}

TEST(PortableMath, sin_and_cos_of_degrees_are_within_one_ulp_and_exact_at_quarter_turns) {
    // The reference: degrees mod 360 (exact in doubles), times pi/180 with 200 bits, then sine
    // and cosine at once. Whole quarter turns are compared with their exact values instead,
    // bit for bit: within one ulp is not enough where the exact value is 0, 1 or -1, and the
    // zeros are signed as sin (odd) and cos (even) sign them.
    Mpfr radians;
    mpfr_set_prec(radians.get(), 200);
    Mpfr sine;
    Mpfr cosine;
    Mpfr scratch;
    Worst sin;
    Worst cos;
    std::vector<double> inexactQuarterTurns;
    const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    for (const double degrees : degreeArguments()) {
        const double turn = std::fmod(degrees, 360.0);
        if (std::fmod(turn, 90.0) == 0) {
            const double zero = std::copysign(0.0, degrees);
            const double sines[] = {zero, 1.0, zero, -1.0};
            const double cosines[] = {1.0, 0.0, -1.0, 0.0};
            const auto quarter = static_cast<std::size_t>(std::fmod(turn / 90.0 + 4.0, 4.0));
            if (!same(SinDegrees(degrees), sines[quarter]) ||
                !same(CosDegrees(degrees), cosines[quarter])) {
                inexactQuarterTurns.push_back(degrees);
            }
            continue;
        }
        if (std::isfinite(degrees)) {
            mpfr_const_pi(radians.get(), MPFR_RNDN);
            mpfr_mul_d(radians.get(), radians.get(), turn, MPFR_RNDN);
            mpfr_div_ui(radians.get(), radians.get(), 180, MPFR_RNDN);
            mpfr_sin_cos(sine.get(), cosine.get(), radians.get(), MPFR_RNDN);
        } else {
            mpfr_set_nan(sine.get());
            mpfr_set_nan(cosine.get());
        }
        sin.take(ulpsOff(SinDegrees(degrees), sine.get(), scratch.get()), degrees);
        cos.take(ulpsOff(CosDegrees(degrees), cosine.get(), scratch.get()), degrees);
    }
    EXPECT_TRUE(inexactQuarterTurns.empty())
        << inexactQuarterTurns.size() << " quarter turns not exact, the first "
        << inexactQuarterTurns.front() << " degrees";
    RecordProperty("SinDegrees_max_ulp", std::to_string(sin.ulps));
    RecordProperty("CosDegrees_max_ulp", std::to_string(cos.ulps));
    EXPECT_LE(sin.ulps, 1.0) << "SinDegrees: " << describe(sin);
    EXPECT_LE(cos.ulps, 1.0) << "CosDegrees: " << describe(cos);
    EXPECT_GE(sin.count, 1000000U);
}

} // namespace
} // namespace lenstally::math
