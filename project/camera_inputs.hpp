// SPDX-License-Identifier: MIT
#pragma once
// A group's camera section as the planner's faces show it: the camera's name, the picture's
// width (the resolution's until the user gives another), and the camera view switched on or off
// with the target's distance and the lens. An edit of one input becomes the group's new camera
// details here, the same way in the desktop planner and in the page, and is checked as a project
// file's camera keys are.

#include <cstdint>
#include <string>

#include "project/project.hpp"
#include "project/project_compute.hpp"

namespace lenstally {

/// Which input an edit came from; consecutive edits of one input make one undo step.
enum class CameraField {
    Camera,
    Pixels,
    ResolutionWidth,
    View,
    Distance,
    LensForm,
    Hfov,
    Focal,
    Sensor
};

/// The view's inputs, which keep their values while the view is switched off. A view is first
/// switched on with a target 10 m away seen through a 90 degree lens, or a 2.8 mm lens on a
/// 1/2.8" sensor 5.37 mm wide.
struct ViewInputs {
    double distance = 10;
    LensForm form = LensForm::Angle;
    double hfov = 90;
    double focal = 2.8;
    double sensor = 5.37;

    /// The view these inputs describe: the distance and the lens of the chosen form.
    GroupView view() const;
};

/// What the section's inputs hold.
struct CameraInputs {
    std::string camera;          // the camera's name; empty for none
    double pixels = 0;           // the width shown, a whole number unless typed otherwise
    bool resolutionWidth = true; // the width is the resolution's, not the camera's own
    bool view = false;           // the camera view is switched on
    ViewInputs target;
};

/// What the section's inputs show for group `result`: its camera's name and width, whether it
/// has a view, and the view's distance and lens; while it has no view, the view's values of
/// `kept` (what the inputs held). The lens form not chosen shows what the chosen lens gives: the
/// angle of view of a focal length on its sensor, to one decimal, or the focal length that gives
/// an angle on the sensor width shown, to two.
CameraInputs ShownCameraInputs(const GroupResult& result, const ViewInputs& kept);

/// The details of a group that had `shown` once the user changed `field` to what `inputs` hold:
/// a name typed (empty for none), a width typed (the camera's own from then on), the
/// resolution's width ticked again or not (unticked, the width shown becomes the camera's), the
/// view switched on or off, or a value of the view's (which changes nothing while it is off).
CameraDetails EditedCamera(const CameraDetails& shown, CameraField field,
                           const CameraInputs& inputs);

/// Why the inputs cannot give a group that had `shown` new details once the user changed
/// `field`: a width that is not a whole number, a view's value that is not a number, or what a
/// project file could not hold (see CameraDetailsProblem); empty when they can.
std::string CameraInputsProblem(const CameraDetails& shown, CameraField field,
                                const CameraInputs& inputs);

/// Why a project file could not hold `details` as a group's camera keys, in the command line's
/// words after the group's name: "view: \"distance\" is 0; allowed values are numbers from 0.01
/// to 100000 (metres)"; empty when it can.
std::string CameraDetailsProblem(const CameraDetails& details);

} // namespace lenstally
