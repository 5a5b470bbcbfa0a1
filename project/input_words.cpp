// SPDX-License-Identifier: MIT
#include "project/input_words.hpp"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "form/control_names.hpp"

namespace lenstally {
namespace {

// The calculator's labels end in a colon and capitalise each word ("Bitrate Mode:"); a column
// heading reads as a phrase, with the unit the window writes beside the box.
constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kHeadings{{
    {"stream", "Stream"},
    {"bitrate-mode", "Bitrate mode"},
    {"resolution", "Resolution"},
    {"quality", "Video quality"},
    {"fps", "Frames per second"},
    {"gop", "GOP length"},
    {"hours", "Hours a day"},
    {"frame-size", "Frame size (KB)"},
    {"cameras", "Cameras"},
    {"bitrate", "Bitrate (Kbps)"},
    {"days", "Days of storage"},
}};

// The position of `value` among the action's names, in any case.
std::optional<std::size_t> namePosition(const ActionDescription& action, std::string_view value) {
    for (std::size_t i = 0; i < action.names.size(); ++i) {
        if (EqualsIgnoringCase(action.names[i], value)) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace

std::string_view InputHeading(const ActionDescription& action) {
    for (const auto& [option, heading] : kHeadings) {
        if (option == action.option) {
            return heading;
        }
    }
    return action.option;
}

std::string InputWords(const ActionDescription& action, std::string_view value) {
    const std::optional<std::size_t> at = namePosition(action, value);
    if (!at) {
        return std::string(value);
    }
    if (action.kind == ActionKind::Select && *at < action.options.size()) {
        if (const std::optional<ControlId> label = LabelBeside(action.options[*at])) {
            return SpokenName(Describe(*label).text);
        }
    }
    if (action.kind == ActionKind::Pick) {
        static const Form1 loaded = [] {
            Form1 form;
            form.load();
            return form;
        }();
        const std::vector<std::string>& items = loaded.control(action.control).items;
        if (*at < items.size()) {
            return SpokenName(items[*at]);
        }
    }
    return std::string(value);
}

} // namespace lenstally
