// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "project/camera_inputs.hpp"

namespace lenstally {
namespace {

// Details a face would give a group are checked as a project file's camera keys are, in the
// command line's words after the group's name.
TEST(CameraInputs, details_are_checked_as_a_project_files_keys) {
    CameraInputs inputs;
    inputs.view = true;
    inputs.target.distance = 0;
    const CameraDetails off;
    EXPECT_EQ(EditedCamera(off, CameraField::Distance, inputs), off); // no view: nothing to edit
    const CameraDetails on = EditedCamera(off, CameraField::View, inputs);
    EXPECT_EQ(CameraDetailsProblem(on),
              "view: \"distance\" is 0; allowed values are numbers from 0.01 to 100000 (metres)");
    inputs.target.distance = 20;
    inputs.target.form = LensForm::Focal;
    const CameraDetails focal = EditedCamera(on, CameraField::LensForm, inputs);
    EXPECT_EQ(CameraDetailsProblem(focal), "");
    EXPECT_EQ(focal.view, (GroupView{20, {LensForm::Focal, 0, 2.8, 5.37}}));
    inputs.pixels = 100'001;
    inputs.resolutionWidth = false;
    EXPECT_EQ(CameraDetailsProblem(EditedCamera(focal, CameraField::ResolutionWidth, inputs)),
              "\"pixels\" is 100001; allowed values are whole numbers from 1 to 100000");
}

} // namespace
} // namespace lenstally
