// SPDX-License-Identifier: MIT
#include "estimation/portable_math.hpp"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

// Everything here is built from IEEE additions, subtractions, multiplications and divisions, each
// rounded to nearest, and from operations that are exact wherever they are used (fabs, floor, fmod,
// frexp, ldexp, copysign). No fused multiply-add: the build turns contraction off, and the exact
// products below are formed from halves instead. So the same argument gives the same bits on
// every machine and with every C library.

namespace lenstally::math {
namespace {

// A value carried as head + tail, the tail below the head's last bit; the one rounding of the sum
// is the result's only rounding that the parts have not already accounted for.
struct Split {
    double head;
    double tail;
};

double sum(Split value) {
    // A zero tail leaves the head as it is (-0 + 0 would be +0).
    return value.tail == 0 ? value.head : value.head + value.tail;
}

// The biased exponent field of a finite double (0 for zero and subnormals).
int exponentField(double value) {
    return static_cast<int>((std::bit_cast<std::uint64_t>(value) >> 52) & 0x7ff);
}

// a + b exactly, as the rounded sum and its rounding error.
Split exactSum(double a, double b) {
    const double rounded = a + b;
    const double bShare = rounded - a;
    const double error = (a - (rounded - bShare)) + (b - bShare);
    return {rounded, error};
}

// a * b exactly, as the rounded product and its rounding error (each factor cut into two halves
// of 26 bits whose products are exact); neither overflows nor underflows where it is used.
Split exactProduct(double a, double b) {
    constexpr double kCut = 134217729.0; // 2^27 + 1
    const double aScaled = kCut * a;
    const double aHigh = aScaled - (aScaled - a);
    const double aLow = a - aHigh;
    const double bScaled = kCut * b;
    const double bHigh = bScaled - (bScaled - b);
    const double bLow = b - bHigh;
    const double product = a * b;
    const double error = ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
    return {product, error};
}

// ---- Sine, cosine and tangent near zero: |x| up to a little over pi/4, with a tail y ----

// Minimax polynomial for (sin x - x) / x^3 in x^2 on [-pi/4, pi/4].
constexpr double kSin1 = -0x1.5555555555549p-3;
constexpr double kSin2 = 0x1.111111110f8a6p-7;
constexpr double kSin3 = -0x1.a01a019c161d5p-13;
constexpr double kSin4 = 0x1.71de357b1fe7dp-19;
constexpr double kSin5 = -0x1.ae5e68a2b9cebp-26;
constexpr double kSin6 = 0x1.5d93a5acfd57cp-33;

// sin(x + y), with sin(x + y) ~ sin x + y (1 - x^2 / 2).
double sinNearZero(double x, double y) {
    const double z = x * x;
    const double xCubed = z * x;
    const double rest = kSin2 + z * (kSin3 + z * (kSin4 + z * (kSin5 + z * kSin6)));
    return x - ((z * (0.5 * y - xCubed * rest) - y) - xCubed * kSin1);
}

// Minimax polynomial for (cos x - 1 + x^2 / 2) / x^4 in x^2 on [-pi/4, pi/4].
constexpr double kCos1 = 0x1.555555555554cp-5;
constexpr double kCos2 = -0x1.6c16c16c15177p-10;
constexpr double kCos3 = 0x1.a01a019cb159p-16;
constexpr double kCos4 = -0x1.27e4f809c52adp-22;
constexpr double kCos5 = 0x1.1ee9ebdb4b1c4p-29;
constexpr double kCos6 = -0x1.8fae9be8838d4p-37;

// cos(x + y), with cos(x + y) ~ cos x - x y. 1 - x^2 / 2 is formed with its rounding error kept,
// so the polynomial's terms are added to an exact leading part.
double cosNearZero(double x, double y) {
    const double z = x * x;
    const double zSquared = z * z;
    const double rest = z * (kCos1 + z * (kCos2 + z * kCos3)) +
                        zSquared * zSquared * (kCos4 + z * (kCos5 + z * kCos6));
    const double halfZ = 0.5 * z;
    const double lead = 1.0 - halfZ;
    return lead + (((1.0 - lead) - halfZ) + (z * rest - x * y));
}

// Minimax polynomial for (tan x - x) / x^3 in x^2 on [-0.6744, 0.6744].
constexpr double kTan[] = {
    0x1.5555555555563p-2,  0x1.111111110fe7ap-3,  0x1.ba1ba1bb341fep-5,  0x1.664f48406d637p-6,
    0x1.226e3e96e8493p-7,  0x1.d6d22c9560328p-9,  0x1.7dbc8fee08315p-10, 0x1.344d8f2f26501p-11,
    0x1.026f71a8d1068p-12, 0x1.47e88a03792a6p-14, 0x1.2b80f32f0a7e9p-14, -0x1.375cbdb605373p-16,
    0x1.b2a7074bf7ad4p-16,
};
// pi/4 as head and tail.
constexpr double kQuarterPiHead = 0x1.921fb54442d18p-1;
constexpr double kQuarterPiTail = 0x1.1a62633145c07p-55;
// From this |x| on, the polynomial works on pi/4 - |x| instead, where it converges faster.
constexpr double kTanFold = 0x1.59428p-1; // 0.6744...

// The head of a double with its last 32 bits cleared: a number of 21 bits, whose products with
// another such head are exact.
double upperHalf(double value) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(value) & 0xffffffff00000000ULL);
}

