// SPDX-License-Identifier: MIT
#include "gui/planner/groups_model.hpp"

#include "estimation/numeric_text.hpp"

#include <span>

#include <QFont>

#include "gui/calculator/form1_view.hpp"
#include "project/plan_lines.hpp"
#include "project/view_lines.hpp"

namespace lenstally {
namespace {

constexpr const char* kHeaders[GroupsModel::kColumns] = {
    "Name",       "Cameras",         "Stream",  "Resolution", "FPS",  "Activity",
    "Per camera", "Total bandwidth", "Storage", "Camera",     "Level"};

// The caption beside the selected button of an option group: "H.264", "2 Megapixel (1600x1200)".
QString selectedCaption(const Form1& form, std::span<const ControlId> options) {
    for (const ControlId option : options) {
        if (form.control(option).value) {
            if (const std::optional<ControlId> label = LabelBeside(option)) {
                return toQString(form.control(*label).text).trimmed();
            }
        }
    }
    return {};
}

std::size_t actionPosition(std::string_view option) {
    return static_cast<std::size_t>(FindAction(option) - Actions().data());
}

} // namespace

GroupsModel::GroupsModel(const ProjectDocument& document, EditHandler onEdit, QObject* parent)
    : QAbstractTableModel(parent), m_document(document), m_onEdit(std::move(onEdit)) {}

int GroupsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : totalRow() + 1;
}

int GroupsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

int GroupsModel::totalRow() const {
    return static_cast<int>(m_document.groupCount());
}

QString GroupsModel::groupText(std::size_t i, int column) const {
    const ProjectDocument::Group& group = m_document.group(i);
    const GroupResult& result = m_document.result(i);
    switch (column) {
    case Name:
        return toQString(group.name);
    case Cameras:
        return toQString(result.inputs[actionPosition("cameras")]);
    case Stream:
        return selectedCaption(group.form, kOptStream);
    case Resolution:
        // "2 Megapixel", without the pixel count the calculator shows beside it.
        return selectedCaption(group.form, kOptResolution)
            .section(QLatin1Char('('), 0, 0)
            .trimmed();
    case Fps:
        return toQString(result.inputs[actionPosition("fps")]);
    case Activity:
        return toQString(PercentText(group.activity));
    case PerCamera:
        return toQString(result.perCamera);
    case Bandwidth:
        return toQString(result.totalBandwidth);
    case Storage:
        return toQString(result.storage);
    case Camera:
        return toQString(group.camera.description.value_or(""));
    case Level:
        return result.view ? toQString(LevelText(result.view->level)) : QString();
    default:
        return {};
    }
}

QVariant GroupsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int row = index.row();
    const int column = index.column();
    const bool total = row == totalRow();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        if (total) {
            const ProjectTotals& t = m_document.totals();
            switch (column) {
            case Name:
                return QStringLiteral("TOTAL");
            case Cameras:
                return toQString(FormatNumber(t.cameras));
            case Bandwidth:
                return toQString(t.totalBandwidth);
            case Storage:
                return toQString(t.totalStorage);
            default:
                return {};
            }
        }
        return groupText(static_cast<std::size_t>(row), column);
    case Qt::EditRole:
        if (total) {
            return {};
        }
        if (column == Activity) {
            return m_document.group(static_cast<std::size_t>(row)).activity;
        }
        return groupText(static_cast<std::size_t>(row), column);
    case Qt::TextAlignmentRole:
        return column == Name || column == Stream || column == Resolution || column == Camera ||
                       column == Level
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
        if (total) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant GroupsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return section >= 0 && section < kColumns ? QString::fromLatin1(kHeaders[section])
                                                  : QVariant();
    }
    return section == totalRow() ? QString() : QString::number(section + 1);
}

Qt::ItemFlags GroupsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const bool editable =
        index.column() == Name || index.column() == Cameras || index.column() == Activity;
    if (index.isValid() && index.row() != totalRow() && editable) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool GroupsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) {
        return false;
    }
    m_onEdit(static_cast<std::size_t>(index.row()), static_cast<Column>(index.column()), value);
    return true;
}

void GroupsModel::groupChanged(std::size_t i) {
    const int row = static_cast<int>(i);
    Q_EMIT dataChanged(index(row, 0), index(row, kColumns - 1));
    Q_EMIT dataChanged(index(totalRow(), 0), index(totalRow(), kColumns - 1));
}

void GroupsModel::beforeGroupChange(const ProjectDocument::GroupChange& change) {
    using Kind = ProjectDocument::GroupChange::Kind;
    const int at = static_cast<int>(change.at);
    switch (change.kind) {
    case Kind::Insert:
        beginInsertRows({}, at, at);
        break;
    case Kind::Remove:
        beginRemoveRows({}, at, at);
        break;
    case Kind::Move: {
        // Qt names the row the moved one goes before, counted before the move.
        const int to = static_cast<int>(change.to);
        beginMoveRows({}, at, at, {}, to > at ? to + 1 : to);
        break;
    }
    case Kind::Replace:
        break;
    }
}

void GroupsModel::afterGroupChange(const ProjectDocument::GroupChange& change) {
    using Kind = ProjectDocument::GroupChange::Kind;
    switch (change.kind) {
    case Kind::Insert:
        endInsertRows();
        break;
    case Kind::Remove:
        endRemoveRows();
        break;
    case Kind::Move:
        endMoveRows();
        break;
    case Kind::Replace:
        groupChanged(change.at);
        return;
    }
    // The rows after the change are numbered anew, and the totals are new sums.
    Q_EMIT headerDataChanged(Qt::Vertical, 0, totalRow());
    Q_EMIT dataChanged(index(totalRow(), 0), index(totalRow(), kColumns - 1));
}

} // namespace lenstally
