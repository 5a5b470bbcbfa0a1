// SPDX-License-Identifier: MIT
#include "project/group_rows.hpp"

#include "estimation/numeric_text.hpp"

#include <span>

#include "form/control_names.hpp"
#include "project/plan_lines.hpp"
#include "project/view_lines.hpp"

namespace lenstally {
namespace {

// The caption beside the selected button of an option group: "H.264", "2 Megapixel (1600x1200)".
std::string selectedCaption(const Form1& form, std::span<const ControlId> options) {
    for (const ControlId option : options) {
        if (form.control(option).value) {
            if (const std::optional<ControlId> label = LabelBeside(option)) {
                return SpokenName(form.control(*label).text);
            }
        }
    }
    return {};
}

std::size_t actionPosition(std::string_view option) {
    return static_cast<std::size_t>(FindAction(option) - Actions().data());
}

} // namespace

bool IsWordColumn(GroupColumn column) {
    switch (column) {
    case GroupColumn::Name:
    case GroupColumn::Stream:
    case GroupColumn::Resolution:
    case GroupColumn::Camera:
    case GroupColumn::Level:
        return true;
    default:
        return false;
    }
}

bool IsNarrowColumn(GroupColumn column) {
    return column == GroupColumn::Name || column == GroupColumn::Cameras ||
           column == GroupColumn::Bandwidth || column == GroupColumn::Storage;
}

bool IsEditableColumn(GroupColumn column) {
    return column == GroupColumn::Name || column == GroupColumn::Cameras ||
           column == GroupColumn::Activity;
}

std::string GroupCellText(const ProjectDocument& document, std::size_t i, GroupColumn column) {
    const ProjectDocument::Group& group = document.group(i);
    const GroupResult& result = document.result(i);
    switch (column) {
    case GroupColumn::Name:
        return group.name;
    case GroupColumn::Cameras:
        return result.inputs[actionPosition("cameras")];
    case GroupColumn::Stream:
        return selectedCaption(group.form, kOptStream);
    case GroupColumn::Resolution: {
        const std::string caption = selectedCaption(group.form, kOptResolution);
        return SpokenName(std::string_view(caption).substr(0, caption.find('(')));
    }
    case GroupColumn::Fps:
        return result.inputs[actionPosition("fps")];
    case GroupColumn::Activity:
        return PercentText(group.activity);
    case GroupColumn::PerCamera:
        return result.perCamera;
    case GroupColumn::Bandwidth:
        return result.totalBandwidth;
    case GroupColumn::Storage:
        return result.storage;
    case GroupColumn::Camera:
        return group.camera.description.value_or("");
    case GroupColumn::Level:
        return result.view ? LevelText(result.view->level) : std::string();
    }
    return {};
}

std::string TotalCellText(const ProjectTotals& totals, GroupColumn column) {
    switch (column) {
    case GroupColumn::Name:
        return "TOTAL";
    case GroupColumn::Cameras:
        return FormatNumber(totals.cameras);
    case GroupColumn::Bandwidth:
        return totals.totalBandwidth;
    case GroupColumn::Storage:
        return totals.totalStorage;
    default:
        return {};
    }
}

} // namespace lenstally
