// SPDX-License-Identifier: MIT
#include "project/view_lines.hpp"

#include "estimation/numeric_text.hpp"

namespace lenstally {

std::string LevelText(const std::optional<ViewLevel>& level) {
    return level ? std::string(ViewLevelOf(*level).name) : std::string("none");
}

std::vector<PlanLine> ViewLines(const GroupView& view, const ViewFigures& figures,
                                bool defaultPixels) {
    using Kind = PlanLine::Kind;
    const bool focal = view.lens.form == LensForm::Focal;
    const std::string at = MetresText(figures.distance);
    std::vector<PlanLine> lines;
    lines.push_back({Kind::Assumption, "Target:", at + " from the camera", figures.distance});
    std::string lens = AngleText(figures.hfov) + " across";
    if (focal) {
        lens = MillimetresText(view.lens.focal) + " on a " + ShortestText(view.lens.sensor) +
               " mm wide sensor, " + lens;
    }
    // A figure rather than an assumption: with a focal length its angle is worked out.
    lines.push_back({Kind::Figure, "Lens:", lens, figures.hfov});
    lines.push_back({Kind::Assumption, "Picture width:",
                     FormatNumber(figures.pixels) + " pixels" +
                         (defaultPixels ? " (the resolution's width)" : ""),
                     figures.pixels});
    lines.push_back({Kind::Figure, "Scene width:",
                     MetresText(figures.sceneWidth) + " at the target", figures.sceneWidth});
    lines.push_back(
        {Kind::Figure, "Pixel density:", DensityText(figures.ppm) + " at the target", figures.ppm});
    lines.push_back({Kind::Figure, "Level met:",
                     figures.level ? LevelText(figures.level)
                                   : "none (" + std::string(kViewLevels.front().name) + " needs " +
                                         DensityText(kViewLevels.front().ppm) + ")",
                     std::nullopt, !figures.level});
    // "Identify: 250.0 px/m up to 3.84 m away; at 10.00 m, a lens of 42.0° or narrower".
    for (const LevelReach& reach : figures.levels) {
        const std::string lensText =
            focal ? "a focal length of " + MillimetresText(reach.lens) + " or longer"
                  : "a lens of " + AngleText(reach.lens) + " or narrower";
        std::string text = DensityText(reach.ppm);
        text += " up to ";
        text += MetresText(reach.distance);
        text += " away; at ";
        text += at;
        text += ", ";
        text += lensText;
        lines.push_back({Kind::Figure, std::string(ViewLevelOf(reach.level).name) + ":",
                         std::move(text), reach.distance});
    }
    return lines;
}

} // namespace lenstally
