// SPDX-License-Identifier: MIT
#pragma once
// The planner's storage plan: the drives and recorders as inputs, and the figures the plan gives.
// Each change of an input is handed to the window with what the inputs hold; the planner session
// makes it an edit, and the panel then shows what the document holds.

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <QWidget>

#include "project/plan_settings.hpp"
#include "project/project.hpp"
#include "project/project_compute.hpp"

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QSpinBox;

namespace lenstally {

class PlanPanel : public QWidget {
public:
    /// Called with the input edited and what all the inputs hold.
    using EditHandler = std::function<void(PlanField, const PlanInputs&)>;

    PlanPanel(EditHandler onEdit, QWidget* parent);

    /// Shows `settings` in the inputs, raising no edit.
    void showSettings(const PlanSettings& settings);
    /// Shows the plan's figures, as the totals give them in words.
    void showFigures(const ProjectTotals& totals);

    QWidget* firstInput() const;
    QWidget* lastInput() const;
    /// The edits the number boxes holding typing not yet entered would make once it is: each
    /// box's field and the inputs with its typed value in.
    std::vector<std::pair<PlanField, PlanInputs>> typedEdits() const;

private:
    void build();
    PlanInputs inputs() const; // what the inputs hold now
    void show(const PlanInputs& in);
    void edited(PlanField field);

    EditHandler m_onEdit;

    QGroupBox* m_storageBox = nullptr;
    QDoubleSpinBox* m_driveSize = nullptr;
    QComboBox* m_driveUnit = nullptr;
    QComboBox* m_raid = nullptr;
    QSpinBox* m_arrayWidth = nullptr;
    QSpinBox* m_spares = nullptr;
    QDoubleSpinBox* m_overhead = nullptr;
    QDoubleSpinBox* m_fill = nullptr;
    QSpinBox* m_drives = nullptr;
    QGroupBox* m_recorderBox = nullptr;
    QSpinBox* m_channels = nullptr;
    QDoubleSpinBox* m_mbps = nullptr;
    QSpinBox* m_bays = nullptr;

    QGroupBox* m_storageFigures = nullptr;
    QFormLayout* m_storageForm = nullptr;
    std::vector<QLabel*> m_storageValues;
    QGroupBox* m_recorderFigures = nullptr;
    QFormLayout* m_recorderForm = nullptr;
    std::vector<QLabel*> m_recorderValues;
};

} // namespace lenstally
