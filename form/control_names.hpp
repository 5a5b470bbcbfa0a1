// SPDX-License-Identifier: MIT
#pragma once
// How the window's controls are named and described for assistive tools, and its lengths in
// pixels: what every face of the calculator (the Qt window, the browser page) shows alike.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "form/controls.hpp"

namespace lenstally {

/// The label that shows an option button's caption: the label of the same array index in the
/// same frame ("H.264" beside optStream(2)).
std::optional<ControlId> LabelBeside(ControlId option);

/// Which label names which input (text box or list): {label, input} pairs, lbCamCount naming
/// txtCameraCount and so on.
std::span<const std::pair<ControlId, ControlId>> InputLabels();

/// The label whose caption names `id`: an option button's label beside it, an input's label.
std::optional<ControlId> NamingLabel(ControlId id);

/// What a result caption is, read after its value: "Bandwidth per camera" (lbPerBandwidth),
/// "Total bandwidth" (lbTotalBandwidth), "Estimated storage" (lbStorageSize); nothing for any
/// other control.
std::optional<std::string_view> ResultDescription(ControlId id);

/// A caption as a name to be read out: without the blanks at its ends, such as the trailing tab
/// some captions carry ("QCIF (176x120)\t" is read "QCIF (176x120)").
std::string SpokenName(std::string_view caption);

/// Logical pixels for a length in twips (15 twips to the pixel at 96 dots per inch).
constexpr int TwipsToPixels(int twips) {
    return (twips + 7) / 15;
}

} // namespace lenstally
