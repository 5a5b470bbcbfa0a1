// SPDX-License-Identifier: MIT
#include "gui/planner/planner_commands.hpp"

#include "gui/calculator/form1_view.hpp"

namespace lenstally {
namespace {

// Ids of the commands that merge with the one before them.
enum MergeId { kTyping = 1, kActivity, kPlan };

class FormEditCommand final : public QUndoCommand {
public:
    FormEditCommand(PlannerEditor& editor, std::size_t group, ControlId control,
                    const QString& what, Form1 before, Form1 after)
        : QUndoCommand(what), m_editor(editor), m_group(group), m_control(control),
          m_before(std::move(before)), m_after(std::move(after)) {
        // Kept states never call a view.
        m_before.setChangeListener({});
        m_after.setChangeListener({});
    }

    int id() const override {
        return Describe(m_control).kind == ControlKind::TextBox ? kTyping : -1;
    }

    bool mergeWith(const QUndoCommand* other) override {
        const auto* edit = static_cast<const FormEditCommand*>(other);
        if (edit->m_group != m_group || edit->m_control != m_control) {
            return false;
        }
        m_after = edit->m_after;
        return true;
    }

    void redo() override {
        if (m_applied) {
            // The form already holds the edit: the user has just made it.
            m_applied = false;
            m_editor.document().refresh(m_group);
            m_editor.groupChanged(m_group);
            return;
        }
        m_editor.document().replaceForm(m_group, m_after);
        m_editor.formReplaced(m_group);
    }

    void undo() override {
        m_editor.document().replaceForm(m_group, m_before);
        m_editor.formReplaced(m_group);
    }

private:
    PlannerEditor& m_editor;
    std::size_t m_group;
    ControlId m_control;
    Form1 m_before;
    Form1 m_after;
    bool m_applied = true; // the user has made the edit; the first redo only records it
};

class RenameGroupCommand final : public QUndoCommand {
public:
    RenameGroupCommand(PlannerEditor& editor, std::size_t group, std::string name)
        : QUndoCommand(QStringLiteral("Rename group")), m_editor(editor), m_group(group),
          m_name(std::move(name)), m_old(editor.document().group(group).name) {}

    void redo() override { set(m_name); }
    void undo() override { set(m_old); }

private:
    void set(const std::string& name) {
        m_editor.document().setGroupName(m_group, name);
        m_editor.groupChanged(m_group);
    }

    PlannerEditor& m_editor;
    std::size_t m_group;
    std::string m_name;
    std::string m_old;
};

class SetActivityCommand final : public QUndoCommand {
public:
    SetActivityCommand(PlannerEditor& editor, std::size_t group, double activity)
        : QUndoCommand(QStringLiteral("Change activity")), m_editor(editor), m_group(group),
          m_activity(activity), m_old(editor.document().group(group).activity) {}

    int id() const override { return kActivity; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* edit = static_cast<const SetActivityCommand*>(other);
        if (edit->m_group != m_group) {
            return false;
        }
        m_activity = edit->m_activity;
        return true;
    }
    void redo() override { set(m_activity); }
    void undo() override { set(m_old); }

private:
    void set(double activity) {
        m_editor.document().setActivity(m_group, activity);
        m_editor.groupChanged(m_group);
    }

    PlannerEditor& m_editor;
    std::size_t m_group;
    double m_activity;
    double m_old;
};

class InsertGroupCommand final : public QUndoCommand {
public:
    InsertGroupCommand(PlannerEditor& editor, std::size_t at, ProjectDocument::Group group,
                       const QString& what)
        : QUndoCommand(what), m_editor(editor), m_at(at), m_group(std::move(group)) {
        m_group.form.setChangeListener({});
    }

    void redo() override {
        m_editor.document().insertGroup(m_at, m_group);
        m_editor.groupsChanged(m_at);
    }
    void undo() override {
        m_editor.document().takeGroup(m_at);
        const std::size_t count = m_editor.document().groupCount();
        m_editor.groupsChanged(count == 0 ? std::nullopt
                                          : std::optional(std::min(m_at, count - 1)));
    }

private:
    PlannerEditor& m_editor;
    std::size_t m_at;
    ProjectDocument::Group m_group;
};

class RemoveGroupCommand final : public QUndoCommand {
public:
    RemoveGroupCommand(PlannerEditor& editor, std::size_t at)
        : QUndoCommand(QStringLiteral("Remove group")), m_editor(editor), m_at(at) {}

