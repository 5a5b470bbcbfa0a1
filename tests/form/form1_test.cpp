// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "form/form1.hpp"
#include "tests/case_name.hpp"

namespace lenstally {
namespace {

using C = ControlId;

// Records every handler and procedure as it starts.
struct Recorder {
    std::vector<std::string> calls;
    void attach(Form1& form) {
        form.setTraceListener([this](std::string_view name) { calls.emplace_back(name); });
    }
};

TEST(Form1Controls, have_unique_names_with_the_array_index_they_carry) {
    std::set<std::string_view> names;
    for (const ControlDescription& d : ControlDescriptions()) {
        EXPECT_TRUE(names.insert(d.name).second) << d.name;
        // The view pairs an option with its label by this index: "optStream(2)", "Label1(2)".
        const std::size_t open = d.name.find('(');
        const std::string_view index = open == std::string_view::npos
                                           ? "-1"
                                           : d.name.substr(open + 1, d.name.size() - open - 2);
        EXPECT_EQ(index, std::to_string(d.arrayIndex)) << d.name;
        if (d.kind != ControlKind::Form) {
            const ControlKind container = Describe(d.container).kind;
            EXPECT_TRUE(container == ControlKind::Form || container == ControlKind::Frame)
                << d.name;
        }
        const bool focusable = d.kind == ControlKind::TextBox || d.kind == ControlKind::ComboBox ||
                               d.kind == ControlKind::Option;
        EXPECT_EQ(focusable, d.tabIndex >= 0) << d.name;
    }
}

TEST(Form1Controls, initial_state_is_the_design) {
    Form1 form;
    EXPECT_EQ(form.control(C::Form1).text, "Calculator ");
    EXPECT_EQ(form.control(C::Label8).text, " Per Camera:");
    EXPECT_EQ(form.control(C::Label2_0).text, "QCIF (176x120)\t");
    EXPECT_EQ(form.control(C::lbPerBandwidth).text, "Label3");
    EXPECT_EQ(form.control(C::lbTotalBandwidth).text, "");
    EXPECT_EQ(form.control(C::txtFrameSize).text, "1");
    EXPECT_EQ(form.control(C::txtBPS).text, "256");
    EXPECT_EQ(form.control(C::txtDays).text, "7");
    EXPECT_TRUE(form.control(C::optStream0).value);
    EXPECT_EQ(form.selectedResolution(), 0);
    for (const ControlDescription& d : ControlDescriptions()) {
        const Control& c = form.control(d.id);
        EXPECT_TRUE(c.visible) << d.name;
        EXPECT_EQ(c.left, d.left) << d.name;
        EXPECT_EQ(c.top, d.top) << d.name;
        if (d.kind == ControlKind::ComboBox) {
            EXPECT_TRUE(c.items.empty()) << d.name;
            EXPECT_EQ(c.listIndex, -1) << d.name;
        }
    }
}

TEST(Form1Events, add_item_is_silent_and_keeps_no_selection) {
    Form1 form;
    Recorder r;
    r.attach(form);
    form.addItem(C::cmbGOP, " 1");
    EXPECT_EQ(form.control(C::cmbGOP).listIndex, -1);
    EXPECT_TRUE(r.calls.empty());
}

TEST(Form1Events, list_index_write_raises_click_before_it_returns) {
    Form1 form;
    form.addItem(C::cmbGOP, " 1");
    form.addItem(C::cmbGOP, " 2");
    std::vector<std::string> calls;
    std::int16_t seenIndex = -2;
    form.setTraceListener([&](std::string_view name) {
        calls.emplace_back(name);
        if (name == "cmbGOP_Click") {
            seenIndex = form.control(C::cmbGOP).listIndex;
        }
    });
    form.setListIndex(C::cmbGOP, 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"cmbGOP_Click", "RefreshStorage"}));
    EXPECT_EQ(seenIndex, 1);
    calls.clear();
    form.setListIndex(C::cmbGOP, 1); // the same position again raises nothing
    EXPECT_TRUE(calls.empty());
    EXPECT_THROW(form.setListIndex(C::cmbGOP, 2), std::out_of_range);
    EXPECT_THROW(form.setListIndex(C::cmbGOP, -2), std::out_of_range);
    EXPECT_THROW(form.setListIndex(C::txtDays, 0), std::invalid_argument);
}

