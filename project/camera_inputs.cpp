// SPDX-License-Identifier: MIT
#include "project/camera_inputs.hpp"

#include "estimation/numeric_text.hpp"

#include <cmath>

#include "project/project_writer.hpp"

namespace lenstally {
namespace {

bool isWhole(double value) {
    return std::isfinite(value) && value == std::trunc(value) && std::abs(value) <= 1e15;
}

} // namespace

GroupView ViewInputs::view() const {
    return {distance, form == LensForm::Angle ? Lens{LensForm::Angle, hfov, 0, 0}
                                              : Lens{LensForm::Focal, 0, focal, sensor}};
}

CameraInputs ShownCameraInputs(const GroupResult& result, const ViewInputs& kept) {
    const CameraDetails& camera = result.camera;
    CameraInputs shown{camera.description.value_or(""), static_cast<double>(result.pixels),
                       !camera.pixels, camera.view.has_value(), kept};
    if (const std::optional<GroupView>& view = camera.view) {
        ViewInputs& v = shown.target;
        v.distance = view->distance;
        v.form = view->lens.form;
        if (v.form == LensForm::Angle) {
            v.hfov = view->lens.hfov;
            // f = w / (2 tan(H / 2)): the focal length whose angle on this sensor is H.
            v.focal = RoundTo(v.sensor / WidthPerMetre(view->lens), 2);
        } else {
            v.focal = view->lens.focal;
            v.sensor = view->lens.sensor;
            v.hfov = RoundTo(AngleOfView(view->lens), 1);
        }
    }
    return shown;
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
        next.pixels = static_cast<std::int64_t>(inputs.pixels);
        break;
    case CameraField::ResolutionWidth:
        next.pixels = inputs.resolutionWidth
                          ? std::nullopt
                          : std::optional<std::int64_t>(static_cast<std::int64_t>(inputs.pixels));
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

std::string CameraInputsProblem(const CameraDetails& shown, CameraField field,
                                const CameraInputs& inputs) {
    const bool widthGiven = field == CameraField::Pixels ||
                            (field == CameraField::ResolutionWidth && !inputs.resolutionWidth);
    if (widthGiven && !isWhole(inputs.pixels)) {
        return "\"pixels\" must be a whole number";
    }
    const CameraDetails next = EditedCamera(shown, field, inputs);
    if (const std::optional<GroupView>& v = next.view;
        v && (!std::isfinite(v->distance) || !std::isfinite(v->lens.hfov) ||
              !std::isfinite(v->lens.focal) || !std::isfinite(v->lens.sensor))) {
        return "view: the distance and the lens must be numbers";
    }
    return CameraDetailsProblem(next);
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
