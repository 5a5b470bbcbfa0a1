// SPDX-License-Identifier: MIT
#include "project/view_drawing.hpp"

#include <algorithm>

namespace lenstally {
namespace {

// One colour per level, from Monitor to Inspect: hues told apart with the common colour-vision
// deficiencies too, light enough for dark text on them.
constexpr std::array<std::uint32_t, kViewLevelCount> kLevelColours{0x8fcdf0, 0x4dbb9a, 0xf4ec7a,
                                                                   0xf0bd4d, 0xe68a4d, 0xdba5c4};
constexpr std::uint32_t kNoLevel = 0xe4e4e4;

// The cone's half-width per metre is cut here: wider, it leaves any picture long before.
constexpr double kWidestSpread = 1e4;

// The metres the picture shows from the camera: past the target, and as far as the farther
// levels reach where they reach not much farther than it.
double shownRange(const ViewFigures& view) {
    const double monitor = view.levels.front().distance;
    return std::max(view.distance * 1.25, std::min(monitor * 1.05, view.distance * 3));
}

std::string levelName(const std::optional<ViewLevel>& level) {
    return level ? std::string(ViewLevelOf(*level).name) : std::string("no level");
}

} // namespace

std::uint32_t LevelColour(ViewLevel level) {
    return kLevelColours[static_cast<std::size_t>(level)];
}

ViewDrawing DrawingOf(const ViewFigures& view) {
    ViewDrawing d;
    d.range = shownRange(view);
    d.spread = std::min(view.widthPerMetre / 2, kWidestSpread);
    d.target = view.distance;
    for (std::size_t i = 0; i < kViewLevelCount; ++i) {
        const LevelReach& reach = view.levels[i];
        const std::string_view name = ViewLevelOf(reach.level).name;
        d.bands[i] = {reach.level, std::min(reach.distance, d.range), kLevelColours[i],
                      std::string(name) + " to " + MetresText(reach.distance)};
    }
    d.ground = kNoLevel;
    d.ink = kPictureInk;
    d.targetLabel = "Target " + MetresText(view.distance) + ": " + levelName(view.level);
    d.rangeLabel = MetresText(d.range);
    const LevelReach& widest = view.levels.front();
    d.description = "Seen from above: at the target, " + MetresText(view.distance) +
                    " away, the camera meets " + levelName(view.level) + "; " +
                    std::string(ViewLevelOf(widest.level).name) + " reaches to " +
                    MetresText(widest.distance) + ".";
    return d;
}

} // namespace lenstally