TEST(Form1Events, text_write_raises_change_once_and_not_for_the_same_text) {
    Form1 form;
    Recorder r;
    r.attach(form);
    form.setText(C::txtDays, "30");
    form.setText(C::txtDays, "30");
    EXPECT_EQ(r.calls, (std::vector<std::string>{"txtDays_Change", "RefreshStorage"}));
    EXPECT_EQ(form.control(C::txtDays).text, "30");
    EXPECT_THROW(form.setText(C::lbStorageSize, "x"), std::invalid_argument);
}

struct HandlerCase {
    const char* name;
    std::vector<std::string> expected;
    void (*act)(Form1&);
    friend void PrintTo(const HandlerCase& c, std::ostream* os) { *os << c.name; }
};

class EventTableTest : public testing::TestWithParam<HandlerCase> {};

TEST_P(EventTableTest, runs_the_procedures_of_its_row_in_order) {
    Form1 form;
    form.load();
    Recorder r;
    r.attach(form);
    GetParam().act(form);
    EXPECT_EQ(r.calls, GetParam().expected);
}

const std::vector<std::string> kFrameChain = {"RefreshFrameSize", "txtFrameSize_Change",
                                              "RefreshBandwidth", "RefreshStorage",
                                              "RefreshBandwidth", "RefreshStorage"};

std::vector<std::string> with(std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Rows, EventTableTest,
    testing::Values(
        HandlerCase{"resolution", with({"optResolution_Click"}, kFrameChain),
                    [](Form1& f) { f.selectOption(C::optResolution1); }},
        HandlerCase{"stream", with({"optStream_Click", "ArrangeInputs"}, kFrameChain),
                    [](Form1& f) { f.selectOption(C::optStream2); }},
        HandlerCase{"same_stream_again", {}, [](Form1& f) { f.selectOption(C::optStream0); }},
        HandlerCase{"quality", with({"cmbQuality_Click"}, kFrameChain),
                    [](Form1& f) { f.setListIndex(C::cmbQuality, 2); }},
        // MJPEG writes the estimate whatever the mode; the same text raises no Change.
        HandlerCase{"bitrate_mode_under_mjpeg",
                    {"cmbBitrateMode_Click", "ArrangeInputs", "RefreshFrameSize",
                     "RefreshBandwidth", "RefreshStorage"},
                    [](Form1& f) { f.setListIndex(C::cmbBitrateMode, 1); }},
        HandlerCase{"fps",
                    {"cmbFPS_Click", "RefreshBandwidth", "RefreshStorage"},
                    [](Form1& f) { f.setListIndex(C::cmbFPS, 0); }},
        HandlerCase{"gop", {"cmbGOP_Click", "RefreshStorage"},
                    [](Form1& f) { f.setListIndex(C::cmbGOP, 3); }},
        HandlerCase{"hours", {"cmbHours_Click", "RefreshStorage"},
                    [](Form1& f) { f.setListIndex(C::cmbHours, 3); }},
        HandlerCase{"bitrate",
                    {"txtBPS_Change", "RefreshBandwidth", "RefreshStorage"},
                    [](Form1& f) { f.setText(C::txtBPS, "512"); }},
        HandlerCase{"cameras",
                    {"txtCameraCount_Change", "RefreshBandwidth", "RefreshStorage"},
                    [](Form1& f) { f.setText(C::txtCameraCount, "4"); }},
        HandlerCase{"frame_size",
                    {"txtFrameSize_Change", "RefreshBandwidth", "RefreshStorage"},
                    [](Form1& f) { f.setText(C::txtFrameSize, "9"); }},
        HandlerCase{"days", {"txtDays_Change", "RefreshStorage"},
                    [](Form1& f) { f.setText(C::txtDays, "9"); }}),
    testing_support::CaseName{});
// clang-format on

TEST(Form1Events, option_groups_are_exclusive_per_container_only) {
    Form1 form;
    form.load();
    form.selectOption(C::optStream2);
    EXPECT_FALSE(form.control(C::optStream0).value);
    EXPECT_TRUE(form.control(C::optStream2).value);
    EXPECT_TRUE(form.control(C::optResolution0).value);
    form.selectOption(C::optResolution6);
    EXPECT_FALSE(form.control(C::optResolution0).value);
    EXPECT_TRUE(form.control(C::optStream2).value);
    int selected = 0;
    for (ControlId id : kOptResolution) {
        selected += form.control(id).value ? 1 : 0;
    }
    EXPECT_EQ(selected, 1);
    EXPECT_THROW(form.selectOption(C::Label1_1), std::invalid_argument);
}