// tan(x + y) when cotangent is false, -1 / tan(x + y) when it is true.
double tanNearZero(double x, double y, bool cotangent) {
    const bool folded = std::fabs(x) >= kTanFold;
    const bool negative = x < 0;
    if (folded) {
        // tan(pi/4 - t) = (1 - tan t) / (1 + tan t): the polynomial works on t.
        if (negative) {
            x = -x;
            y = -y;
        }
        x = (kQuarterPiHead - x) + (kQuarterPiTail - y);
        y = 0.0;
    }
    const double z = x * x;
    const double zSquared = z * z;
    // The odd and even terms in z^2, summed apart to keep the evaluation short.
    double odd =
        kTan[1] +
        zSquared * (kTan[3] +
                    zSquared * (kTan[5] +
                                zSquared * (kTan[7] + zSquared * (kTan[9] + zSquared * kTan[11]))));
    const double even =
        z * (kTan[2] +
             zSquared *
                 (kTan[4] +
                  zSquared * (kTan[6] +
                              zSquared * (kTan[8] + zSquared * (kTan[10] + zSquared * kTan[12])))));
    const double xCubed = z * x;
    odd = y + z * (xCubed * (odd + even) + y);
    odd += kTan[0] * xCubed;
    const double tangent = x + odd; // tan(t) = x + odd, odd small beside x
    if (folded) {
        // With w = tan t: k - 2 (w - w^2 / (w + k)) is (1 - w) / (1 + w) for k = 1 and its
        // negative reciprocal for k = -1, written so that x and odd enter unrounded.
        const double k = cotangent ? -1.0 : 1.0;
        const double value = k - 2.0 * (x - (tangent * tangent / (tangent + k) - odd));
        return negative ? -value : value;
    }
    if (!cotangent) {
        return tangent;
    }
    // -1 / (x + odd), with the quotient's first half corrected by its exact residual so the
    // rounding of x + odd does not add to the error.
    const double head = upperHalf(tangent);
    const double headRest = odd - (head - x); // head + headRest = x + odd
    const double quotient = -1.0 / tangent;
    const double quotientHead = upperHalf(quotient);
    const double residual = 1.0 + quotientHead * head;
    return quotientHead + quotient * (residual + quotientHead * headRest);
}

// ---- Reduction by pi/2 ----

// The largest |x| the reduction below serves: n * kPio2Piece1 is exact while n < 2^20.
constexpr double kReductionLimit = 0x1p20;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// pi/2 as three 33-bit pieces, each followed by the rest of pi/2 below it rounded to a double.
constexpr double kPio2Piece1 = 0x1.921fb544p+0;
constexpr double kPio2Rest1 = 0x1.0b4611a626331p-34;
constexpr double kPio2Piece2 = 0x1.0b4611a6p-34;
constexpr double kPio2Rest2 = 0x1.3198a2e037073p-69;
constexpr double kPio2Piece3 = 0x1.3198a2ep-69;
constexpr double kPio2Rest3 = 0x1.b839a252049c1p-104;

struct Reduced {
    int quadrant; // n mod 4, 0 to 3
    Split angle;  // x - n pi/2, |angle| <= pi/4 or a rounding above it
};

