// SPDX-License-Identifier: MIT
#pragma once
// Bandwidth and storage estimates as pure functions of plain numbers, and the rules that turn
// their results into captions. Every function computes in doubles, one operation at a time, in a
// fixed order, so results are identical to the last bit wherever they are computed.

#include <string>

namespace lenstally {

/// The caption every result shows when its value is not a finite number: an overflow, a division
/// by zero, an invalid operation, or an input beyond the range of a double.
inline constexpr const char* kOutOfRange = "Out of range";

/// Per-camera bandwidth in Kbps from a frame size in KB and a frame-rate list position
/// (frames per second = position + 1): S * 8, times (f + 1), times 5, divided by 4.
/// Example: FrameBasedBandwidth(7.5, 29) == 2250.
double FrameBasedBandwidth(double frameSize, double fpsPosition);

/// Total bandwidth in Kbps of `cameras` cameras at `perCamera` Kbps each.
double TotalBandwidth(double cameras, double perCamera);

/// Storage in KB for constant-bit-rate streams: R / 8, times N, 60, 60, (h + 1), D, then 1.1.
double CbrStorage(double bitrate, double cameras, double hoursPosition, double days);

/// Storage in KB for variable-bit-rate MPEG-4/H.264: S * (f + 1), divided by the GOP length
/// (g + 1), times N, 60, 60, (h + 1), D, then 1.1. A GOP position of -1 divides by zero.
double VbrStorage(double frameSize, double fpsPosition, double gopPosition, double cameras,
                  double hoursPosition, double days);

/// Storage in KB from the frame size alone (MJPEG, or no bitrate mode): S * (f + 1), times N,
/// 60, 60, (h + 1), D, then 1.1. Example: 7.5 at 30 fps, 1 camera, 24 h, 7 days == 149688000.
double FrameStorage(double frameSize, double fpsPosition, double cameras, double hoursPosition,
                    double days);

/// The per-camera bandwidth caption: above 1,000,000 Kbps in Gbps, above 1000 in Mbps (both with
/// the sign position, not rounded), otherwise in Kbps without leading blank: " 2.25Mbps",
/// "256Kbps". "Out of range" when the value is not finite.
std::string PerCameraBandwidthCaption(double kbps);

/// A total bandwidth caption: Gbps, Mbps or Kbps chosen on the unrounded value by strict
/// greater-than, rounded to 3 places, with the sign position: " 2.25Mbps", " 1000Kbps" for
/// 999.9999. "Out of range" when the value is not finite.
std::string TotalBandwidthCaption(double kbps);

/// A storage caption: TB, GB, MB or KB chosen on the unrounded value, rounded to 3 places, with
/// the sign position: " 149.688GB", "-21384000KB". "Out of range" when the value is not finite.
std::string StorageCaption(double kilobytes);

} // namespace lenstally
