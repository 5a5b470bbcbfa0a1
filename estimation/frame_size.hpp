// SPDX-License-Identifier: MIT
#pragma once
// The stream, quality and bitrate modes, the fixed frame-size table and the video-quality factors.

#include <optional>

namespace lenstally {

/// The stream types, in the order of the window's buttons and of the table's columns.
enum class Stream { Mjpeg = 0, Mpeg4 = 1, H264 = 2 };

/// The video qualities, in the order of the window's quality list.
enum class Quality { Highest = 0, Normal = 1, Low = 2 };

/// The bitrate modes of MPEG-4 and H.264, in the order of the window's list; MJPEG has none.
enum class BitrateMode { Vbr = 0, Cbr = 1 };

inline constexpr int kResolutionCount = 7;

/// The table entry in KB per frame for `stream` at `resolution` (0 = QCIF ... 6 = 3 Megapixel).
/// The entries are fixed constants, not computed from one another (H.264 at 2 Megapixel is
/// 13.71428). Returns 0 for a resolution outside 0..6.
double FrameSizeEntry(Stream stream, int resolution);

/// The estimated frame size: the table entry for the selected resolution (0 when none is
/// selected), times 1.5 for Highest, times 0.6 for Low, unchanged for Normal and when no quality
/// is picked.
///
/// Example: EstimateFrameSize(Stream::Mjpeg, 1, Quality::Low) == 13 * 0.6, written "7.8".
double EstimateFrameSize(Stream stream, std::optional<int> resolution,
                         std::optional<Quality> quality);

} // namespace lenstally
