// SPDX-License-Identifier: MIT
#include "form/control_names.hpp"

#include <array>

namespace lenstally {
namespace {

using Id = ControlId;

constexpr std::array<std::pair<ControlId, ControlId>, 9> kInputLabels{{
    {Id::lbBitrate, Id::txtBPS},
    {Id::lbBitrateMode, Id::cmbBitrateMode},
    {Id::lbFrameSize, Id::txtFrameSize},
    {Id::lbQuality, Id::cmbQuality},
    {Id::lbFPS, Id::cmbFPS},
    {Id::lbGOP, Id::cmbGOP},
    {Id::lbCamCount, Id::txtCameraCount},
    {Id::Label10, Id::cmbHours},
    {Id::Label11, Id::txtDays},
}};

constexpr std::array<std::pair<ControlId, std::string_view>, 3> kResultDescriptions{{
    {Id::lbPerBandwidth, "Bandwidth per camera"},
    {Id::lbTotalBandwidth, "Total bandwidth"},
    {Id::lbStorageSize, "Estimated storage"},
}};

} // namespace

std::optional<ControlId> LabelBeside(ControlId option) {
    const ControlDescription& d = Describe(option);
    for (const ControlDescription& label : ControlDescriptions()) {
        if (label.kind == ControlKind::Label && label.container == d.container &&
            label.arrayIndex == d.arrayIndex && label.arrayIndex >= 0) {
            return label.id;
        }
    }
    return std::nullopt;
}

std::span<const std::pair<ControlId, ControlId>> InputLabels() {
    return kInputLabels;
}

std::optional<ControlId> NamingLabel(ControlId id) {
    if (Describe(id).kind == ControlKind::Option) {
        return LabelBeside(id);
    }
    for (const auto& [label, input] : kInputLabels) {
        if (input == id) {
            return label;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> ResultDescription(ControlId id) {
    for (const auto& [result, description] : kResultDescriptions) {
        if (result == id) {
            return description;
        }
    }
    return std::nullopt;
}

std::string SpokenName(std::string_view caption) {
    constexpr std::string_view kBlanks = " \t\n\r\f\v";
    const auto first = caption.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(caption.substr(first, caption.find_last_not_of(kBlanks) - first + 1));
}

} // namespace lenstally
