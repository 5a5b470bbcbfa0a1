// SPDX-License-Identifier: MIT
#pragma once
// The planner: a whole project on screen. A table of the camera groups with the site's totals;
// the selected group edited in the calculator itself (the calculator window's own view, bound
// to that group's model) with its name and activity; the storage plan and recorders with their
// figures. Every edit is an operation of the Qt-free planner session, which holds the project, its
// undo history and the selection, and saves the very file the command line reads, so
// `lenstally --project` on it shows the same figures. The window lays out what the session says
// has changed.

#include <functional>
#include <memory>
#include <optional>

#include <QMainWindow>
#include <QMessageBox>

#include "gui/planner/recovery.hpp"
#include "project/planner_session.hpp"

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSessionManager;
class QTabWidget;
class QTableView;
class QTimer;

namespace lenstally {

class CameraPanel;
class Form1View;
class GroupsModel;
class PlanPanel;
class SitePanel;

enum class ReportFormat {
    Pdf,
    Csv,
    Json,
    Page, // the browser edition with the project built in
};

class PlannerWindow : public QMainWindow, private PlannerSession::Listener {
public:
    /// Asks whether to save unsaved changes: Save, Discard or Cancel.
    using SavePrompt = std::function<QMessageBox::StandardButton(const QString& question)>;
    /// Tells the user that something failed, in one sentence.
    using Notice = std::function<void(const QString& title, const QString& text)>;

    explicit PlannerWindow(QWidget* parent = nullptr);
    ~PlannerWindow() override;

    PlannerWindow(const PlannerWindow&) = delete;
    PlannerWindow& operator=(const PlannerWindow&) = delete;

    /// Opens a project file; on failure tells why, in the command line's words, and keeps the
    /// project on screen. Asks first when there are unsaved changes.
    bool openFile(const QString& path);
    /// Saves the project file atomically: on failure the old file is left as it was and the
    /// project stays unsaved.
    bool saveTo(const QString& path);
    /// Writes the report to `path` atomically; on failure tells why.
    bool exportReport(const QString& path, ReportFormat format);
    /// The same, as PDF or CSV when the name ends in .pdf or .csv, JSON otherwise.
    bool exportReport(const QString& path);
    /// Offers, newest first, the recovery copies left by planners that ended with unsaved
    /// changes: "Recover unsaved changes?", Recover or Discard. Returns true when this window
    /// shows a recovered project (unsaved, with its file's path). A copy that cannot be read is
    /// reported with its reason and set aside.
    bool offerRecovery();
    /// Where this window keeps its recovery copy while the project has unsaved changes.
    QString recoveryCopyPath() const { return m_recovery.copyPath(); }

    void setSavePrompt(SavePrompt prompt) { m_prompt = std::move(prompt); }
    void setNotice(Notice notice) { m_notice = std::move(notice); }

    const ProjectDocument& project() const { return m_session.document(); }
    const PlannerSession& session() const { return m_session; }
    QString filePath() const { return m_path; }
    /// The project differs from its file (or has never been saved). Typing not yet taken in
    /// counts once a command takes it in; the title shows it at once.
    bool isModified() const { return m_session.isModified(); }
    /// Undo and Redo, as their menu items do: what an input box holds is taken in first.
    void undo();
    void redo();
    /// Takes in what the input box last given the focus holds, as leaving it would: a number
    /// typed but not yet entered, a name, a cell of the table. Every command does this first.
    void commitTyping();
    QTableView* groupsTable() const { return m_table; }
    Form1View* calculator() const { return m_calculator; }
    PlanPanel* planPanel() const { return m_plan; }
    CameraPanel* cameraPanel() const { return m_cameraPanel; }
    SitePanel* sitePanel() const { return m_site; }
    /// The group the calculator panel shows, if any.
    std::optional<std::size_t> currentGroup() const { return m_session.selected(); }
    void selectGroup(std::size_t i);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The size and place the user left the window at, or else as large as suits it within the
    // screen's free area, frame included.
    void placeOnScreen();
    // PlannerSession::Listener
    void beforeGroupChange(const ProjectDocument::GroupChange& change) override;
    void afterGroupChange(const ProjectDocument::GroupChange& change) override;
    void sessionChanged(const SessionChange& change) override;

    void buildWidgets();
    void buildMenus();
    void connectEdits();
    /// Opens `project` (a new one with nullptr), whose file is `path`.
    void openProject(const Project* project, const QString& path);
    void showGroup();
    void showGroupFields();
    void showProjectName();
    void updateTitle();
    void commitNames();
    std::optional<std::string> typedProjectName() const;
    bool holdsTyping() const; // an input box holds typing that would change the document
    void keepRecovery();      // schedules the recovery copy, or removes it once all is saved
    // Each text box under `root` (a spin box's too) updates the title, and so the recovery copy,
    // at each keystroke; boxes already watched are left alone.
    void watchTyping(QWidget* root);
    void writeRecovery();
    // The project file's text of what is on screen, typing not yet entered included.
    std::string recoveryText() const;
    void sessionEnds(QSessionManager& manager);
    void updateActions();
    bool maybeSave();
    bool save();
    bool saveAs();
    void openDialog();
    /// Asks for the file to write; empty when the user cancels. `suffix` has no leading dot.
    QString askSavePath(const QString& title, const QString& filter, const QString& suffix,
                        const QString& suggestion);
    void exportDialog(const QString& title, const QString& filter, ReportFormat format);
    void print();
    void fillRecentMenu();
    void addGroup(bool duplicate);
    void removeGroup();
    void moveGroup(int by);
    void tableEdited(std::size_t group, int column, const QVariant& value);
    void fail(const QString& title, const QString& text);

    PlannerSession m_session;
    QString m_path;
    // From a session's first announcement until it has told what changed: the table's own
    // selection signals are the session's doing, not the user's.
    bool m_following = false;
    Form1 m_idle; // what the calculator panel shows while the project has no group
    SavePrompt m_prompt;
    Notice m_notice;

    GroupsModel* m_groups = nullptr;
    QTableView* m_table = nullptr;
    QLineEdit* m_projectName = nullptr;
    QLineEdit* m_groupName = nullptr;
    QDoubleSpinBox* m_activity = nullptr; // a NumberBox
    QLabel* m_recorded = nullptr;
    Form1View* m_calculator = nullptr;
    QTabWidget* m_groupTabs = nullptr; // the calculator and the camera view
    CameraPanel* m_cameraPanel = nullptr;
    PlanPanel* m_plan = nullptr;
    SitePanel* m_site = nullptr;
    QMenu* m_recentMenu = nullptr;
    RecoveryCopy m_recovery;
    QTimer* m_recoveryTimer = nullptr;
    struct Actions;
    std::unique_ptr<Actions> m_actions;
};

} // namespace lenstally
