// SPDX-License-Identifier: MIT
#include "gui/planner/plan_panel.hpp"

#include <algorithm>
#include <iterator>
#include <limits>
#include <tuple>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>
#include <QSpinBox>

#include "gui/calculator/form1_view.hpp"
#include "gui/planner/line_rows.hpp"
#include "gui/planner/number_box.hpp"
#include "gui/planner/typed_value.hpp"
#include "project/plan_lines.hpp"

namespace lenstally {
namespace {

constexpr RaidLevel kLevels[] = {RaidLevel::Raid0, RaidLevel::Raid1, RaidLevel::Raid5,
                                 RaidLevel::Raid6, RaidLevel::Raid10};

QSpinBox* countBox(int minimum, const QString& special, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, static_cast<int>(kLargestCount));
    box->setKeyboardTracking(false);
    box->setSpecialValueText(special);
    return box;
}

bool usesArrays(RaidLevel raid) {
    return raid == RaidLevel::Raid5 || raid == RaidLevel::Raid6;
}

template <typename Values, typename T> int positionOf(const Values& values, T value) {
    const auto* const found = std::find(std::begin(values), std::end(values), value);
    return found == std::end(values) ? 0 : static_cast<int>(found - std::begin(values));
}

} // namespace

PlanPanel::PlanPanel(EditHandler onEdit, QWidget* parent)
    : QWidget(parent), m_onEdit(std::move(onEdit)) {
    build();
    show(PlanInputs{}); // what the inputs offer when a plan is first switched on
}