// What is left of x - n pi/2 as it is taken off piece by piece: value - owed, where owed is what
// is still to be taken off (the rest of pi/2 beyond the pieces taken, times n).
struct Remainder {
    double value;
    double owed;
};

// Takes n piece off as well: the owed amount is replaced by n rest, less the rounding error of
// taking n piece off the value, which is kept rather than lost.
Remainder takeOff(Remainder left, double n, double piece, double rest) {
    const double taken = n * piece;
    const double value = left.value - taken;
    return {value, n * rest - ((left.value - value) - taken)};
}

// x - n pi/2 for the nearest whole n, for |x| < kReductionLimit. The first piece takes 33 bits of
// pi/2 off exactly; when x is close to a multiple of pi/2 the difference loses its leading bits,
// and the second piece, then the third, are taken off too, so the result keeps a full double of
// correct bits even for the doubles nearest to multiples of pi/2.
Reduced reduceQuarterTurns(double x) {
    const bool negative = x < 0;
    const double t = std::fabs(x);
    const double n = std::floor(t * kTwoOverPi + 0.5);
    if (n == 0) {
        return {0, {x, 0.0}};
    }
    // t - n piece1 is exact: both are multiples of 2^-53 (t is at least pi/4, piece1 ends at
    // 2^-32) and they differ by less than 1.
    Remainder left{t - n * kPio2Piece1, n * kPio2Rest1};
    double head = left.value - left.owed;
    const int exponent = exponentField(t);
    if (exponent - exponentField(head) > 16) {
        // Cancellation: the second piece is taken off too, then the third if it goes on.
        left = takeOff(left, n, kPio2Piece2, kPio2Rest2);
        head = left.value - left.owed;
        if (exponent - exponentField(head) > 49) {
            left = takeOff(left, n, kPio2Piece3, kPio2Rest3);
            head = left.value - left.owed;
        }
    }
    const double tail = (left.value - head) - left.owed;
    const int quadrant = static_cast<int>(std::fmod(n, 4.0));
    if (negative) {
        return {(4 - quadrant) & 3, {-head, -tail}};
    }
    return {quadrant, {head, tail}};
}

// ---- Arc tangent ----

// atan(1/2), atan(1), atan(3/2) and atan(infinity) = pi/2 as head and tail.
constexpr double kAtanHead[] = {0x1.dac670561bb4fp-2, 0x1.921fb54442d18p-1, 0x1.f730bd281f69bp-1,
                                0x1.921fb54442d18p+0};
constexpr double kAtanTail[] = {0x1.a2b7f222f65e2p-56, 0x1.1a62633145c07p-55, 0x1.007887af0cbbdp-56,
                                0x1.1a62633145c07p-54};
// Minimax polynomial for (x - atan x) / x in x^2 on [-7/16, 7/16], from the x^2 term on.
constexpr double kAtan[] = {
    0x1.555555555550dp-2, -0x1.999999998ebc4p-3, 0x1.24924920083ffp-3, -0x1.c71c6fe231671p-4,
    0x1.745cdc54c206ep-4, -0x1.3b0f2af749a6dp-4, 0x1.10d66a0d03d51p-4, -0x1.dde2d52defd9ap-5,
    0x1.97b4b24760debp-5, -0x1.2b4442c6a6c2fp-5, 0x1.0ad3ae322da11p-6,
};
constexpr double kPiHead = 0x1.921fb54442d18p+1;
constexpr double kPiTail = 0x1.1a62633145c07p-53;
constexpr double kHalfPiHead = kAtanHead[3];
constexpr double kHalfPiTail = kAtanTail[3];

