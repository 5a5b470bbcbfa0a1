// SPDX-License-Identifier: MIT
#include "form/form1.hpp"

#include "estimation/estimates.hpp"
#include "estimation/frame_size.hpp"
#include "estimation/numeric_text.hpp"

#include <span>
#include <string>

#include "form/contract.hpp"

namespace lenstally {

Form1::Form1() {
    m_controls.reserve(kControlCount);
    for (const ControlDescription& d : ControlDescriptions()) {
        Control c;
        c.id = d.id;
        c.left = d.left;
        c.top = d.top;
        c.width = d.width;
        c.height = d.height;
        c.text = d.text;
        c.value = d.selected;
        m_controls.push_back(std::move(c));
    }
}

void Form1::notify(ControlId id, Property property) {
    if (m_onChange) {
        m_onChange(id, property);
    }
}

void Form1::trace(std::string_view name) {
    if (m_onTrace) {
        m_onTrace(name);
    }
}

void Form1::selectOption(ControlId option) {
    const ControlDescription& d = Describe(option);
    if (d.kind != ControlKind::Option) {
        ContractFailure(ContractBreach::WrongControl,
                        std::string(d.name) + " is not an option button");
    }
    if (control(option).value) {
        return;
    }
    // Exactly one button per container: clear the one that was selected there, and no other.
    for (Control& c : m_controls) {
        if (c.value && c.id != option && Describe(c.id).container == d.container) {
            c.value = false;
            notify(c.id, Property::Value);
        }
    }
    mut(option).value = true;
    notify(option, Property::Value);
    raiseClick(option);
}

void Form1::setListIndex(ControlId combo, std::int16_t index) {
    const ControlDescription& d = Describe(combo);
    if (d.kind != ControlKind::ComboBox) {
        ContractFailure(ContractBreach::WrongControl, std::string(d.name) + " is not a combo box");
    }
    Control& c = mut(combo);
    if (index < -1 || index >= static_cast<int>(c.items.size())) {
        ContractFailure(ContractBreach::NoSuchItem,
                        std::string(d.name) + " has no item " + std::to_string(index));
    }
    if (c.listIndex == index) {
        return;
    }
    c.listIndex = index;
    notify(combo, Property::ListIndex);
    raiseClick(combo);
}

void Form1::setText(ControlId textBox, std::string text) {
    const ControlDescription& d = Describe(textBox);
    if (d.kind != ControlKind::TextBox) {
        ContractFailure(ContractBreach::WrongControl, std::string(d.name) + " is not a text box");
    }
    Control& c = mut(textBox);
    if (c.text == text) {
        return;
    }
    c.text = std::move(text);
    notify(textBox, Property::Text);
    raiseChange(textBox);
}

void Form1::addItem(ControlId combo, std::string item) {
    if (Describe(combo).kind != ControlKind::ComboBox) {
        ContractFailure(ContractBreach::WrongControl,
                        std::string(Describe(combo).name) + " is not a combo box");
    }
    mut(combo).items.push_back(std::move(item));
    notify(combo, Property::Items);
}

void Form1::setCaption(ControlId label, std::string caption) {
    Control& c = mut(label);
    if (c.text != caption) {
        c.text = std::move(caption);
        notify(label, Property::Text);
    }
}

void Form1::setVisible(ControlId id, bool visible) {
    Control& c = mut(id);
    if (c.visible != visible) {
        c.visible = visible;
        notify(id, Property::Visible);
    }
}

void Form1::setTop(ControlId id, int top) {
    Control& c = mut(id);
    if (c.top != top) {
        c.top = top;
        notify(id, Property::Top);
    }
}

void Form1::setLeft(ControlId id, int left) {
    Control& c = mut(id);
    if (c.left != left) {
        c.left = left;
        notify(id, Property::Left);
    }
}

void Form1::raiseClick(ControlId id) {
    const std::int16_t index = Describe(id).arrayIndex;
    switch (id) {
    case ControlId::optStream0:
    case ControlId::optStream1:
    case ControlId::optStream2:
        optStream_Click(index);
        break;
    case ControlId::optResolution0:
    case ControlId::optResolution1:
    case ControlId::optResolution2:
    case ControlId::optResolution3:
    case ControlId::optResolution4:
    case ControlId::optResolution5:
    case ControlId::optResolution6:
        optResolution_Click(index);
        break;
    case ControlId::cmbBitrateMode:
        cmbBitrateMode_Click();
        break;
    case ControlId::cmbQuality:
        cmbQuality_Click();
        break;
    case ControlId::cmbFPS:
        cmbFPS_Click();
        break;
    case ControlId::cmbGOP:
        cmbGOP_Click();
        break;
    case ControlId::cmbHours:
        cmbHours_Click();
        break;
    default:
        break;
    }
}

void Form1::raiseChange(ControlId id) {
    switch (id) {
    case ControlId::txtBPS:
        txtBPS_Change();
        break;
    case ControlId::txtCameraCount:
        txtCameraCount_Change();
        break;
    case ControlId::txtFrameSize:
        txtFrameSize_Change();
        break;
    case ControlId::txtDays:
        txtDays_Change();
        break;
    default:
        break;
    }
}

void Form1::optStream_Click(std::int16_t /*index*/) {
    trace("optStream_Click");
    ArrangeInputs();
    RefreshFrameSize();
}

void Form1::cmbBitrateMode_Click() {
    trace("cmbBitrateMode_Click");
    ArrangeInputs();
    RefreshFrameSize();
}

void Form1::optResolution_Click(std::int16_t /*index*/) {
    trace("optResolution_Click");
    RefreshFrameSize();
}

void Form1::cmbQuality_Click() {
    trace("cmbQuality_Click");
    RefreshFrameSize();
}

void Form1::cmbFPS_Click() {
    trace("cmbFPS_Click");
    RefreshBandwidth();
    RefreshStorage();
}

void Form1::txtBPS_Change() {
    trace("txtBPS_Change");
    RefreshBandwidth();
    RefreshStorage();
}

void Form1::txtCameraCount_Change() {
    trace("txtCameraCount_Change");
    RefreshBandwidth();
    RefreshStorage();
}

void Form1::txtFrameSize_Change() {
    trace("txtFrameSize_Change");
    RefreshBandwidth();
    RefreshStorage();
}

void Form1::cmbGOP_Click() {
    trace("cmbGOP_Click");
    RefreshStorage();
}

void Form1::cmbHours_Click() {
    trace("cmbHours_Click");
    RefreshStorage();
}

void Form1::txtDays_Change() {
    trace("txtDays_Change");
    RefreshStorage();
}

void Form1::load() {
    Form_Load();
}

void Form1::Form_Load() {
    trace("Form_Load");
    auto fillNumbers = [this](ControlId combo, std::int16_t last) {
        for (std::int16_t i = 1; i <= last; ++i) {
            addItem(combo, FormatSigned(i));
        }
    };
    fillNumbers(ControlId::cmbFPS, 30);
    setListIndex(ControlId::cmbFPS, 29);
    fillNumbers(ControlId::cmbGOP, 30);
    setListIndex(ControlId::cmbGOP, 0);
    fillNumbers(ControlId::cmbHours, 24);
    setListIndex(ControlId::cmbHours, 23);
    addItem(ControlId::cmbBitrateMode, "VBR");
    addItem(ControlId::cmbBitrateMode, "CBR");
    setListIndex(ControlId::cmbBitrateMode, 0);
    addItem(ControlId::cmbQuality, "Highest");
    addItem(ControlId::cmbQuality, "Normal");
    addItem(ControlId::cmbQuality, "Low");
    setListIndex(ControlId::cmbQuality, 0);
    ArrangeInputs();
    RefreshFrameSize();
}

double Form1::listPosition(ControlId combo) const {
    // Exact: a 16-bit position is a double, and its decimal text would read back as that double.
    return static_cast<double>(control(combo).listIndex);
}

namespace {

// The mode a list position names: Form_Load adds the items in the order of the mode's values, up
// to `last`. Nothing while no item is picked.
template <typename Mode> std::optional<Mode> modeAt(std::int16_t position, Mode last) {
    if (position < 0 || position > static_cast<int>(last)) {
        return std::nullopt;
    }
    return static_cast<Mode>(position);
}

} // namespace

std::optional<Quality> Form1::quality() const {
    return modeAt(control(ControlId::cmbQuality).listIndex, Quality::Low);
}

std::optional<BitrateMode> Form1::bitrateMode() const {
    return modeAt(control(ControlId::cmbBitrateMode).listIndex, BitrateMode::Cbr);
}

bool Form1::IsCbrSelected() const {
    return (control(ControlId::optStream1).value || control(ControlId::optStream2).value) &&
           bitrateMode() == BitrateMode::Cbr;
}

bool Form1::IsVbrSelected() const {
    return (control(ControlId::optStream1).value || control(ControlId::optStream2).value) &&
           bitrateMode() == BitrateMode::Vbr;
}

std::optional<int> Form1::selectedResolution() const {
    for (std::size_t i = 0; i < kOptResolution.size(); ++i) {
        if (control(kOptResolution[i]).value) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

double Form1::frameSizeFor(Stream stream) const {
    return EstimateFrameSize(stream, selectedResolution(), quality());
}

double Form1::MjpegFrameSize() const {
    return frameSizeFor(Stream::Mjpeg);
}
double Form1::Mpeg4FrameSize() const {
    return frameSizeFor(Stream::Mpeg4);
}
double Form1::H264FrameSize() const {
    return frameSizeFor(Stream::H264);
}

void Form1::RefreshFrameSize() {
    trace("RefreshFrameSize");
    const bool vbrPicked = bitrateMode() == BitrateMode::Vbr;
    std::optional<double> estimate;
    if (control(ControlId::optStream0).value) {
        estimate = MjpegFrameSize(); // MJPEG ignores the bitrate mode
    } else if (control(ControlId::optStream1).value && vbrPicked) {
        estimate = Mpeg4FrameSize();
    } else if (control(ControlId::optStream2).value && vbrPicked) {
        estimate = H264FrameSize();
    }
    if (estimate) {
        setText(ControlId::txtFrameSize, FormatNumber(*estimate));
    }
    RefreshBandwidth();
    RefreshStorage();
}

double Form1::perCameraKbps() const {
    if (IsCbrSelected()) {
        return ParseNumber(control(ControlId::txtBPS).text);
    }
    const double f = listPosition(ControlId::cmbFPS);
    const double s = ParseNumber(control(ControlId::txtFrameSize).text);
    return FrameBasedBandwidth(s, f);
}

double Form1::storageKB(double d) const {
    const double n = ParseNumber(control(ControlId::txtCameraCount).text);
    const double h = listPosition(ControlId::cmbHours);
    if (IsCbrSelected()) {
        return CbrStorage(ParseNumber(control(ControlId::txtBPS).text), n, h, d);
    }
    const double f = listPosition(ControlId::cmbFPS);
    const double s = ParseNumber(control(ControlId::txtFrameSize).text);
    if (IsVbrSelected()) {
        return VbrStorage(s, f, listPosition(ControlId::cmbGOP), n, h, d);
    }
    return FrameStorage(s, f, n, h, d);
}

Figures Form1::figures() const {
    const double p = perCameraKbps();
    const double n = ParseNumber(control(ControlId::txtCameraCount).text);
    return {p, TotalBandwidth(n, p), storageKB(ParseNumber(control(ControlId::txtDays).text))};
}

double Form1::dailyStorageKB() const {
    return storageKB(1);
}

void Form1::RefreshBandwidth() {
    trace("RefreshBandwidth");
    const double p = perCameraKbps();
    setCaption(ControlId::lbPerBandwidth, PerCameraBandwidthCaption(p));
    const double n = ParseNumber(control(ControlId::txtCameraCount).text);
    setCaption(ControlId::lbTotalBandwidth, TotalBandwidthCaption(TotalBandwidth(n, p)));
}

void Form1::RefreshStorage() {
    trace("RefreshStorage");
    setCaption(ControlId::lbStorageSize,
               StorageCaption(storageKB(ParseNumber(control(ControlId::txtDays).text))));
}

namespace {

enum class LayoutProperty { Visible, Top, Left };

struct LayoutWrite {
    ControlId id;
    LayoutProperty property;
    int value; // twips, or 1/0 for Visible
};

using C = ControlId;
constexpr LayoutProperty V = LayoutProperty::Visible;
constexpr LayoutProperty T = LayoutProperty::Top;
constexpr LayoutProperty L = LayoutProperty::Left;

// Each layout's writes, in the order they are made.
constexpr LayoutWrite kMjpegLayout[] = {
    {C::lbQuality, T, 3240},
    {C::cmbQuality, T, 3240},
    {C::lbFPS, L, 840},
    {C::cmbFPS, L, 2160},
    {C::txtCameraCount, T, 3720},
    {C::lbCamCount, T, 3720},
    {C::lbQuality, V, 1},
    {C::cmbQuality, V, 1},
    {C::lbBitrateMode, V, 0},
    {C::cmbBitrateMode, V, 0},
    {C::lbGOP, V, 0},
    {C::cmbGOP, V, 0},
    {C::lbBitrate, V, 0},
    {C::txtBPS, V, 0},
    {C::lbKbps, V, 0},
    {C::lbFPS, V, 1},
    {C::cmbFPS, V, 1},
    {C::lbFrameSize, V, 1},
    {C::txtFrameSize, V, 1},
    {C::lbKB, V, 1},
};
constexpr LayoutWrite kBitrateModeRow[] = {
    {C::lbBitrateMode, V, 1},
    {C::cmbBitrateMode, V, 1},
    {C::lbBitrateMode, T, 3240},
    {C::cmbBitrateMode, T, 3240},
};
constexpr LayoutWrite kVbrLayout[] = {
    {C::lbBitrate, V, 0},     {C::lbQuality, T, 3720}, {C::cmbQuality, T, 3720},
    {C::lbFPS, L, 4920},      {C::cmbFPS, L, 6240},    {C::txtCameraCount, T, 4200},
    {C::lbCamCount, T, 4200}, {C::txtBPS, V, 0},       {C::lbKbps, V, 0},
    {C::lbQuality, V, 1},     {C::cmbQuality, V, 1},   {C::lbGOP, V, 1},
    {C::cmbGOP, V, 1},        {C::lbFPS, V, 1},        {C::cmbFPS, V, 1},
    {C::lbFrameSize, V, 1},   {C::txtFrameSize, V, 1}, {C::lbKB, V, 1},
};
constexpr LayoutWrite kCbrLayout[] = {
    {C::lbBitrate, T, 3240},  {C::txtBPS, T, 3240},
    {C::lbKbps, T, 3240},     {C::txtCameraCount, T, 3720},
    {C::lbCamCount, T, 3720}, {C::lbQuality, V, 0},
    {C::cmbQuality, V, 0},    {C::lbGOP, V, 0},
    {C::cmbGOP, V, 0},        {C::lbFPS, V, 0},
    {C::cmbFPS, V, 0},        {C::lbFrameSize, V, 0},
    {C::txtFrameSize, V, 0},  {C::lbKB, V, 0},
    {C::lbBitrate, V, 1},     {C::txtBPS, V, 1},
    {C::lbKbps, V, 1},
};

} // namespace

void Form1::ArrangeInputs() {
    trace("ArrangeInputs");
    auto apply = [this](std::span<const LayoutWrite> writes) {
        for (const LayoutWrite& w : writes) {
            switch (w.property) {
            case LayoutProperty::Visible:
                setVisible(w.id, w.value != 0);
                break;
            case LayoutProperty::Top:
                setTop(w.id, w.value);
                break;
            case LayoutProperty::Left:
                setLeft(w.id, w.value);
                break;
            }
        }
    };
    if (control(ControlId::optStream0).value) {
        apply(kMjpegLayout); // the bitrate mode is not read for MJPEG
        return;
    }
    apply(kBitrateModeRow);
    const std::optional<BitrateMode> mode = bitrateMode();
    if (mode == BitrateMode::Vbr) {
        apply(kVbrLayout);
    } else if (mode == BitrateMode::Cbr) {
        apply(kCbrLayout);
    } // nothing picked: only the bitrate-mode row is shown
}

} // namespace lenstally
