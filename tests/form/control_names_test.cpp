// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "form/control_names.hpp"
#include "form/form1.hpp"

namespace lenstally {
namespace {

using C = ControlId;

// What every face reads out for an input: the spoken caption of the label that names it.
std::string nameOf(const Form1& form, ControlId id) {
    const std::optional<ControlId> label = NamingLabel(id);
    return label ? SpokenName(form.control(*label).text) : std::string("(none)");
}

TEST(ControlNames, every_input_is_named_by_the_label_beside_it) {
    Form1 form;
    form.load();
    for (const ControlDescription& d : ControlDescriptions()) {
        if (d.kind == ControlKind::Option || d.kind == ControlKind::TextBox ||
            d.kind == ControlKind::ComboBox) {
            EXPECT_FALSE(nameOf(form, d.id).empty()) << d.name;
        }
    }
    EXPECT_EQ(nameOf(form, C::optStream2), "H.264");
    EXPECT_EQ(nameOf(form, C::optResolution0), "QCIF (176x120)");
    EXPECT_EQ(nameOf(form, C::txtCameraCount), "Number of Cameras:");
    EXPECT_EQ(nameOf(form, C::txtDays), "Desired Storage (Number of Days) per Camera:");
    EXPECT_EQ(nameOf(form, C::lbStorageSize), "(none)");
}

TEST(ControlNames, results_are_described_and_nothing_else_is) {
    EXPECT_EQ(ResultDescription(C::lbPerBandwidth), "Bandwidth per camera");
    EXPECT_EQ(ResultDescription(C::lbTotalBandwidth), "Total bandwidth");
    EXPECT_EQ(ResultDescription(C::lbStorageSize), "Estimated storage");
    EXPECT_EQ(ResultDescription(C::txtFrameSize), std::nullopt);
    EXPECT_EQ(SpokenName(" \t"), "");
    EXPECT_EQ(TwipsToPixels(1455), 97);
}

} // namespace
} // namespace lenstally
