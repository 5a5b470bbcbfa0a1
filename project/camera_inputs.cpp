// SPDX-License-Identifier: MIT
#include "project/camera_inputs.hpp"

#include "project/project_writer.hpp"

namespace lenstally {

GroupView ViewInputs::view() const {
    return {distance, form == LensForm::Angle ? Lens{LensForm::Angle, hfov, 0, 0}
                                              : Lens{LensForm::Focal, 0, focal, sensor}};
}

CameraDetails EditedCamera(const CameraDetails& shown, CameraField field,
                           const CameraInputs& inputs) {
    CameraDetails next = shown;
    switch (field) {
    case CameraField::Camera:
        next.description =
            inputs.camera.empty() ? std::nullopt : std::optional<std::string>(inputs.camera);
        break;
    case CameraField::Pixels:
        next.pixels = inputs.pixels;
        break;
    case CameraField::ResolutionWidth:
        next.pixels =
            inputs.resolutionWidth ? std::nullopt : std::optional<std::int64_t>(inputs.pixels);
        break;
    case CameraField::View:
        next.view = inputs.view ? std::optional(inputs.target.view()) : std::nullopt;
        break;
    case CameraField::Distance:
    case CameraField::LensForm:
    case CameraField::Hfov:
    case CameraField::Focal:
    case CameraField::Sensor:
        if (next.view) {
            next.view = inputs.target.view();
        }
        break;
    }
    return next;
}

std::string CameraDetailsProblem(const CameraDetails& details) {
    // The details written as the one group of a project file and read back: the file's own
    // checks, in its own words.
    Project project;
    project.groups.push_back({"", {}, 100, details, {}});
    ProjectParse parsed = ParseProject(ProjectFileText(project));
    constexpr std::string_view kGroup = "group 1 \"\": ";
    if (parsed.error.starts_with(kGroup)) {
        parsed.error.erase(0, kGroup.size());
    }
    return parsed.error;
}

} // namespace lenstally
