// SPDX-License-Identifier: MIT
#include "form/controls.hpp"

namespace lenstally {
namespace {

using enum ControlId;
using K = ControlKind;
constexpr ControlFont kFrameTitle{825, true};
constexpr ControlFont kStorageFont{975, true};
constexpr ControlFont kDef = kDefaultFont;

// clang-format off
constexpr std::array<ControlDescription, kControlCount> kDescriptions{{
    {Form1, "Form1", K::Form, Form1, "Calculator ", 0, 0, 9360, 8175, -1, kDef, -1, false},
    {Frame4, "Frame4", K::Frame, Form1, "Camera Info.", 240, 240, 8775, 5775, -1, kFrameTitle, -1, false},
    {Frame5, "Frame5", K::Frame, Form1, "Record Info.", 240, 6360, 8775, 1575, -1, kFrameTitle, -1, false},
    {Frame1, "Frame1", K::Frame, Frame4, "Camera Stream", 600, 360, 7935, 735, -1, kDef, -1, false},
    {Frame2, "Frame2", K::Frame, Frame4, "Camera Resolution", 600, 1200, 7935, 1815, -1, kDef, -1, false},
    {lbBitrate, "lbBitrate", K::Label, Frame4, "Bitrate:", 5640, 2880, 615, 375, -1, kDef, -1, false},
    {txtBPS, "txtBPS", K::TextBox, Frame4, "256", 6240, 2760, 1455, 375, 46, kDef, -1, false},
    {lbKbps, "lbKbps", K::Label, Frame4, "Kbps", 7800, 2880, 375, 255, -1, kDef, -1, false},
    {lbBitrateMode, "lbBitrateMode", K::Label, Frame4, "Bitrate Mode:", 1080, 3240, 975, 255, -1, kDef, -1, false},
    {cmbBitrateMode, "cmbBitrateMode", K::ComboBox, Frame4, "", 2160, 3240, 1095, 315, 40, kDef, -1, false},
    {lbFrameSize, "lbFrameSize", K::Label, Frame4, "Average Frame Size:", 4680, 3240, 1575, 375, -1, kDef, -1, false},
    {txtFrameSize, "txtFrameSize", K::TextBox, Frame4, "1", 6240, 3240, 1455, 375, 24, kDef, -1, false},
    {lbKB, "lbKB", K::Label, Frame4, "KB", 7800, 3240, 375, 255, -1, kDef, -1, false},
    {lbQuality, "lbQuality", K::Label, Frame4, "Video Quality: ", 1080, 3720, 1095, 375, -1, kDef, -1, false},
    {cmbQuality, "cmbQuality", K::ComboBox, Frame4, "", 2160, 3720, 1095, 315, 42, kDef, -1, false},
    {lbFPS, "lbFPS", K::Label, Frame4, "FPS per Camera:", 4920, 3720, 1335, 375, -1, kDef, -1, false},
    {cmbFPS, "cmbFPS", K::ComboBox, Frame4, "", 6240, 3720, 1455, 315, 33, kDef, -1, false},
    {lbGOP, "lbGOP", K::Label, Frame4, "GOP: ", 1680, 4200, 495, 255, -1, kDef, -1, false},
    {cmbGOP, "cmbGOP", K::ComboBox, Frame4, "", 2160, 4200, 1095, 315, 44, kDef, -1, false},
    {lbCamCount, "lbCamCount", K::Label, Frame4, "Number of Cameras:", 4680, 4200, 1455, 375, -1, kDef, -1, false},
    {txtCameraCount, "txtCameraCount", K::TextBox, Frame4, "1", 6240, 4200, 615, 375, 27, kDef, -1, false},
    {Frame6, "Frame6", K::Frame, Frame4, "Bandwidth Required:", 600, 4680, 7935, 855, -1, kDef, -1, false},
    {optStream0, "optStream(0)", K::Option, Frame1, "Option1", 240, 360, 255, 195, 4, kDef, 0, true},
    {Label1_0, "Label1(0)", K::Label, Frame1, "MJPEG", 480, 360, 735, 255, -1, kDef, 0, false},
    {optStream1, "optStream(1)", K::Option, Frame1, "Option1", 2760, 360, 255, 195, 3, kDef, 1, false},
    {Label1_1, "Label1(1)", K::Label, Frame1, "MPEG-4", 3000, 360, 735, 255, -1, kDef, 1, false},
    {optStream2, "optStream(2)", K::Option, Frame1, "Option1", 5280, 360, 255, 195, 2, kDef, 2, false},
    {Label1_2, "Label1(2)", K::Label, Frame1, "H.264", 5520, 360, 615, 255, -1, kDef, 2, false},
    {optResolution0, "optResolution(0)", K::Option, Frame2, "Option1", 240, 360, 255, 255, 15, kDef, 0, true},
    {Label2_0, "Label2(0)", K::Label, Frame2, "QCIF (176x120)\t", 480, 360, 1455, 255, -1, kDef, 0, false},
    {optResolution1, "optResolution(1)", K::Option, Frame2, "Option1", 2760, 360, 255, 255, 14, kDef, 1, false},
    {Label2_1, "Label2(1)", K::Label, Frame2, "CIF (352x240)", 3000, 360, 1455, 255, -1, kDef, 1, false},
    {optResolution2, "optResolution(2)", K::Option, Frame2, "Option1", 5280, 360, 255, 255, 13, kDef, 2, false},
    {Label2_2, "Label2(2)", K::Label, Frame2, "2CIF (704x240)", 5520, 360, 1455, 255, -1, kDef, 2, false},
    {optResolution3, "optResolution(3)", K::Option, Frame2, "Option1", 240, 840, 255, 255, 12, kDef, 3, false},
    {Label2_3, "Label2(3)", K::Label, Frame2, "4CIF (704x480)", 480, 840, 1455, 255, -1, kDef, 3, false},
    {optResolution4, "optResolution(4)", K::Option, Frame2, "Option1", 2760, 840, 255, 255, 11, kDef, 4, false},
    {Label2_4, "Label2(4)", K::Label, Frame2, "1 Megapixel (1280x1024)", 3000, 840, 1815, 255, -1, kDef, 4, false},
    {optResolution5, "optResolution(5)", K::Option, Frame2, "Option1", 5280, 840, 255, 255, 10, kDef, 5, false},
    {Label2_5, "Label2(5)", K::Label, Frame2, "2 Megapixel (1600x1200)", 5520, 840, 1935, 255, -1, kDef, 5, false},
    {optResolution6, "optResolution(6)", K::Option, Frame2, "Option1", 240, 1320, 255, 255, 9, kDef, 6, false},
    {Label2_6, "Label2(6)", K::Label, Frame2, "3 Megapixel (2048x1536)", 480, 1320, 1935, 255, -1, kDef, 6, false},
    {Label7, "Label7", K::Label, Frame6, "Total Bandwidth Required:", 840, 360, 1935, 375, -1, kDef, -1, false},
    {lbTotalBandwidth, "lbTotalBandwidth", K::Label, Frame6, "", 2760, 360, 1575, 255, -1, kDef, -1, false},
    {Label8, "Label8", K::Label, Frame6, " Per Camera:", 5040, 360, 975, 375, -1, kDef, -1, false},
    {lbPerBandwidth, "lbPerBandwidth", K::Label, Frame6, "Label3", 6000, 360, 1455, 255, -1, kDef, -1, false},
    {Label10, "Label10", K::Label, Frame5, "Hours Each Camera Will Record per Day:", 480, 360, 3135, 495, -1, kDef, -1, false},
    {cmbHours, "cmbHours", K::ComboBox, Frame5, "", 3600, 360, 1095, 315, 35, kDef, -1, false},
    {Label11, "Label11", K::Label, Frame5, "Desired Storage (Number of Days) per Camera:\t", 240, 960, 3495, 495, -1, kDef, -1, false},
    {txtDays, "txtDays", K::TextBox, Frame5, "7", 3600, 960, 1095, 405, 37, kDef, -1, false},
    {Label12, "Label12", K::Label, Frame5, "Estimated Storage:", 5040, 960, 2055, 495, -1, kStorageFont, -1, false},
    {lbStorageSize, "lbStorageSize", K::Label, Frame5, "", 7080, 960, 1455, 375, -1, kStorageFont, -1, false},
}};
// clang-format on

constexpr bool indexedById() {
    for (std::size_t i = 0; i < kDescriptions.size(); ++i) {
        if (static_cast<std::size_t>(kDescriptions[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(indexedById(), "the description table must be in ControlId order");

} // namespace

const std::array<ControlDescription, kControlCount>& ControlDescriptions() {
    return kDescriptions;
}

std::string_view KindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Form:
        return "form";
    case ControlKind::Frame:
        return "frame";
    case ControlKind::Label:
        return "label";
    case ControlKind::TextBox:
        return "textbox";
    case ControlKind::ComboBox:
        return "combobox";
    case ControlKind::Option:
        return "option";
    }
    return "";
}

} // namespace lenstally