void PlanPanel::build() {
    // Inputs on the left, the figures they give on the right.
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);

    m_storageBox = new QGroupBox(QStringLiteral("Storage plan"), this);
    m_storageBox->setCheckable(true);
    m_storageBox->setAccessibleName(QStringLiteral("Storage plan"));
    auto* storage = new QFormLayout(m_storageBox);
    auto* driveRow = new QWidget(m_storageBox);
    auto* driveLayout = new QHBoxLayout(driveRow);
    driveLayout->setContentsMargins(0, 0, 0, 0);
    // Ranges wide enough for any value a project file may hold, so showing one never clips it.
    m_driveSize = new NumberBox(1e-9, kLargestPlanNumber, driveRow);
    m_driveUnit = new QComboBox(driveRow);
    for (const SizeUnit unit : kDriveUnits) {
        m_driveUnit->addItem(toQString(UnitName(unit)));
    }
    m_driveUnit->setAccessibleName(QStringLiteral("Drive size unit"));
    driveLayout->addWidget(m_driveSize, 1);
    driveLayout->addWidget(m_driveUnit);
    auto* driveCaption = new QLabel(QStringLiteral("Drive size:"));
    driveCaption->setBuddy(m_driveSize);
    m_driveSize->setAccessibleName(QStringLiteral("Drive size"));
    storage->addRow(driveCaption, driveRow);
    m_raid = new QComboBox(m_storageBox);
    for (const RaidLevel level : kLevels) {
        m_raid->addItem(toQString(RaidName(level)));
    }
    AddNamedRow(storage, QStringLiteral("RAID level:"), m_raid);
    m_arrayWidth = countBox(0, QStringLiteral("one array"), m_storageBox);
    AddNamedRow(storage, QStringLiteral("Most drives per array:"), m_arrayWidth);
    m_spares = countBox(0, {}, m_storageBox);
    AddNamedRow(storage, QStringLiteral("Hot spares:"), m_spares);
    m_overhead = new NumberBox(0, 99.9999999, m_storageBox);
    m_overhead->setSuffix(QStringLiteral(" %"));
    AddNamedRow(storage, QStringLiteral("File-system overhead:"), m_overhead);
    m_fill = new NumberBox(1e-9, 100, m_storageBox);
    m_fill->setSuffix(QStringLiteral(" %"));
    AddNamedRow(storage, QStringLiteral("Fill limit:"), m_fill);
    m_drives = countBox(0, QStringLiteral("not given"), m_storageBox);
    AddNamedRow(storage, QStringLiteral("Drives installed:"), m_drives);
    layout->addWidget(m_storageBox, 0, 0);

    m_recorderBox = new QGroupBox(QStringLiteral("Recorders"), this);
    m_recorderBox->setCheckable(true);
    m_recorderBox->setAccessibleName(QStringLiteral("Recorders"));
    auto* recorder = new QFormLayout(m_recorderBox);
    m_channels = countBox(0, QStringLiteral("no limit"), m_recorderBox);
    AddNamedRow(recorder, QStringLiteral("Cameras per recorder:"), m_channels);
    m_mbps = new NumberBox(0, kLargestPlanNumber, m_recorderBox);
    m_mbps->setSpecialValueText(QStringLiteral("no limit"));
    AddNamedRow(recorder, QStringLiteral("Mbps per recorder:"), m_mbps);
    m_bays = countBox(0, QStringLiteral("no limit"), m_recorderBox);
    AddNamedRow(recorder, QStringLiteral("Drives per recorder:"), m_bays);
    layout->addWidget(m_recorderBox, 1, 0);

    m_storageFigures = new QGroupBox(QStringLiteral("Storage plan figures"), this);
    m_storageFigures->setAccessibleName(QStringLiteral("Storage plan figures"));
    m_storageForm = new QFormLayout(m_storageFigures);
    layout->addWidget(m_storageFigures, 0, 1);
    m_recorderFigures = new QGroupBox(QStringLiteral("Recorder figures"), this);
    m_recorderFigures->setAccessibleName(QStringLiteral("Recorder figures"));
    m_recorderForm = new QFormLayout(m_recorderFigures);
    layout->addWidget(m_recorderFigures, 1, 1);
    layout->setRowStretch(2, 1);

    connect(m_storageBox, &QGroupBox::toggled, this, [this] { edited(PlanField::Storage); });
    connect(m_recorderBox, &QGroupBox::toggled, this, [this] { edited(PlanField::Recorder); });
    const std::pair<QDoubleSpinBox*, PlanField> numbers[] = {{m_driveSize, PlanField::DriveSize},
                                                             {m_overhead, PlanField::Overhead},
                                                             {m_fill, PlanField::Fill},
                                                             {m_mbps, PlanField::Mbps}};
    for (const auto& [box, field] : numbers) {
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, f = field] { edited(f); });
    }
    const std::pair<QSpinBox*, PlanField> counts[] = {{m_arrayWidth, PlanField::ArrayWidth},
                                                      {m_spares, PlanField::Spares},
                                                      {m_drives, PlanField::Drives},
                                                      {m_channels, PlanField::Channels},
                                                      {m_bays, PlanField::Bays}};
    for (const auto& [box, field] : counts) {
        connect(box, &QSpinBox::valueChanged, this, [this, f = field] { edited(f); });
    }
    connect(m_driveUnit, &QComboBox::currentIndexChanged, this,
            [this] { edited(PlanField::DriveUnit); });
    connect(m_raid, &QComboBox::currentIndexChanged, this, [this] { edited(PlanField::Raid); });
}

QWidget* PlanPanel::firstInput() const {
    return m_storageBox;
}

QWidget* PlanPanel::lastInput() const {
    return m_bays;
}

void PlanPanel::showSettings(const PlanSettings& settings) {
    // Without a section its inputs keep what they showed, ready to be switched on.
    show(ShownPlanInputs(settings, inputs()));
}

