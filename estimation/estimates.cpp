// SPDX-License-Identifier: MIT
#include "estimation/estimates.hpp"

#include "estimation/numeric_text.hpp"

#include <cmath>
#include <span>

namespace lenstally {
namespace {

// A unit step of a caption: values strictly above `threshold` are divided by it and shown in
// `unit`. The last step of each scale has threshold 0 and divisor 1 and catches everything else.
struct UnitStep {
    double threshold;
    double divisor;
    const char* unit;
};

enum class Rounding { None, ThreePlaces };
enum class Sign { Blank, Plain };

// The one rule for every result caption: a value that is not a finite number reads "Out of
// range"; otherwise the number is shown in the first unit whose threshold it exceeds, chosen
// before any rounding. The divisors are 1 or more, so a finite value stays finite.
std::string caption(double value, std::span<const UnitStep> steps, Rounding rounding,
                    Sign smallestUnitSign) {
    if (!std::isfinite(value)) {
        return kOutOfRange;
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const UnitStep& step = steps[i];
        const bool last = i + 1 == steps.size();
        if (!last && !(value > step.threshold)) {
            continue;
        }
        double number = last ? value : value / step.divisor;
        if (rounding == Rounding::ThreePlaces) {
            number = RoundTo(number, 3);
        }
        const bool signPosition = !last || smallestUnitSign == Sign::Blank;
        return (signPosition ? FormatSigned(number) : FormatNumber(number)) + step.unit;
    }
    return kOutOfRange; // unreachable: the last step always matches
}

constexpr UnitStep kBandwidthSteps[] = {
    {1'000'000, 1'000'000, "Gbps"},
    {1000, 1000, "Mbps"},
    {0, 1, "Kbps"},
};
constexpr UnitStep kStorageSteps[] = {
    {1'000'000'000, 1'000'000'000, "TB"},
    {1'000'000, 1'000'000, "GB"},
    {1000, 1000, "MB"},
    {0, 1, "KB"},
};

} // namespace

double FrameBasedBandwidth(double frameSize, double fpsPosition) {
    double p = frameSize * 8;
    p = p * (fpsPosition + 1);
    p = p * 5;
    p = p / 4;
    return p;
}

double TotalBandwidth(double cameras, double perCamera) {
    return cameras * perCamera;
}

namespace {
// The factors every storage estimate shares after its per-camera KB per second.
double recordedOverDays(double kbPerSecond, double cameras, double hoursPosition, double days) {
    double v = kbPerSecond * cameras;
    v = v * 60;
    v = v * 60;
    v = v * (hoursPosition + 1);
    v = v * days;
    v = v * 1.1;
    return v;
}
} // namespace

double CbrStorage(double bitrate, double cameras, double hoursPosition, double days) {
    return recordedOverDays(bitrate / 8, cameras, hoursPosition, days);
}

double VbrStorage(double frameSize, double fpsPosition, double gopPosition, double cameras,
                  double hoursPosition, double days) {
    double v = frameSize * (fpsPosition + 1);
    v = v / (gopPosition + 1);
    return recordedOverDays(v, cameras, hoursPosition, days);
}

double FrameStorage(double frameSize, double fpsPosition, double cameras, double hoursPosition,
                    double days) {
    return recordedOverDays(frameSize * (fpsPosition + 1), cameras, hoursPosition, days);
}

std::string PerCameraBandwidthCaption(double kbps) {
    return caption(kbps, kBandwidthSteps, Rounding::None, Sign::Plain);
}

std::string TotalBandwidthCaption(double kbps) {
    return caption(kbps, kBandwidthSteps, Rounding::ThreePlaces, Sign::Blank);
}

std::string StorageCaption(double kilobytes) {
    return caption(kilobytes, kStorageSteps, Rounding::ThreePlaces, Sign::Blank);
}

} // namespace lenstally
