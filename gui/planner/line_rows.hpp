// SPDX-License-Identifier: MIT
#pragma once
// Lines in words (the plan's, a camera view's) shown as the rows of a form: the label, then the
// text in a selectable label that the keyboard reaches and a screen reader reads with its label.

#include <vector>

#include "project/project_compute.hpp"

class QFormLayout;
class QGroupBox;
class QLabel;
class QString;
class QWidget;

namespace lenstally {

/// Shows `lines` as label and value rows of `form` in `box`, building the rows again only when
/// their number changes; a warning line is bold and red. The box is hidden when there are none.
void ShowLines(QGroupBox* box, QFormLayout* form, std::vector<QLabel*>& values,
               const std::vector<const PlanLine*>& lines);

/// Adds a row to `form` whose label names `input` for screen readers.
void AddNamedRow(QFormLayout* form, const QString& label, QWidget* input);

} // namespace lenstally
