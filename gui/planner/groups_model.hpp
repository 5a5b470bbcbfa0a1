// SPDX-License-Identifier: MIT
#pragma once
// The planner's table of camera groups: one row per group of the document and a TOTAL row.
// Names, camera counts and activity can be edited in place; each edit is handed to the window,
// which hands it to the planner session. Rows are inserted, removed and moved as the document
// announces it, so a view never looks at a row whose group is gone; a whole new project resets
// the table.

#include <functional>

#include <QAbstractTableModel>

#include "project/project_document.hpp"

namespace lenstally {

class GroupsModel : public QAbstractTableModel {
public:
    /// The columns of project/group_rows.hpp, which give their headers and texts.
    enum Column {
        Name,
        Cameras,
        Stream,
        Resolution,
        Fps,
        Activity,
        PerCamera,
        Bandwidth,
        Storage,
        Camera, // the camera's own name, where the group gives one
        Level   // the level its camera view meets at the target
    };
    static constexpr int kColumns = Level + 1;

    /// Called with the group, the column and the value the user entered: a text for the name
    /// and the cameras, a number for the activity.
    using EditHandler = std::function<void(std::size_t, Column, const QVariant&)>;

    GroupsModel(const ProjectDocument& document, EditHandler onEdit, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    /// The row of the totals, after the groups.
    int totalRow() const;
    /// Group i's figures changed: its row and the totals are redrawn.
    void groupChanged(std::size_t i);
    /// The document is about to make `change`, and has just made it: the rows follow.
    void beforeGroupChange(const ProjectDocument::GroupChange& change);
    void afterGroupChange(const ProjectDocument::GroupChange& change);

private:
    QString groupText(std::size_t i, int column) const;

    const ProjectDocument& m_document;
    EditHandler m_onEdit;
};

} // namespace lenstally
