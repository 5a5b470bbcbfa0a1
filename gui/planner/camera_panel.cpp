// SPDX-License-Identifier: MIT
#include "gui/planner/camera_panel.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "gui/calculator/form1_view.hpp"
#include "gui/planner/line_rows.hpp"
#include "gui/planner/number_box.hpp"
#include "gui/planner/typed_value.hpp"
#include "gui/planner/view_picture.hpp"

namespace lenstally {
namespace {

// The limits of a project file's camera keys.
constexpr int kLongestCamera = 200;
constexpr int kMostPixels = 100'000;

} // namespace

CameraPanel::CameraPanel(EditHandler onEdit, QWidget* parent)
    : QWidget(parent), m_onEdit(std::move(onEdit)) {
    build();
    showGroup(nullptr);
}

void CameraPanel::build() {
    setAccessibleName(QStringLiteral("Camera view"));
    auto* layout = new QGridLayout(this);
    layout->setColumnStretch(1, 1);

    auto* inputs = new QWidget(this);
    auto* form = new QFormLayout(inputs);
    form->setContentsMargins(0, 0, 0, 0);
    m_camera = new QLineEdit(inputs);
    m_camera->setMaxLength(kLongestCamera);
    m_camera->setPlaceholderText(QStringLiteral("e.g. 4K bullet, H.265, 6 Mbps measured"));
    AddNamedRow(form, QStringLiteral("Camera:"), m_camera);

    auto* pixelsRow = new QWidget(inputs);
    auto* pixelsLayout = new QHBoxLayout(pixelsRow);
    pixelsLayout->setContentsMargins(0, 0, 0, 0);
    m_pixels = new QSpinBox(pixelsRow);
    m_pixels->setRange(1, kMostPixels);
    m_pixels->setSuffix(QStringLiteral(" px"));
    m_pixels->setKeyboardTracking(false);
    m_resolutionWidth = new QCheckBox(QStringLiteral("The resolution's"), pixelsRow);
    m_resolutionWidth->setAccessibleName(QStringLiteral("Pixel width of the resolution"));
    pixelsLayout->addWidget(m_pixels, 1);
    pixelsLayout->addWidget(m_resolutionWidth);
    auto* pixelsCaption = new QLabel(QStringLiteral("Pixel width:"), inputs);
    pixelsCaption->setBuddy(m_pixels);
    m_pixels->setAccessibleName(QStringLiteral("Pixel width"));
    form->addRow(pixelsCaption, pixelsRow);

    m_viewBox = new QGroupBox(QStringLiteral("Camera view"), inputs);
    m_viewBox->setCheckable(true);
    m_viewBox->setAccessibleName(QStringLiteral("Camera view of a target"));
    auto* view = new QFormLayout(m_viewBox);
    m_distance = new NumberBox(0.01, 100'000, m_viewBox);
    m_distance->setSuffix(QStringLiteral(" m"));
    AddNamedRow(view, QStringLiteral("Distance to the target:"), m_distance);
    auto* lensRow = new QWidget(m_viewBox);
    auto* lensLayout = new QHBoxLayout(lensRow);
    lensLayout->setContentsMargins(0, 0, 0, 0);
    m_angleForm = new QRadioButton(QStringLiteral("Angle of view"), lensRow);
    m_focalForm = new QRadioButton(QStringLiteral("Focal length"), lensRow);
    lensLayout->addWidget(m_angleForm);
    lensLayout->addWidget(m_focalForm);
    lensLayout->addStretch(1);
    view->addRow(QStringLiteral("Lens given by:"), lensRow);
    m_hfov = new NumberBox(0.01, 179.9999999999, m_viewBox);
    m_hfov->setSuffix(QStringLiteral("\u00B0"));
    AddNamedRow(view, QStringLiteral("Horizontal angle of view:"), m_hfov);
    m_focal = new NumberBox(0.01, 1000, m_viewBox);
    m_focal->setSuffix(QStringLiteral(" mm"));
    AddNamedRow(view, QStringLiteral("Focal length:"), m_focal);
    m_sensor = new NumberBox(0.01, 1000, m_viewBox);
    m_sensor->setSuffix(QStringLiteral(" mm"));
    AddNamedRow(view, QStringLiteral("Sensor width:"), m_sensor);
    form->addRow(m_viewBox);
    // What the view's inputs offer when a view is first switched on.
    const ViewInputs first;
    m_distance->setValue(first.distance);
    m_hfov->setValue(first.hfov);
    m_focal->setValue(first.focal);
    m_sensor->setValue(first.sensor);
    m_angleForm->setChecked(true);
    layout->addWidget(inputs, 0, 0, Qt::AlignTop);

    m_picture = new ViewPicture(this);
    layout->addWidget(m_picture, 0, 1);

    m_figures = new QGroupBox(QStringLiteral("Camera view figures"), this);
    m_figures->setAccessibleName(QStringLiteral("Camera view figures"));
    m_figuresForm = new QFormLayout(m_figures);
    layout->addWidget(m_figures, 1, 0, 1, 2);
    layout->setRowStretch(2, 1);

    connect(m_camera, &QLineEdit::editingFinished, this, [this] { edited(CameraField::Camera); });
    connect(m_pixels, &QSpinBox::valueChanged, this, [this] { edited(CameraField::Pixels); });
    connect(m_resolutionWidth, &QCheckBox::toggled, this,
            [this] { edited(CameraField::ResolutionWidth); });
    connect(m_viewBox, &QGroupBox::toggled, this, [this] { edited(CameraField::View); });
    connect(m_angleForm, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            edited(CameraField::LensForm);
        }
    });
    connect(m_focalForm, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            edited(CameraField::LensForm);
        }
    });
    const std::pair<QDoubleSpinBox*, CameraField> numbers[] = {{m_distance, CameraField::Distance},
                                                               {m_hfov, CameraField::Hfov},
                                                               {m_focal, CameraField::Focal},
                                                               {m_sensor, CameraField::Sensor}};
    for (const auto& [box, field] : numbers) {
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, f = field] { edited(f); });
    }
    QWidget::setTabOrder(m_camera, m_pixels);
    QWidget::setTabOrder(m_pixels, m_resolutionWidth);
    QWidget::setTabOrder(m_resolutionWidth, m_viewBox);
    QWidget::setTabOrder(m_viewBox, m_distance);
    QWidget::setTabOrder(m_distance, m_angleForm);
    QWidget::setTabOrder(m_angleForm, m_focalForm);
    QWidget::setTabOrder(m_focalForm, m_hfov);
    QWidget::setTabOrder(m_hfov, m_focal);
    QWidget::setTabOrder(m_focal, m_sensor);
}

