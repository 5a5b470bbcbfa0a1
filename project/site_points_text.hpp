// SPDX-License-Identifier: MIT
#pragma once
// The points of a wall or a zone as one line of text, so that an outline can be read, typed and
// pasted in a box: every point to the last digit, without a mouse.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/project.hpp"

namespace lenstally {

/// "x y; x y; ...", each number the shortest text that reads back as exactly that number:
/// PointsText({{0, 20}, {30.25, 20}}) == "0 20; 30.25 20".
std::string PointsText(const std::vector<SitePoint>& points);

/// Reads what PointsText writes, and more loosely: the numbers in order, taken in pairs, with
/// blanks, commas, semicolons, brackets and parentheses between them, so that "0,20 30,20" and a
/// JSON list of points ("[[0, 20], [30, 20]]") read too. nullopt for anything else in the text, a
/// number that is not finite, or a number left without its pair. Says nothing of the plan: the
/// edit that takes the points checks them.
std::optional<std::vector<SitePoint>> ReadPointsText(std::string_view text);

} // namespace lenstally
