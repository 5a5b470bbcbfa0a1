// SPDX-License-Identifier: MIT
#pragma once
// The planner's "Camera view" section for the selected group: the camera's name, the picture's
// width in pixels (the resolution's until the user gives another), and the target's distance
// with the lens, as an angle of view or a focal length on a sensor; then what the document
// computed from them: the view's figures in words and its picture. Each change of an input is
// handed to the window with what the inputs hold; the planner session makes it an edit, and the
// panel then shows what the document holds.

#include <functional>
#include <utility>
#include <vector>

#include <QWidget>

#include "project/camera_inputs.hpp"
#include "project/project_compute.hpp"

class QCheckBox;
class QDoubleSpinBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace lenstally {

class ViewPicture;

class CameraPanel : public QWidget {
public:
    using EditHandler = std::function<void(CameraField, const CameraInputs&)>;

    CameraPanel(EditHandler onEdit, QWidget* parent);

    /// Shows group `result`'s camera details, figures and picture, raising no edit; nullptr
    /// shows no group, with every input disabled.
    void showGroup(const GroupResult* result);
    /// Hands on what the focused input holds but has not reported yet (typing not yet ended).
    void commitTyping();
    /// True when the camera text holds typing that differs from the group's camera details.
    bool holdsTyping() const;
    /// What the inputs hold now (the camera text as typed).
    CameraInputs inputs() const;
    /// The edits the number boxes holding typing not yet entered would make once it is: each
    /// box's field and the inputs with its typed value in.
    std::vector<std::pair<CameraField, CameraInputs>> typedEdits() const;

    QWidget* firstInput() const;
    QWidget* lastInput() const;
    ViewPicture* picture() const { return m_picture; }

private:
    void build();
    void edited(CameraField field);
    void showLensForm(LensForm form);

    EditHandler m_onEdit;
    CameraDetails m_shown; // what the inputs show: the document's details

    QLineEdit* m_camera = nullptr;
    QSpinBox* m_pixels = nullptr;
    QCheckBox* m_resolutionWidth = nullptr;
    QGroupBox* m_viewBox = nullptr;
    QDoubleSpinBox* m_distance = nullptr;
    QRadioButton* m_angleForm = nullptr;
    QRadioButton* m_focalForm = nullptr;
    QDoubleSpinBox* m_hfov = nullptr;
    QDoubleSpinBox* m_focal = nullptr;
    QDoubleSpinBox* m_sensor = nullptr;
    QGroupBox* m_figures = nullptr;
    QFormLayout* m_figuresForm = nullptr;
    std::vector<QLabel*> m_figureValues;
    ViewPicture* m_picture = nullptr;
};

} // namespace lenstally
