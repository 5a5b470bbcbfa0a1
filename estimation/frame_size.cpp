// SPDX-License-Identifier: MIT
#include "estimation/frame_size.hpp"

#include <array>

namespace lenstally {
namespace {

// One row per resolution, one column per stream (MJPEG, MPEG-4, H.264), KB per frame.
constexpr std::array<std::array<double, 3>, kResolutionCount> kFrameSizes{{
    {5, 0.55556, 0.35714},
    {13, 1.44444, 0.92857},
    {25, 2.77778, 1.78571},
    {40, 4.44444, 2.85714},
    {130, 14.44444, 9.28571},
    {192, 21.33333, 13.71428},
    {315, 35, 22.5},
}};

} // namespace

double FrameSizeEntry(Stream stream, int resolution) {
    if (resolution < 0 || resolution >= kResolutionCount) {
        return 0.0;
    }
    return kFrameSizes[static_cast<std::size_t>(resolution)][static_cast<std::size_t>(stream)];
}

double EstimateFrameSize(Stream stream, std::optional<int> resolution,
                         std::optional<Quality> quality) {
    double value = resolution ? FrameSizeEntry(stream, *resolution) : 0.0;
    if (quality == Quality::Highest) {
        value *= 1.5;
    } else if (quality == Quality::Low) {
        value *= 0.6;
    }
    return value;
}

} // namespace lenstally
