// SPDX-License-Identifier: MIT
#pragma once
// The elementary functions the core computes with, written here rather than taken from the C
// library, so that every build (glibc natively, wasi-libc in the browser) gives the same bits:
// they use only IEEE additions, subtractions, multiplications, divisions and exact operations
// (fabs, floor, fmod, frexp, ldexp), and every build compiles without fused multiply-add.
//
// Each result is within 1 unit in the last place of the exact value on the domain given below
// (tests/estimation/portable_math_test.cpp checks over a million arguments of each against MPFR).

namespace lenstally::math {

/// sin, cos and tan of an angle in radians, within 1 ulp for |x| < 2^20 (1048576), which takes in
/// the doubles nearest to multiples of pi/2 too; the sign of a zero is kept (Sin(-0) is -0). NaN
/// for |x| >= 2^20, infinities and NaN: the reduction by pi/2 is exact only below that bound.
double Sin(double x);
double Cos(double x);
double Tan(double x);
/// The arc tangent, in radians from -pi/2 to pi/2, within 1 ulp for every double: Atan(-0) is
/// -0, Atan(+-infinity) is +-pi/2 (rounded), Atan(NaN) is NaN.
double Atan(double x);
/// The angle of the point (x, y), in radians from -pi to pi, within 1 ulp for every pair, with
/// the zeros, infinities and NaN as std::atan2 defines them: Atan2(+-0, -0) is +-pi,
/// Atan2(+-0, +0) is +-0, Atan2(+-y, -infinity) is +-pi, Atan2(+-infinity, -infinity) is +-3pi/4.
double Atan2(double y, double x);
/// sin and cos of an angle in degrees, within 1 ulp for every finite double (the angle is reduced
/// by 360 and by quarter turns exactly, then turned into radians), and exact at every multiple of
/// 90: SinDegrees(180) is +0, SinDegrees(-180) is -0, CosDegrees(90) is +0, CosDegrees(180) is
/// -1. NaN for infinities and NaN.
double SinDegrees(double degrees);
double CosDegrees(double degrees);

} // namespace lenstally::math
