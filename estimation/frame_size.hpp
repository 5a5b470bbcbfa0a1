// SPDX-License-Identifier: MIT
#pragma once
// The fixed frame-size table and the video-quality factors.

#include <optional>

namespace lenstally {

enum class Stream { Mjpeg = 0, Mpeg4 = 1, H264 = 2 };

inline constexpr int kResolutionCount = 7;

/// The table entry in KB per frame for `stream` at `resolution` (0 = QCIF ... 6 = 3 Megapixel).
/// The entries are fixed constants, not computed from one another (H.264 at 2 Megapixel is
/// 13.71428). Returns 0 for a resolution outside 0..6.
double FrameSizeEntry(Stream stream, int resolution);

/// The estimated frame size: the table entry for the selected resolution (0 when none is
/// selected), times 1.5 for quality position 0 ("Highest"), times 0.6 for position 2 ("Low"),
/// unchanged for any other position (1 "Normal", -1 nothing picked).
///
/// Example: EstimateFrameSize(Stream::Mjpeg, 1, 2) == 13 * 0.6, which is written "7.8".
double EstimateFrameSize(Stream stream, std::optional<int> resolution, int qualityIndex);

} // namespace lenstally
