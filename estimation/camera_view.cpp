// SPDX-License-Identifier: MIT
#include "estimation/camera_view.hpp"

#include "estimation/numeric_text.hpp"
#include "estimation/portable_math.hpp"

#include <array>
#include <numbers>

namespace lenstally {
namespace {

constexpr double kPi = std::numbers::pi;

// Fixed notation, rounded as glibc's printf rounds it, then the unit.
std::string fixedText(double value, int decimals, std::string_view unit) {
    return FixedText(value, decimals) + std::string(unit);
}

} // namespace

double WidthPerMetre(const Lens& lens) {
    if (lens.form == LensForm::Focal) {
        return lens.sensor / lens.focal;
    }
    return 2.0 * math::Tan(lens.hfov * kPi / 360.0);
}

double AngleOfView(const Lens& lens) {
    if (lens.form == LensForm::Focal) {
        return math::Atan(lens.sensor / (2.0 * lens.focal)) * 360.0 / kPi;
    }
    return lens.hfov;
}

double SceneWidth(double distance, double widthPerMetre) {
    return distance * widthPerMetre;
}

double PixelDensity(double pixels, double sceneWidth) {
    return pixels / sceneWidth;
}

const ViewLevelInfo& ViewLevelOf(ViewLevel level) {
    return kViewLevels[static_cast<std::size_t>(level)];
}

std::optional<ViewLevel> LevelMet(double ppm) {
    std::optional<ViewLevel> met;
    for (const ViewLevelInfo& info : kViewLevels) {
        if (info.ppm <= ppm) {
            met = info.level;
        }
    }
    return met;
}

double FarthestDistance(double pixels, double levelPpm, double widthPerMetre) {
    return pixels / (levelPpm * widthPerMetre);
}

double FocalForLevel(double levelPpm, double distance, double sensor, double pixels) {
    return levelPpm * distance * sensor / pixels;
}

double AngleForLevel(double pixels, double levelPpm, double distance) {
    return math::Atan(pixels / (2.0 * levelPpm * distance)) * 360.0 / kPi;
}

int DefaultPixelWidth(std::optional<int> resolution) {
    constexpr std::array<int, 7> kWidths{176, 352, 704, 704, 1280, 1600, 2048};
    if (!resolution || *resolution < 0 || *resolution >= static_cast<int>(kWidths.size())) {
        return kWidths[0];
    }
    return kWidths[static_cast<std::size_t>(*resolution)];
}

ViewFigures ComputeView(double distance, double pixels, const Lens& lens) {
    ViewFigures view;
    view.form = lens.form;
    view.distance = distance;
    view.pixels = pixels;
    view.widthPerMetre = WidthPerMetre(lens);
    view.hfov = AngleOfView(lens);
    view.sceneWidth = SceneWidth(distance, view.widthPerMetre);
    view.ppm = PixelDensity(pixels, view.sceneWidth);
    view.level = LevelMet(view.ppm);
    for (std::size_t i = 0; i < kViewLevelCount; ++i) {
        const ViewLevelInfo& info = kViewLevels[i];
        LevelReach& reach = view.levels[i];
        reach.level = info.level;
        reach.ppm = info.ppm;
        reach.distance = FarthestDistance(pixels, info.ppm, view.widthPerMetre);
        reach.lens = lens.form == LensForm::Focal
                         ? FocalForLevel(info.ppm, distance, lens.sensor, pixels)
                         : AngleForLevel(pixels, info.ppm, distance);
    }
    return view;
}

std::string DensityText(double ppm) {
    return fixedText(ppm, 1, " px/m");
}

std::string AngleText(double degrees) {
    return fixedText(degrees, 1, "\u00B0");
}

std::string MillimetresText(double millimetres) {
    return fixedText(millimetres, 1, " mm");
}

std::string MetresText(double metres) {
    return fixedText(metres, 2, " m");
}

} // namespace lenstally
