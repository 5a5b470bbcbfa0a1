// SPDX-License-Identifier: MIT
#pragma once
// The controls of the calculator window as they are created: kind, name, container, caption or
// text, position and size in twips, font and tab index. Form1 builds its state from this table.

#include <array>
#include <cstdint>
#include <string_view>

namespace lenstally {

enum class ControlKind { Form, Frame, Label, TextBox, ComboBox, Option };

/// The kind as the state outputs name it: "form", "frame", "label", "textbox", "combobox" or
/// "option".
std::string_view KindName(ControlKind kind);

/// Every control of the window, and the window itself, in the order of its description.
enum class ControlId : std::uint8_t {
    Form1,
    Frame4,
    Frame5,
    Frame1,
    Frame2,
    lbBitrate,
    txtBPS,
    lbKbps,
    lbBitrateMode,
    cmbBitrateMode,
    lbFrameSize,
    txtFrameSize,
    lbKB,
    lbQuality,
    cmbQuality,
    lbFPS,
    cmbFPS,
    lbGOP,
    cmbGOP,
    lbCamCount,
    txtCameraCount,
    Frame6,
    optStream0,
    Label1_0,
    optStream1,
    Label1_1,
    optStream2,
    Label1_2,
    optResolution0,
    Label2_0,
    optResolution1,
    Label2_1,
    optResolution2,
    Label2_2,
    optResolution3,
    Label2_3,
    optResolution4,
    Label2_4,
    optResolution5,
    Label2_5,
    optResolution6,
    Label2_6,
    Label7,
    lbTotalBandwidth,
    Label8,
    lbPerBandwidth,
    Label10,
    cmbHours,
    Label11,
    txtDays,
    Label12,
    lbStorageSize,
};

inline constexpr std::size_t kControlCount = 52; // the window and its 51 controls

struct ControlFont {
    int centiPoints; // 825 for 8.25 pt
    bool bold;
};

inline constexpr ControlFont kDefaultFont{825, false};

struct ControlDescription {
    ControlId id;
    std::string_view name; // "optStream(0)" for array members
    ControlKind kind;
    ControlId container;   // the window's own container is itself
    std::string_view text; // caption, or a text box's text
    int left;
    int top;
    int width;
    int height;
    int tabIndex; // -1 for controls that never take the focus
    ControlFont font;
    std::int16_t arrayIndex; // index in its control array, -1 for single controls
    bool selected;           // option buttons selected at creation
};

/// The description of every control, indexed by ControlId.
const std::array<ControlDescription, kControlCount>& ControlDescriptions();

inline const ControlDescription& Describe(ControlId id) {
    return ControlDescriptions()[static_cast<std::size_t>(id)];
}

inline constexpr std::array<ControlId, 3> kOptStream{ControlId::optStream0, ControlId::optStream1,
                                                     ControlId::optStream2};
inline constexpr std::array<ControlId, 7> kOptResolution{
    ControlId::optResolution0, ControlId::optResolution1, ControlId::optResolution2,
    ControlId::optResolution3, ControlId::optResolution4, ControlId::optResolution5,
    ControlId::optResolution6};

} // namespace lenstally