TEST(Form1Events, change_listener_hears_every_write_that_changed_something) {
    Form1 form;
    std::vector<std::pair<ControlId, Property>> heard;
    form.setChangeListener([&](ControlId id, Property p) { heard.emplace_back(id, p); });
    form.load();
    heard.clear();
    form.selectOption(C::optResolution1);
    const std::vector<std::pair<ControlId, Property>> expected = {
        {C::optResolution0, Property::Value},  {C::optResolution1, Property::Value},
        {C::txtFrameSize, Property::Text},     {C::lbPerBandwidth, Property::Text},
        {C::lbTotalBandwidth, Property::Text}, {C::lbStorageSize, Property::Text}};
    EXPECT_EQ(heard, expected);
}

TEST(Form1Startup, runs_the_load_chain_in_order) {
    Form1 form;
    Recorder r;
    r.attach(form);
    form.load();
    const std::vector<std::string> expected = {
        "Form_Load",
        // ListIndex 29 on the frame rate
        "cmbFPS_Click", "RefreshBandwidth", "RefreshStorage",
        // GOP, then hours
        "cmbGOP_Click", "RefreshStorage", "cmbHours_Click", "RefreshStorage",
        // bitrate mode: MJPEG layout, estimate 5 written (no quality yet)
        "cmbBitrateMode_Click", "ArrangeInputs", "RefreshFrameSize", "txtFrameSize_Change",
        "RefreshBandwidth", "RefreshStorage", "RefreshBandwidth", "RefreshStorage",
        // quality "Highest": 7.5 written
        "cmbQuality_Click", "RefreshFrameSize", "txtFrameSize_Change", "RefreshBandwidth",
        "RefreshStorage", "RefreshBandwidth", "RefreshStorage",
        // the last two steps: the same 7.5 again raises no Change
        "ArrangeInputs", "RefreshFrameSize", "RefreshBandwidth", "RefreshStorage"};
    EXPECT_EQ(r.calls, expected);
}

TEST(Form1Startup, first_storage_uses_no_hours_and_is_zero) {
    Form1 form;
    std::vector<std::string> storage;
    form.setChangeListener([&](ControlId id, Property) {
        if (id == C::lbStorageSize) {
            storage.push_back(form.control(id).text);
        }
    });
    form.load();
    ASSERT_GE(storage.size(), 2u);
    EXPECT_EQ(storage.front(), " 0KB");
    EXPECT_EQ(storage.back(), " 149.688GB");
}

TEST(Form1Startup, leaves_lists_and_captions_as_the_window_opens) {
    Form1 form;
    form.load();
    EXPECT_EQ(form.control(C::txtFrameSize).text, "7.5");
    EXPECT_EQ(form.control(C::lbPerBandwidth).text, " 2.25Mbps");
    EXPECT_EQ(form.control(C::lbTotalBandwidth).text, " 2.25Mbps");
    EXPECT_EQ(form.control(C::lbStorageSize).text, " 149.688GB");
    struct ListCase {
        ControlId id;
        std::size_t count;
        int index;
        const char* item;
    };
    for (const ListCase& l :
         {ListCase{C::cmbFPS, 30, 29, " 30"}, ListCase{C::cmbGOP, 30, 0, " 1"},
          ListCase{C::cmbHours, 24, 23, " 24"}, ListCase{C::cmbBitrateMode, 2, 0, "VBR"},
          ListCase{C::cmbQuality, 3, 0, "Highest"}}) {
        const Control& c = form.control(l.id);
        EXPECT_EQ(c.items.size(), l.count) << Describe(l.id).name;
        ASSERT_EQ(c.listIndex, l.index) << Describe(l.id).name;
        EXPECT_EQ(c.items[static_cast<std::size_t>(c.listIndex)], l.item);
    }
    EXPECT_EQ(form.control(C::cmbFPS).items.front(), " 1");
    EXPECT_EQ(form.control(C::cmbQuality).items,
              (std::vector<std::string>{"Highest", "Normal", "Low"}));
}

} // namespace
} // namespace lenstally
