// SPDX-License-Identifier: MIT
#pragma once
// What a number box holds typed and not yet entered (the planner's number boxes take a value
// when Enter is pressed or the box is left).

#include <optional>

class QAbstractSpinBox;

namespace lenstally {

/// The value `box` would take once its typing is entered, where that differs from its value;
/// nothing when it holds no such typing (or text that is no number).
std::optional<double> TypedValue(const QAbstractSpinBox* box);

} // namespace lenstally