QWidget* CameraPanel::firstInput() const {
    return m_camera;
}

QWidget* CameraPanel::lastInput() const {
    return m_sensor;
}

void CameraPanel::showLensForm(LensForm form) {
    // Only the chosen lens's inputs take values, and only while there is a view.
    const bool angle = form == LensForm::Angle;
    const bool view = m_viewBox->isChecked();
    m_angleForm->setChecked(angle);
    m_focalForm->setChecked(!angle);
    m_hfov->setEnabled(view && angle);
    m_focal->setEnabled(view && !angle);
    m_sensor->setEnabled(view && !angle);
}

void CameraPanel::showGroup(const GroupResult* result) {
    const QSignalBlocker blockers[] = {
        QSignalBlocker(m_camera),    QSignalBlocker(m_pixels),   QSignalBlocker(m_resolutionWidth),
        QSignalBlocker(m_viewBox),   QSignalBlocker(m_distance), QSignalBlocker(m_angleForm),
        QSignalBlocker(m_focalForm), QSignalBlocker(m_hfov),     QSignalBlocker(m_focal),
        QSignalBlocker(m_sensor)};
    setEnabled(result != nullptr);
    m_shown = result != nullptr ? result->camera : CameraDetails{};
    // Without a view the view's inputs keep what they showed, ready to be switched on.
    CameraInputs shown = inputs();
    shown =
        result != nullptr
            ? ShownCameraInputs(*result, shown.target)
            : CameraInputs{{}, static_cast<double>(m_pixels->minimum()), true, false, shown.target};
    m_camera->setText(toQString(shown.camera));
    m_pixels->setValue(static_cast<int>(shown.pixels));
    m_resolutionWidth->setChecked(shown.resolutionWidth);
    m_viewBox->setChecked(shown.view);
    m_distance->setValue(shown.target.distance);
    m_hfov->setValue(shown.target.hfov);
    m_focal->setValue(shown.target.focal);
    m_sensor->setValue(shown.target.sensor);
    showLensForm(shown.target.form);

    // The figures in words: the lens with its angle, then what it gives at the target.
    std::vector<const PlanLine*> lines;
    if (result != nullptr) {
        for (const PlanLine& line : result->viewLines) {
            if (line.kind == PlanLine::Kind::Figure) {
                lines.push_back(&line);
            }
        }
    }
    ShowLines(m_figures, m_figuresForm, m_figureValues, lines);
    m_picture->setView(result != nullptr ? result->view : std::nullopt);
}

void CameraPanel::commitTyping() {
    // The camera text with or without the focus: an assistive tool may have typed it.
    if (holdsTyping()) {
        edited(CameraField::Camera);
    }
    QWidget* focus = QApplication::focusWidget();
    for (QAbstractSpinBox* box : std::initializer_list<QAbstractSpinBox*>{
             m_pixels, m_distance, m_hfov, m_focal, m_sensor}) {
        if (focus == box) {
            box->interpretText();
        }
    }
}

bool CameraPanel::holdsTyping() const {
    return m_camera->isEnabled() &&
           fromQString(m_camera->text()) != m_shown.description.value_or(std::string());
}

CameraInputs CameraPanel::inputs() const {
    return {fromQString(m_camera->text()),
            static_cast<double>(m_pixels->value()),
            m_resolutionWidth->isChecked(),
            m_viewBox->isChecked(),
            {m_distance->value(), m_angleForm->isChecked() ? LensForm::Angle : LensForm::Focal,
             m_hfov->value(), m_focal->value(), m_sensor->value()}};
}

std::vector<std::pair<CameraField, CameraInputs>> CameraPanel::typedEdits() const {
    const std::pair<const QAbstractSpinBox*, CameraField> boxes[] = {
        {m_pixels, CameraField::Pixels},
        {m_distance, CameraField::Distance},
        {m_hfov, CameraField::Hfov},
        {m_focal, CameraField::Focal},
        {m_sensor, CameraField::Sensor}};
    std::vector<std::pair<CameraField, CameraInputs>> edits;
    for (const auto& [box, field] : boxes) {
        if (const std::optional<double> typed = TypedValue(box); typed && box->isEnabled()) {
            CameraInputs in = inputs();
            double& input = field == CameraField::Pixels     ? in.pixels
                            : field == CameraField::Distance ? in.target.distance
                            : field == CameraField::Hfov     ? in.target.hfov
                            : field == CameraField::Focal    ? in.target.focal
                                                             : in.target.sensor;
            input = *typed;
            edits.emplace_back(field, in);
        }
    }
    return edits;
}

void CameraPanel::edited(CameraField field) {
    const CameraInputs now = inputs();
    if (field == CameraField::LensForm) {
        showLensForm(now.target.form);
    }
    m_onEdit(field, now);
}

} // namespace lenstally
