// SPDX-License-Identifier: MIT
#pragma once
// The calculator window as a plain model, with no toolkit.
//
// How the program fits together:
//   - Form1 (this file) holds every control's state and is the single source of truth. Its
//     operations are the ones a user or the program performs on a control: select an option,
//     write a combo box's ListIndex, write a text box's Text. Each raises the control's event
//     synchronously, before it returns, and the event table routes it to the window's procedures
//     (ArrangeInputs, RefreshFrameSize, RefreshBandwidth, RefreshStorage).
//   - The procedures read the controls, call the pure functions of estimation/ and write captions,
//     texts and layout back through the same operations, so nested events run as they would in
//     the window.
//   - A view (the Qt window in gui/calculator/) registers a ChangeListener and mirrors every
//   property write
//     into its widgets; it turns each user action into one of the operations below.
//   - The command line (cli/) performs the same operations from its options and prints the
//     result, so window and command line can never disagree.
//
// README.md ("How it fits together") follows one user action through all of them, end to end.

#include "estimation/frame_size.hpp"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/controls.hpp"

namespace lenstally {

/// The state one control holds.
struct Control {
    ControlId id = ControlId::Form1;
    bool visible = true;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string text;               // a caption (form, frame, label, option) or a text box's text
    std::vector<std::string> items; // combo boxes only
    std::int16_t listIndex = -1;    // combo boxes only; -1 while nothing is picked
    bool value = false;             // option buttons only; true when selected
};

/// A property the model has just written; the view mirrors it.
enum class Property { Value, ListIndex, Items, Text, Visible, Top, Left };

/// The figures behind the three result captions, unrounded; not finite where a caption reads
/// "Out of range".
struct Figures {
    double perCameraKbps;
    double totalKbps;
    double storageKB;
};

class Form1 {
public:
    using ChangeListener = std::function<void(ControlId, Property)>;
    using TraceListener = std::function<void(std::string_view)>;

    /// Creates the window with every control in its initial state. Load has not run yet.
    Form1();

    /// Raises the window's Load event: fills the lists, picks the defaults, lays the inputs out
    /// and estimates the frame size, with every nested event.
    void load();

    const Control& control(ControlId id) const { return m_controls[static_cast<std::size_t>(id)]; }

    // User and program operations. Each raises its control's event before it returns, and
    // raises nothing when it changes nothing.

    /// Selects an option button and clears the others in its container, then raises its Click
    /// with the member's index. Selecting the button already selected raises nothing.
    void selectOption(ControlId option);
    /// Picks item `index` of a combo box (-1 picks nothing) and raises its Click. Throws
    /// std::out_of_range for a position the list does not have.
    void setListIndex(ControlId combo, std::int16_t index);
    /// Replaces a text box's text and raises its Change; the same text again raises nothing.
    void setText(ControlId textBox, std::string text);
    /// Appends an item to a combo box; raises nothing and leaves ListIndex as it is.
    void addItem(ControlId combo, std::string item);

    /// Called after every property write that changed something.
    void setChangeListener(ChangeListener listener) { m_onChange = std::move(listener); }
    /// Called with the name of each event handler and procedure as it starts (for tests).
    void setTraceListener(TraceListener listener) { m_onTrace = std::move(listener); }

    // The window's procedures.
    void ArrangeInputs();
    void RefreshFrameSize();
    void RefreshBandwidth();
    void RefreshStorage();
    double MjpegFrameSize() const;
    double Mpeg4FrameSize() const;
    double H264FrameSize() const;

    /// MPEG-4 or H.264 selected and the bitrate mode on CBR. Never true for MJPEG.
    bool IsCbrSelected() const;
    /// MPEG-4 or H.264 selected and the bitrate mode on VBR. Never true for MJPEG.
    bool IsVbrSelected() const;

    /// The unrounded figures the captions show now, computed from the controls exactly as the
    /// refresh procedures compute them.
    Figures figures() const;
    /// The storage in KB the form computes with txtDays holding "1": one day of recording.
    double dailyStorageKB() const;

    /// The index of the selected resolution button, if any.
    std::optional<int> selectedResolution() const;

private:
    Control& mut(ControlId id) { return m_controls[static_cast<std::size_t>(id)]; }
    void notify(ControlId id, Property property);
    void trace(std::string_view name);
    void setCaption(ControlId label, std::string caption);
    void setVisible(ControlId id, bool visible);
    void setTop(ControlId id, int top);
    void setLeft(ControlId id, int left);

    // A list position read as a number, the way the formulas read it: -1 while nothing is picked.
    double listPosition(ControlId combo) const;
    // The quality and bitrate mode picked in their lists; nothing while no item is picked.
    std::optional<Quality> quality() const;
    std::optional<BitrateMode> bitrateMode() const;
    double frameSizeFor(Stream stream) const;
    double perCameraKbps() const;
    double storageKB(double days) const; // the days as read from txtDays

    void raiseClick(ControlId id);
    void raiseChange(ControlId id);

    // The event handlers.
    void Form_Load();
    void optStream_Click(std::int16_t index);
    void optResolution_Click(std::int16_t index);
    void cmbBitrateMode_Click();
    void cmbQuality_Click();
    void cmbFPS_Click();
    void cmbGOP_Click();
    void cmbHours_Click();
    void txtBPS_Change();
    void txtCameraCount_Change();
    void txtFrameSize_Change();
    void txtDays_Change();

    std::vector<Control> m_controls;
    ChangeListener m_onChange;
    TraceListener m_onTrace;
};

} // namespace lenstally