// atan(x + correction) for any x, the correction being far below x's last bit (0 for Atan; the
// rest of a quotient for Atan2). |x| is first brought near 0, 1/2, 1 or 3/2 (or its reciprocal
// taken), then the polynomial gives the arc tangent of what is left, added to that point's arc
// tangent, whose head is exact.
Split atanParts(double x, double correction) {
    const double ax = std::fabs(x);
    if (std::isnan(x)) {
        return {x + x, 0.0};
    }
    if (ax >= 0x1p66) {
        // atan x differs from pi/2 by less than 1/x, far below the last bit.
        return x > 0 ? Split{kHalfPiHead, kHalfPiTail} : Split{-kHalfPiHead, -kHalfPiTail};
    }
    if (ax < 0x1p-27) {
        // atan x = x - x^3/3 + ...: x^3/3 is below half of x's last bit.
        return {x, correction};
    }
    // The correction is a change of the argument: atan(x + c) = atan x + c / (1 + x^2).
    correction = correction / (1.0 + ax * ax);
    int point = -1; // which of kAtanHead is the base, -1 for none
    double t = x;   // what is left for the polynomial
    if (ax >= 0.4375) {
        // Below, |x| is reduced and the result's sign restored at the end.
        if (x < 0) {
            correction = -correction;
        }
        if (ax < 0.6875) {
            point = 0;
            t = (2.0 * ax - 1.0) / (2.0 + ax);
        } else if (ax < 1.1875) {
            point = 1;
            t = (ax - 1.0) / (ax + 1.0);
        } else if (ax < 2.4375) {
            point = 2;
            t = (ax - 1.5) / (1.0 + 1.5 * ax);
        } else {
            point = 3;
            t = -1.0 / ax;
        }
    }
    const double z = t * t;
    const double zSquared = z * z;
    // The odd and even powers of z, summed apart to keep the evaluation short.
    const double odd =
        z *
        (kAtan[0] +
         zSquared *
             (kAtan[2] +
              zSquared * (kAtan[4] +
                          zSquared * (kAtan[6] + zSquared * (kAtan[8] + zSquared * kAtan[10])))));
    const double even =
        zSquared *
        (kAtan[1] +
         zSquared *
             (kAtan[3] + zSquared * (kAtan[5] + zSquared * (kAtan[7] + zSquared * kAtan[9]))));
    if (point < 0) {
        return {t, correction - t * (odd + even)};
    }
    const auto index = static_cast<std::size_t>(point);
    const double tail = -(((t * (odd + even) - kAtanTail[index]) - correction) - t);
    return x < 0 ? Split{-kAtanHead[index], -tail} : Split{kAtanHead[index], tail};
}

// atan(a / b) for finite a > 0 and b > 0. The quotient's rounding is undone: its exact rest goes
// into the arc tangent as a correction, so only the arc tangent's own error remains.
Split atanOfQuotient(double a, double b) {
    int aExponent = 0;
    int bExponent = 0;
    std::frexp(a, &aExponent);
    std::frexp(b, &bExponent);
    if (aExponent - bExponent > 60) {
        // a/b > 2^59: pi/2 - b/a, with b/a below the last bit of pi/2.
        return {kHalfPiHead, kHalfPiTail};
    }
    if (aExponent - bExponent < -60) {
        // a/b < 2^-59: atan(a/b) = a/b to far below its last bit (underflowing as it must).
        return {a / b, 0.0};
    }
    // Scaled by a power of two, both are normal and the exact product below cannot overflow.
    a = std::ldexp(a, -bExponent);
    b = std::ldexp(b, -bExponent);
    const double quotient = a / b;
    const Split back = exactProduct(quotient, b);
    // a - back.head is exact: back.head is within a rounding of a.
    const double rest = ((a - back.head) - back.tail) / b;
    return atanParts(quotient, rest);
}

// ---- Degrees ----

// pi/180 as head and tail.
constexpr double kRadiansPerDegreeHead = 0x1.1df46a2529d39p-6;
constexpr double kRadiansPerDegreeTail = 0x1.5c1d8becdd291p-62;

struct ReducedDegrees {
    int quadrant;  // which multiple of 90 degrees was taken off, mod 4
    Split radians; // what is left, in radians, |radians| <= pi/4
};

// degrees mod 360 (exact), less the nearest multiple of 90 (exact: both are multiples of the
// smaller one's last bit and what is left is at most 45), converted to radians with an exact
// product, so the conversion rounds only in the tail.
ReducedDegrees reduceDegrees(double degrees) {
    const double turn = std::fmod(degrees, 360.0);
    const double n = std::floor(turn / 90.0 + 0.5);
    const double left = turn - n * 90.0;
    if (std::fabs(left) < 0x1p-900) {
        // The halves of so small a number would underflow: the product is formed 2^200 higher,
        // where it rounds once, and brought back (exactly, or rounding once more to a
        // subnormal, far coarser).
        const double scaled = std::ldexp(left, 200) * kRadiansPerDegreeHead;
        return {static_cast<int>(n) & 3, {std::ldexp(scaled, -200), 0.0}};
    }
    const Split product = exactProduct(left, kRadiansPerDegreeHead);
    const double tail = product.tail + left * kRadiansPerDegreeTail;
    const Split radians = exactSum(product.head, tail);
    return {static_cast<int>(n) & 3, radians};
}

