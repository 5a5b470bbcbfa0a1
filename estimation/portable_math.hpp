// SPDX-License-Identifier: MIT
#pragma once
// The elementary functions the core computes with, written here rather than taken from the C
// library, so that every build (glibc natively, wasi-libc in the browser) gives the same bits.

namespace lenstally::math {

/// sin, cos and tan of an angle in radians.
double Sin(double x);
double Cos(double x);
double Tan(double x);
/// The arc tangent, in radians from -pi/2 to pi/2.
double Atan(double x);
/// The angle of the point (x, y), in radians from -pi to pi, as std::atan2 defines it.
double Atan2(double y, double x);
/// sin and cos of an angle in degrees; exact at every multiple of 90 (SinDegrees(180) is 0).
double SinDegrees(double degrees);
double CosDegrees(double degrees);

} // namespace lenstally::math