void PlanPanel::show(const PlanInputs& in) {
    const QSignalBlocker blockers[] = {
        QSignalBlocker(m_storageBox),  QSignalBlocker(m_driveSize),  QSignalBlocker(m_driveUnit),
        QSignalBlocker(m_raid),        QSignalBlocker(m_arrayWidth), QSignalBlocker(m_spares),
        QSignalBlocker(m_overhead),    QSignalBlocker(m_fill),       QSignalBlocker(m_drives),
        QSignalBlocker(m_recorderBox), QSignalBlocker(m_channels),   QSignalBlocker(m_mbps),
        QSignalBlocker(m_bays)};
    m_storageBox->setChecked(in.storage);
    m_driveSize->setValue(in.driveSize);
    m_driveUnit->setCurrentIndex(positionOf(kDriveUnits, in.driveUnit));
    m_raid->setCurrentIndex(positionOf(kLevels, in.raid));
    m_arrayWidth->setValue(static_cast<int>(in.arrayWidth));
    m_spares->setValue(static_cast<int>(in.spares));
    m_overhead->setValue(in.overhead);
    m_fill->setValue(in.fill);
    m_drives->setValue(static_cast<int>(in.drives));
    m_recorderBox->setChecked(in.recorder);
    m_channels->setValue(static_cast<int>(in.channels));
    m_mbps->setValue(in.mbps);
    m_bays->setValue(static_cast<int>(in.bays));
    m_arrayWidth->setEnabled(usesArrays(kLevels[std::max(0, m_raid->currentIndex())]));
    // Drives per recorder count the drives of the storage plan.
    m_bays->setEnabled(in.storage);
}

PlanInputs PlanPanel::inputs() const {
    PlanInputs in;
    in.storage = m_storageBox->isChecked();
    in.driveSize = m_driveSize->value();
    in.driveUnit = kDriveUnits[static_cast<std::size_t>(std::max(0, m_driveUnit->currentIndex()))];
    in.raid = kLevels[std::max(0, m_raid->currentIndex())];
    in.arrayWidth = m_arrayWidth->value();
    in.spares = m_spares->value();
    in.overhead = m_overhead->value();
    in.fill = m_fill->value();
    in.drives = m_drives->value();
    in.recorder = m_recorderBox->isChecked();
    in.channels = m_channels->value();
    in.mbps = m_mbps->value();
    in.bays = m_bays->value();
    return in;
}

std::vector<std::pair<PlanField, PlanInputs>> PlanPanel::typedEdits() const {
    const std::tuple<const QAbstractSpinBox*, PlanField, double PlanInputs::*> boxes[] = {
        {m_driveSize, PlanField::DriveSize, &PlanInputs::driveSize},
        {m_arrayWidth, PlanField::ArrayWidth, &PlanInputs::arrayWidth},
        {m_spares, PlanField::Spares, &PlanInputs::spares},
        {m_overhead, PlanField::Overhead, &PlanInputs::overhead},
        {m_fill, PlanField::Fill, &PlanInputs::fill},
        {m_drives, PlanField::Drives, &PlanInputs::drives},
        {m_channels, PlanField::Channels, &PlanInputs::channels},
        {m_mbps, PlanField::Mbps, &PlanInputs::mbps},
        {m_bays, PlanField::Bays, &PlanInputs::bays}};
    std::vector<std::pair<PlanField, PlanInputs>> edits;
    for (const auto& [box, field, input] : boxes) {
        if (const std::optional<double> typed = TypedValue(box)) {
            PlanInputs in = inputs();
            in.*input = *typed;
            edits.emplace_back(field, in);
        }
    }
    return edits;
}

void PlanPanel::edited(PlanField field) {
    m_onEdit(field, inputs());
}

void PlanPanel::showFigures(const ProjectTotals& totals) {
    // The figures only: the assumptions are the inputs beside them.
    std::vector<const PlanLine*> storage;
    for (const PlanLine& line : totals.storageLines) {
        if (line.kind == PlanLine::Kind::Figure) {
            storage.push_back(&line);
        }
    }
    std::vector<const PlanLine*> recorder;
    for (const PlanLine& line : totals.recorderLines) {
        recorder.push_back(&line);
    }
    ShowLines(m_storageFigures, m_storageForm, m_storageValues, storage);
    ShowLines(m_recorderFigures, m_recorderForm, m_recorderValues, recorder);
}

} // namespace lenstally
