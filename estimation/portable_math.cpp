// SPDX-License-Identifier: MIT
#include "estimation/portable_math.hpp"

#include <cmath>

namespace lenstally::math {
namespace {

constexpr double kPi = 3.141592653589793;

} // namespace

// The C library's functions for now; each build's library may differ in the last place.
double Sin(double x) {
    return std::sin(x);
}

double Cos(double x) {
    return std::cos(x);
}

double Tan(double x) {
    return std::tan(x);
}

double Atan(double x) {
    return std::atan(x);
}

double Atan2(double y, double x) {
    return std::atan2(y, x);
}

double SinDegrees(double degrees) {
    const double d = std::fmod(degrees, 360.0);
    if (d == 0 || d == 180 || d == -180) {
        return 0;
    }
    return std::sin(d * kPi / 180.0);
}

double CosDegrees(double degrees) {
    const double d = std::fmod(degrees, 360.0);
    if (d == 90 || d == 270 || d == -90 || d == -270) {
        return 0;
    }
    return std::cos(d * kPi / 180.0);
}

} // namespace lenstally::math