// sin(quadrant pi/2 + angle) for an angle of at most pi/4 or a little more; cos is the same one
// quarter turn on.
double sinOfQuarterTurns(int quadrant, Split angle) {
    switch (quadrant & 3) {
    case 0:
        return sinNearZero(angle.head, angle.tail);
    case 1:
        return cosNearZero(angle.head, angle.tail);
    case 2:
        return -sinNearZero(angle.head, angle.tail);
    default:
        return -cosNearZero(angle.head, angle.tail);
    }
}

// Sin, Cos and Tan of an argument the reduction does not serve: NaN (a NaN argument as it is).
double outsideTheReduction(double x) {
    return std::isnan(x) ? x : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

double Sin(double x) {
    if (!(std::fabs(x) < kReductionLimit)) {
        return outsideTheReduction(x);
    }
    const Reduced r = reduceQuarterTurns(x);
    return sinOfQuarterTurns(r.quadrant, r.angle);
}

double Cos(double x) {
    if (!(std::fabs(x) < kReductionLimit)) {
        return outsideTheReduction(x);
    }
    const Reduced r = reduceQuarterTurns(x);
    return sinOfQuarterTurns(r.quadrant + 1, r.angle);
}

double Tan(double x) {
    if (!(std::fabs(x) < kReductionLimit)) {
        return outsideTheReduction(x);
    }
    if (x == 0) {
        return x; // keeps the sign of zero
    }
    const Reduced r = reduceQuarterTurns(x);
    // An odd number of quarter turns: tan(t + pi/2) = -1 / tan t.
    return tanNearZero(r.angle.head, r.angle.tail, (r.quadrant & 1) != 0);
}

double Atan(double x) {
    return sum(atanParts(x, 0.0));
}

double Atan2(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) {
        return x + y;
    }
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    const bool left = std::signbit(x); // x < 0 or x is -0
    double angle = 0;                  // the angle for |y|, from 0 to pi
    if (ay == 0) {
        angle = left ? kPiHead : 0.0;
    } else if (std::isinf(ax)) {
        if (std::isinf(ay)) {
            angle = left ? 3.0 * kQuarterPiHead : kQuarterPiHead;
        } else {
            angle = left ? kPiHead : 0.0;
        }
    } else if (std::isinf(ay) || ax == 0) {
        angle = kHalfPiHead;
    } else if (!left) {
        angle = sum(atanOfQuotient(ay, ax));
    } else if (ay < ax) {
        // pi - atan(|y| / |x|), summed with the rounding of the leading difference kept.
        const Split z = atanOfQuotient(ay, ax);
        const Split lead = exactSum(kPiHead, -z.head);
        angle = lead.head + ((lead.tail + kPiTail) - z.tail);
    } else {
        // pi/2 + atan(|x| / |y|): the arc tangent stays below pi/4, its error small beside
        // the sum's last bit.
        const Split z = atanOfQuotient(ax, ay);
        const Split lead = exactSum(kHalfPiHead, z.head);
        angle = lead.head + ((lead.tail + kHalfPiTail) + z.tail);
    }
    return std::signbit(y) ? -angle : angle;
}

double SinDegrees(double degrees) {
    if (!std::isfinite(degrees)) {
        return degrees - degrees;
    }
    const ReducedDegrees r = reduceDegrees(degrees);
    const double value = sinOfQuarterTurns(r.quadrant, r.radians);
    // A whole number of half turns: the sign of the angle, as sin is odd (sin 180 is +0).
    return value == 0 ? std::copysign(0.0, degrees) : value;
}

double CosDegrees(double degrees) {
    if (!std::isfinite(degrees)) {
        return degrees - degrees;
    }
    const ReducedDegrees r = reduceDegrees(degrees);
    // An odd number of quarter turns gives +0, as cos is even.
    return sinOfQuarterTurns(r.quadrant + 1, r.radians) + 0.0;
}

} // namespace lenstally::math
