// SPDX-License-Identifier: MIT
#pragma once
// What the picture of a camera view shows, worked out once for every face that draws it: the
// metres from the camera to the picture's far edge, the cone's spread to scale, one coloured band
// per level as far as it holds, the target, and the texts written on the picture. The desktop
// paints it and the page draws it as SVG; neither works out a distance or a colour itself.

#include "estimation/camera_view.hpp"

#include <array>
#include <cstdint>
#include <string>

namespace lenstally {

struct ViewDrawing {
    /// One level's band of the cone, from the camera out to where the level still holds.
    struct Band {
        ViewLevel level = ViewLevel::Monitor;
        double reach = 0;       // metres, at most `range`
        std::uint32_t colour{}; // 0xRRGGBB
        std::string key;        // the key's entry: "Identify to 7.73 m"
    };

    double range = 0;  // metres from the camera to the picture's far edge
    double spread = 0; // the cone's half-width per metre of distance, capped where it leaves the
                       // picture anyway (a lens near 180 degrees)
    double target = 0; // metres from the camera to the target
    // In drawing order, Monitor first: each nearer, more demanding band is drawn over the ones
    // it holds in. The key lists them the other way round, Inspect first.
    std::array<Band, kViewLevelCount> bands{};
    std::uint32_t ground{};  // the cone beyond every level
    std::uint32_t ink{};     // outlines, the camera, the target and the texts
    std::string targetLabel; // above the cone at the target: "Target 10.00 m: Observe"
    std::string rangeLabel;  // the scale's far end: "12.50 m"
    std::string description; // what the picture shows, for a screen reader
};

/// The colour a level's band is drawn in (0xRRGGBB), in every picture that shows levels.
std::uint32_t LevelColour(ViewLevel level);

/// The colour of text and outlines on the pictures (0xRRGGBB).
inline constexpr std::uint32_t kPictureInk = 0x202020;

/// The picture of `view`. Example: 1920 pixels through a 90 degree lens at 10 m show 0 to
/// 30.00 m (three times the target's distance; Monitor reaches much farther, 76.80 m), the
/// target labelled "Target 10.00 m: Observe".
ViewDrawing DrawingOf(const ViewFigures& view);

} // namespace lenstally