    void redo() override {
        m_group = m_editor.document().takeGroup(m_at);
        m_group->form.setChangeListener({});
        const std::size_t count = m_editor.document().groupCount();
        m_editor.groupsChanged(count == 0 ? std::nullopt
                                          : std::optional(std::min(m_at, count - 1)));
    }
    void undo() override {
        m_editor.document().insertGroup(m_at, *m_group);
        m_editor.groupsChanged(m_at);
    }

private:
    PlannerEditor& m_editor;
    std::size_t m_at;
    std::optional<ProjectDocument::Group> m_group;
};

class MoveGroupCommand final : public QUndoCommand {
public:
    MoveGroupCommand(PlannerEditor& editor, std::size_t from, std::size_t to)
        : QUndoCommand(to < from ? QStringLiteral("Move group up")
                                 : QStringLiteral("Move group down")),
          m_editor(editor), m_from(from), m_to(to) {}

    void redo() override { move(m_from, m_to); }
    void undo() override { move(m_to, m_from); }

private:
    void move(std::size_t from, std::size_t to) {
        m_editor.document().moveGroup(from, to);
        m_editor.groupsChanged(to);
    }

    PlannerEditor& m_editor;
    std::size_t m_from;
    std::size_t m_to;
};

class EditPlanCommand final : public QUndoCommand {
public:
    EditPlanCommand(PlannerEditor& editor, PlanField field, const PlanSettings& settings)
        : QUndoCommand(QStringLiteral("Edit storage plan")), m_editor(editor), m_field(field),
          m_settings(settings), m_old{editor.document().storage(), editor.document().recorder()} {}

    int id() const override { return kPlan; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* edit = static_cast<const EditPlanCommand*>(other);
        if (edit->m_field != m_field) {
            return false;
        }
        m_settings = edit->m_settings;
        return true;
    }
    void redo() override { set(m_settings); }
    void undo() override { set(m_old); }

private:
    void set(const PlanSettings& settings) {
        m_editor.document().setStorage(settings.storage);
        m_editor.document().setRecorder(settings.recorder);
        m_editor.projectChanged();
    }

    PlannerEditor& m_editor;
    PlanField m_field;
    PlanSettings m_settings;
    PlanSettings m_old;
};

class RenameProjectCommand final : public QUndoCommand {
public:
    RenameProjectCommand(PlannerEditor& editor, std::optional<std::string> name)
        : QUndoCommand(QStringLiteral("Rename project")), m_editor(editor), m_name(std::move(name)),
          m_old(editor.document().name()) {}

    void redo() override { set(m_name); }
    void undo() override { set(m_old); }

private:
    void set(const std::optional<std::string>& name) {
        m_editor.document().setName(name);
        m_editor.projectChanged();
    }

    PlannerEditor& m_editor;
    std::optional<std::string> m_name;
    std::optional<std::string> m_old;
};

} // namespace

QUndoCommand* FormEdit(PlannerEditor& editor, std::size_t group, ControlId control,
                       const QString& what, Form1 before, Form1 after) {
    return new FormEditCommand(editor, group, control, what, std::move(before), std::move(after));
}

QUndoCommand* RenameGroup(PlannerEditor& editor, std::size_t group, std::string name) {
    return new RenameGroupCommand(editor, group, std::move(name));
}

QUndoCommand* SetActivity(PlannerEditor& editor, std::size_t group, double activity) {
    return new SetActivityCommand(editor, group, activity);
}

QUndoCommand* InsertGroup(PlannerEditor& editor, std::size_t at, ProjectDocument::Group group,
                          const QString& what) {
    return new InsertGroupCommand(editor, at, std::move(group), what);
}

QUndoCommand* RemoveGroup(PlannerEditor& editor, std::size_t at) {
    return new RemoveGroupCommand(editor, at);
}

QUndoCommand* MoveGroup(PlannerEditor& editor, std::size_t from, std::size_t to) {
    return new MoveGroupCommand(editor, from, to);
}

QUndoCommand* EditPlan(PlannerEditor& editor, PlanField field, const PlanSettings& settings) {
    return new EditPlanCommand(editor, field, settings);
}

QUndoCommand* RenameProject(PlannerEditor& editor, std::optional<std::string> name) {
    return new RenameProjectCommand(editor, std::move(name));
}

} // namespace lenstally
