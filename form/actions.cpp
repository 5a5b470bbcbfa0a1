// SPDX-License-Identifier: MIT
#include "form/actions.hpp"

#include <algorithm>
#include <array>

namespace lenstally {
namespace {

constexpr std::array<std::string_view, 3> kStreamNames{"mjpeg", "mpeg4", "h264"};
constexpr std::array<std::string_view, 7> kResolutionNames{"qcif", "cif", "2cif", "4cif",
                                                           "1mp",  "2mp", "3mp"};
constexpr std::array<std::string_view, 3> kQualityNames{"highest", "normal", "low"};
constexpr std::array<std::string_view, 2> kBitrateModeNames{"vbr", "cbr"};

using C = ControlId;
constexpr ActionDescription kActions[] = {
    {"stream", ActionKind::Select, kStreamNames, kOptStream, C::Form1, 0,
     "select the stream type (mjpeg|mpeg4|h264)"},
    {"bitrate-mode",
     ActionKind::Pick,
     kBitrateModeNames,
     {},
     C::cmbBitrateMode,
     0,
     "pick the bitrate mode (vbr|cbr)"},
    {"resolution", ActionKind::Select, kResolutionNames, kOptResolution, C::Form1, 0,
     "select the resolution (qcif|cif|2cif|4cif|1mp|2mp|3mp)"},
    {"quality",
     ActionKind::Pick,
     kQualityNames,
     {},
     C::cmbQuality,
     0,
     "pick the video quality (highest|normal|low)"},
    {"fps",
     ActionKind::Number,
     {},
     {},
     C::cmbFPS,
     30,
     "pick the frames per second per camera (1-30)"},
    {"gop", ActionKind::Number, {}, {}, C::cmbGOP, 30, "pick the GOP length (1-30)"},
    {"hours",
     ActionKind::Number,
     {},
     {},
     C::cmbHours,
     24,
     "pick the hours each camera records per day (1-24)"},
    {"frame-size",
     ActionKind::Type,
     {},
     {},
     C::txtFrameSize,
     0,
     "type the average frame size in KB (any text)"},
    {"cameras",
     ActionKind::Type,
     {},
     {},
     C::txtCameraCount,
     0,
     "type the number of cameras (any text)"},
    {"bitrate", ActionKind::Type, {}, {}, C::txtBPS, 0, "type the bitrate in Kbps (any text)"},
    {"days", ActionKind::Type, {}, {}, C::txtDays, 0, "type the days of storage (any text)"},
};

} // namespace

std::span<const ActionDescription> Actions() {
    return kActions;
}

const ActionDescription* FindAction(std::string_view option) {
    for (const ActionDescription& a : kActions) {
        if (a.option == option) {
            return &a;
        }
    }
    return nullptr;
}

Checked<ResolvedAction> ResolveValue(const ActionDescription& action, std::string value) {
    const auto resolved = [&action, &value](std::optional<int> index) {
        return Checked<ResolvedAction>{ResolvedAction{&action, index, std::move(value)}, {}};
    };
    const auto refused = [](std::string error) {
        return Checked<ResolvedAction>{std::nullopt, std::move(error)};
    };
    switch (action.kind) {
    case ActionKind::Select:
    case ActionKind::Pick:
        for (std::size_t i = 0; i < action.names.size(); ++i) {
            if (EqualsIgnoringCase(value, action.names[i])) {
                return resolved(static_cast<int>(i));
            }
        }
        return refused("allowed values are " + JoinedNames(action.names));
    case ActionKind::Number: {
        const std::optional<std::int64_t> n = ReadDigits(value, 1'000'000);
        if (!n || *n < 1 || *n > action.maxNumber) {
            return refused("allowed values are whole numbers from 1 to " +
                           std::to_string(action.maxNumber));
        }
        return resolved(static_cast<int>(*n - 1));
    }
    case ActionKind::Type:
        return resolved(std::nullopt);
    }
    return refused("unknown kind of action");
}

std::optional<std::int64_t> ReadDigits(std::string_view text, std::int64_t ceiling) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t n = 0;
    for (char c : text) {
        n = std::min(n * 10 + (c - '0'), ceiling);
    }
    return n;
}

void ApplyAction(Form1& form, const ResolvedAction& resolved) {
    const ActionDescription& action = *resolved.action;
    switch (action.kind) {
    case ActionKind::Select:
        form.selectOption(action.options[static_cast<std::size_t>(*resolved.index)]);
        break;
    case ActionKind::Pick:
    case ActionKind::Number:
        form.setListIndex(action.control, static_cast<std::int16_t>(*resolved.index));
        break;
    case ActionKind::Type:
        form.setText(action.control, resolved.value);
        break;
    }
}

std::string CurrentValue(const Form1& form, const ActionDescription& action) {
    switch (action.kind) {
    case ActionKind::Select:
        for (std::size_t i = 0; i < action.options.size(); ++i) {
            if (form.control(action.options[i]).value) {
                return std::string(action.names[i]);
            }
        }
        return {};
    case ActionKind::Pick: {
        const int i = form.control(action.control).listIndex;
        return i >= 0 && static_cast<std::size_t>(i) < action.names.size()
                   ? std::string(action.names[static_cast<std::size_t>(i)])
                   : std::string();
    }
    case ActionKind::Number: {
        const int i = form.control(action.control).listIndex;
        return i >= 0 ? std::to_string(i + 1) : std::string();
    }
    case ActionKind::Type:
        return form.control(action.control).text;
    }
    return {};
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

std::string JoinedNames(std::span<const std::string_view> names) {
    std::string out;
    for (std::string_view n : names) {
        if (!out.empty()) {
            out += ", ";
        }
        out += n;
    }
    return out;
}

} // namespace lenstally
