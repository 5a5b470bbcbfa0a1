// SPDX-License-Identifier: MIT
#include "gui/planner/groups_model.hpp"

#include <QFont>

#include "gui/calculator/form1_view.hpp"
#include "project/group_rows.hpp"

namespace lenstally {

// The table's columns are the shared group columns, in the same order.
static_assert(static_cast<int>(GroupColumn::Level) == GroupsModel::Level &&
              kGroupColumnCount == static_cast<std::size_t>(GroupsModel::kColumns));

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
    return toQString(GroupCellText(m_document, i, static_cast<GroupColumn>(column)));
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
            const QString text =
                toQString(TotalCellText(m_document.totals(), static_cast<GroupColumn>(column)));
            return text.isEmpty() ? QVariant() : QVariant(text);
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
        return IsWordColumn(static_cast<GroupColumn>(column))
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
        return section >= 0 && section < kColumns
                   ? QVariant(toQString(kGroupColumnHeaders[static_cast<std::size_t>(section)]))
                   : QVariant();
    }
    return section == totalRow() ? QString() : QString::number(section + 1);
}

Qt::ItemFlags GroupsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const bool editable = IsEditableColumn(static_cast<GroupColumn>(index.column()));
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
    case Kind::Reset:
        beginResetModel();
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
    case Kind::Reset:
        endResetModel();
        return;
    }
    // The rows after the change are numbered anew, and the totals are new sums.
    Q_EMIT headerDataChanged(Qt::Vertical, 0, totalRow());
    Q_EMIT dataChanged(index(totalRow(), 0), index(totalRow(), kColumns - 1));
}

} // namespace lenstally
