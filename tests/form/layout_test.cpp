// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

#include "form/form1.hpp"

namespace lenstally {
namespace {

using C = ControlId;

struct Placement {
    bool visible;
    int left;
    int top;
};

using Layout = std::map<ControlId, Placement>;

// Where every visible control of each layout stands, and which controls it hides.
const Layout kMjpeg = {
    {C::lbQuality, {true, 1080, 3240}},
    {C::cmbQuality, {true, 2160, 3240}},
    {C::lbFPS, {true, 840, 3720}},
    {C::cmbFPS, {true, 2160, 3720}},
    {C::lbFrameSize, {true, 4680, 3240}},
    {C::txtFrameSize, {true, 6240, 3240}},
    {C::lbKB, {true, 7800, 3240}},
    {C::lbCamCount, {true, 4680, 3720}},
    {C::txtCameraCount, {true, 6240, 3720}},
    {C::lbBitrateMode, {false, 1080, 3240}},
    {C::cmbBitrateMode, {false, 2160, 3240}},
    {C::lbGOP, {false, 1680, 4200}},
    {C::cmbGOP, {false, 2160, 4200}},
};
const Layout kVbr = {
    {C::lbBitrateMode, {true, 1080, 3240}},  {C::cmbBitrateMode, {true, 2160, 3240}},
    {C::lbQuality, {true, 1080, 3720}},      {C::cmbQuality, {true, 2160, 3720}},
    {C::lbGOP, {true, 1680, 4200}},          {C::cmbGOP, {true, 2160, 4200}},
    {C::lbFrameSize, {true, 4680, 3240}},    {C::txtFrameSize, {true, 6240, 3240}},
    {C::lbKB, {true, 7800, 3240}},           {C::lbFPS, {true, 4920, 3720}},
    {C::cmbFPS, {true, 6240, 3720}},         {C::lbCamCount, {true, 4680, 4200}},
    {C::txtCameraCount, {true, 6240, 4200}},
};
const Layout kCbr = {
    {C::lbBitrateMode, {true, 1080, 3240}},  {C::cmbBitrateMode, {true, 2160, 3240}},
    {C::lbBitrate, {true, 5640, 3240}},      {C::txtBPS, {true, 6240, 3240}},
    {C::lbKbps, {true, 7800, 3240}},         {C::lbCamCount, {true, 4680, 3720}},
    {C::txtCameraCount, {true, 6240, 3720}}, {C::lbGOP, {false, 1680, 4200}},
    {C::cmbGOP, {false, 2160, 4200}},        {C::lbFrameSize, {false, 4680, 3240}},
    {C::txtFrameSize, {false, 6240, 3240}},  {C::lbKB, {false, 7800, 3240}},
};

void expectLayout(const Form1& form, const Layout& layout, const char* where) {
    for (const auto& [id, p] : layout) {
        const Control& c = form.control(id);
        EXPECT_EQ(c.visible, p.visible) << where << ": " << Describe(id).name;
        EXPECT_EQ(c.left, p.left) << where << ": " << Describe(id).name;
        EXPECT_EQ(c.top, p.top) << where << ": " << Describe(id).name;
    }
}

void expectHidden(const Form1& form, std::initializer_list<ControlId> ids, const char* where) {
    for (ControlId id : ids) {
        EXPECT_FALSE(form.control(id).visible) << where << ": " << Describe(id).name;
    }
}

TEST(ArrangeInputs, start_up_shows_the_mjpeg_layout) {
    Form1 form;
    form.load();
    expectLayout(form, kMjpeg, "start-up");
    // The bitrate row has never been moved: it keeps its design rows.
    expectLayout(form,
                 {{C::lbBitrate, {false, 5640, 2880}},
                  {C::txtBPS, {false, 6240, 2760}},
                  {C::lbKbps, {false, 7800, 2880}}},
                 "start-up");
}

TEST(ArrangeInputs, vbr_puts_every_visible_control_at_its_design_position) {
    Form1 form;
    form.load();
    form.selectOption(C::optStream1);
    expectLayout(form, kVbr, "mpeg4 vbr");
    expectHidden(form, {C::lbBitrate, C::txtBPS, C::lbKbps}, "mpeg4 vbr");
    for (const auto& [id, p] : kVbr) {
        EXPECT_EQ(p.left, Describe(id).left) << Describe(id).name;
        EXPECT_EQ(p.top, Describe(id).top) << Describe(id).name;
    }
}

TEST(ArrangeInputs, switches_between_layouts_and_keeps_hidden_positions) {
    Form1 form;
    form.load();
    form.selectOption(C::optStream2);
    form.setListIndex(C::cmbBitrateMode, 1);
    expectLayout(form, kCbr, "h264 cbr");
    // Hidden quality keeps its VBR row; hidden frame rate keeps its right-column position.
    expectLayout(form, {{C::lbQuality, {false, 1080, 3720}}, {C::cmbFPS, {false, 6240, 3720}}},
                 "h264 cbr");

    form.selectOption(C::optStream0);
    expectLayout(form, kMjpeg, "cbr then mjpeg");
    // The bitrate row stays where CBR put it, hidden.
    expectLayout(form, {{C::txtBPS, {false, 6240, 3240}}}, "cbr then mjpeg");
    EXPECT_EQ(form.control(C::cmbBitrateMode).listIndex, 1);

    form.selectOption(C::optStream1);
    expectLayout(form, kCbr, "mjpeg then mpeg4 brings cbr back");
    // After an MJPEG layout the hidden quality and frame rate keep the MJPEG positions.
    expectLayout(form, {{C::lbQuality, {false, 1080, 3240}}, {C::lbFPS, {false, 840, 3720}}},
                 "mpeg4 cbr after mjpeg");

    form.setListIndex(C::cmbBitrateMode, 0);
    expectLayout(form, kVbr, "back to vbr");
    expectLayout(form, {{C::txtBPS, {false, 6240, 3240}}}, "back to vbr");
}

TEST(ArrangeInputs, is_idempotent_and_moves_only_its_sixteen_controls) {
    const std::set<ControlId> written = {
        C::lbBitrateMode, C::cmbBitrateMode, C::lbQuality,    C::cmbQuality,
        C::lbGOP,         C::cmbGOP,         C::lbBitrate,    C::txtBPS,
        C::lbKbps,        C::lbFrameSize,    C::txtFrameSize, C::lbKB,
        C::lbFPS,         C::cmbFPS,         C::lbCamCount,   C::txtCameraCount};
    for (ControlId stream : kOptStream) {
        for (std::int16_t mode : {std::int16_t{0}, std::int16_t{1}}) {
            // A loaded form switched to this stream and mode: MJPEG, VBR and CBR layouts in turn.
            Form1 form;
            form.load();
            form.selectOption(stream);
            form.setListIndex(C::cmbBitrateMode, mode);
            const std::string where =
                std::string(Describe(stream).name) + " mode " + std::to_string(mode) + ": ";
            for (const ControlDescription& d : ControlDescriptions()) {
                const Control& c = form.control(d.id);
                EXPECT_TRUE(written.count(d.id) ||
                            (c.visible && c.left == d.left && c.top == d.top))
                    << where << d.name << " left its design place";
            }
            std::vector<ControlId> touched;
            form.setChangeListener([&](ControlId id, Property p) {
                if (p == Property::Visible || p == Property::Top || p == Property::Left) {
                    touched.push_back(id);
                }
            });
            form.ArrangeInputs();
            EXPECT_TRUE(touched.empty()) << where << "a second call changed something";
        }
    }
}

TEST(ArrangeInputs, with_no_bitrate_mode_only_shows_the_bitrate_mode_row) {
    Form1 form; // before Load: design layout, no bitrate mode picked
    form.selectOption(C::optStream1);
    for (const ControlDescription& d : ControlDescriptions()) {
        const Control& c = form.control(d.id);
        EXPECT_TRUE(c.visible) << d.name;
        EXPECT_EQ(c.top, d.top) << d.name;
        EXPECT_EQ(c.left, d.left) << d.name;
    }
    // From the MJPEG layout the -1 case shows the bitrate-mode row and changes nothing else.
    Form1 mjpeg;
    mjpeg.ArrangeInputs();
    mjpeg.selectOption(C::optStream2);
    EXPECT_TRUE(mjpeg.control(C::cmbBitrateMode).visible);
    EXPECT_TRUE(mjpeg.control(C::lbBitrateMode).visible);
    EXPECT_FALSE(mjpeg.control(C::cmbGOP).visible);
    EXPECT_EQ(mjpeg.control(C::lbFPS).left, 840);
}

} // namespace
} // namespace lenstally
