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

// The lens form not chosen shows what the chosen lens gives: a 2.8 mm lens on a 5.37 mm sensor
// sees 87.6 degrees, and 60 degrees on a 5.6 mm sensor takes a 4.85 mm lens. Without a view the
// view's inputs keep what they held.
TEST(CameraInputs, the_lens_form_not_chosen_shows_what_the_chosen_lens_gives) {
    GroupResult group;
    group.pixels = 1280;
    group.camera.view = GroupView{12, {LensForm::Focal, 0, 2.8, 5.37}};
    const ViewInputs kept{5, LensForm::Angle, 45, 4, 6};
    const CameraInputs focal = ShownCameraInputs(group, kept);
    EXPECT_EQ(focal.target.hfov, 87.6);
    EXPECT_EQ(focal.target.form, LensForm::Focal);
    EXPECT_EQ(focal.target.distance, 12);
    group.camera.view = GroupView{12, {LensForm::Angle, 60, 0, 0}};
    const CameraInputs angle = ShownCameraInputs(group, {5, LensForm::Focal, 45, 4, 5.6});
    EXPECT_EQ(angle.target.focal, 4.85);
    EXPECT_EQ(angle.target.sensor, 5.6);
    group.camera.view.reset();
    EXPECT_EQ(ShownCameraInputs(group, kept).target.hfov, 45);
    EXPECT_FALSE(ShownCameraInputs(group, kept).view);
}

} // namespace
} // namespace lenstally
