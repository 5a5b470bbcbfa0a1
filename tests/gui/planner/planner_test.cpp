// SPDX-License-Identifier: MIT
// The planner as a user drives it, on the offscreen platform: what it shows and saves must be
// what `lenstally --project` computes for the saved file.

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "cli/cli.hpp"
#include "gui/calculator/form1_view.hpp"
#include "gui/planner/camera_panel.hpp"
#include "gui/planner/groups_model.hpp"
#include "gui/planner/plan_panel.hpp"
#include "gui/planner/planner_window.hpp"
#include "gui/planner/recovery.hpp"
#include "gui/planner/report.hpp"
#include "gui/planner/site_panel.hpp"
#include "gui/planner/view_picture.hpp"
#include "project/project_writer.hpp"

using lenstally::ControlId;
using lenstally::GroupsModel;
using lenstally::PlannerWindow;

namespace {

const QString kExample = QStringLiteral(LENSTALLY_SOURCE_DIR "/examples/distribution-centre.json");

struct CommandLine {
    int status;
    std::string out;
    std::string err;
};

CommandLine lenstallyRun(const std::vector<std::string>& args) {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const lenstally::CliOutcome o = lenstally::RunCommandLine(args, in, out, err);
    return {o.status, out.str(), err.str()};
}

QString cell(const PlannerWindow& planner, int row, int column) {
    const QAbstractItemModel* model = planner.groupsTable()->model();
    return model->data(model->index(row, column), Qt::DisplayRole).toString();
}

// The value the plan panel shows beside `label` ("Drives needed"), found as a screen reader
// finds it: by its description.
QString figure(const PlannerWindow& planner, const QString& label) {
    for (const QLabel* value : planner.planPanel()->findChildren<QLabel*>()) {
        if (value->accessibleDescription() == label) {
            return value->text();
        }
    }
    return QStringLiteral("(no %1)").arg(label);
}

// The input a screen reader knows as `name`.
template <class W> W* named(const QWidget& window, const char* name) {
    for (W* w : window.findChildren<W*>()) {
        if (w->accessibleName() == QLatin1String(name)) {
            return w;
        }
    }
    qFatal("no input named %s", name);
}

// Runs the menu or toolbar action a user knows as `text` ("Remove group"; "Undo" also reads
// "Undo Remove group"), as a click would.
void trigger(QWidget& window, const QString& text) {
    for (QAction* action : window.findChildren<QAction*>()) {
        const QString shown = action->text().remove(QLatin1Char('&'));
        if (shown == text || shown.startsWith(text + QLatin1Char(' '))) {
            QVERIFY2(action->isEnabled(), qPrintable(text));
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no action ") + text));
}

// Acts on the modal dialogs a command is about to open, in turn, as a user would: each step is
// run once, on the next dialog to come on top.
void answerDialogs(QWidget& owner, std::vector<std::function<void(QWidget*)>> steps) {
    auto* poll = new QTimer(&owner);
    QObject::connect(poll, &QTimer::timeout, poll,
                     [poll, steps = std::move(steps), done = std::size_t{0},
                      last = static_cast<QWidget*>(nullptr)]() mutable {
                         QWidget* top = QApplication::activeModalWidget();
                         if (top == nullptr || top == last) {
                             return;
                         }
                         last = top;
                         // Later, so that this timer keeps polling while the step waits in a
                         // dialog the step itself opens.
                         QTimer::singleShot(0, top, [step = steps.at(done++), top] { step(top); });
                         if (done == steps.size()) {
                             poll->stop();
                         }
                     });
    poll->start(10);
}

void retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// A planner with the example open, shown, asking nothing and remembering every notice.
struct Planner {
    PlannerWindow window;
    QStringList notices;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;

    Planner() {
        window.setNotice([this](const QString&, const QString& text) { notices << text; });
        window.setSavePrompt([this](const QString&) { return answer; });
        window.show();
        QVERIFY(window.openFile(kExample));
    }
};

} // namespace

class PlannerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // Recent files and recovery copies go to folders of the test's own.
        QVERIFY(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toUtf8());
    }

    // State: the example open. Action: edit a group in the calculator panel, its activity and
    // the drives installed, then save. Expected: the command line reads the saved file to the
    // very figures the table, the calculator panel and the plan showed.
    void savedFileGivesTheCommandLineTheFiguresShown() {
        Planner p;
        p.window.selectGroup(2);
        lenstally::Form1View& calculator = *p.window.calculator();
        QTest::mouseClick(calculator.widget(ControlId::optResolution5), Qt::LeftButton);
        retype(static_cast<QLineEdit*>(calculator.widget(ControlId::txtCameraCount)),
               QStringLiteral("48"));
        named<QDoubleSpinBox>(p.window, "Activity")->setValue(40);
        named<QSpinBox>(p.window, "Drives installed")->setValue(14);
        QCOMPARE(cell(p.window, 2, GroupsModel::Cameras), QStringLiteral("48"));
        QCOMPARE(cell(p.window, 2, GroupsModel::Resolution), QStringLiteral("2 Megapixel"));

        const QString path = m_dir.filePath(QStringLiteral("edited.lenstally.json"));
        QVERIFY(p.window.saveTo(path));
        QVERIFY(!p.window.isModified());
        const CommandLine run = lenstallyRun({"--project", path.toStdString(), "--json"});
        QCOMPARE(run.status, 0);
        const nlohmann::json report = nlohmann::json::parse(run.out);
        const auto& groups = report["groups"];
        QCOMPARE(static_cast<int>(groups.size()), 4);
        for (int row = 0; row < 4; ++row) {
            const auto& g = groups[static_cast<std::size_t>(row)];
            QCOMPARE(cell(p.window, row, GroupsModel::PerCamera),
                     QString::fromStdString(g["lbPerBandwidth"].get<std::string>()));
            QCOMPARE(cell(p.window, row, GroupsModel::Bandwidth),
                     QString::fromStdString(g["lbTotalBandwidth"].get<std::string>()));
            QCOMPARE(cell(p.window, row, GroupsModel::Storage),
                     QString::fromStdString(g["lbStorageSize"].get<std::string>()));
        }
        const int total = static_cast<int>(groups.size());
        QCOMPARE(cell(p.window, total, GroupsModel::Storage),
                 QString::fromStdString(report["total"]["storage"].get<std::string>()));
        // The calculator panel shows the group's own window captions.
        QCOMPARE(static_cast<QLabel*>(calculator.widget(ControlId::lbPerBandwidth))->text(),
                 QString::fromStdString(groups[2]["lbPerBandwidth"].get<std::string>()));
        const auto& plan = report["storagePlan"];
        QCOMPARE(plan["drivesInstalled"].get<int>(), 14);
        QCOMPARE(groups[2]["activity"].get<double>(), 40.0);
        QVERIFY(
            figure(p.window, QStringLiteral("Drives needed"))
                .startsWith(QString::number(plan["drivesNeeded"].get<int>()) + QLatin1Char(' ')));
        QVERIFY(
            figure(p.window, QStringLiteral("Days that fit"))
                .startsWith(QString::number(plan["daysThatFit"].get<int>()) + QLatin1Char(' ')));
    }

    // State: the example open. Action: type a camera count, change the plan, then undo and redo.
    // Expected: each undo puts back the figures before the edit, each redo the edited ones.
    void undoAndRedoEveryEdit() {
        Planner p;
        p.window.selectGroup(0);
        const QString storage = cell(p.window, 0, GroupsModel::Storage);
        const QString total = figure(p.window, QStringLiteral("Total storage"));
        retype(static_cast<QLineEdit*>(p.window.calculator()->widget(ControlId::txtCameraCount)),
               QStringLiteral("120"));
        const QString edited = cell(p.window, 0, GroupsModel::Storage);
        QVERIFY(edited != storage);
        QVERIFY(figure(p.window, QStringLiteral("Total storage")) != total);
        QCOMPARE(p.window.session().stepCount(), std::size_t{1}); // the typing of "120" is one step
        p.window.undo();
        QCOMPARE(cell(p.window, 0, GroupsModel::Storage), storage);
        QCOMPARE(figure(p.window, QStringLiteral("Total storage")), total);
        QCOMPARE(static_cast<QLineEdit*>(p.window.calculator()->widget(ControlId::txtCameraCount))
                     ->text(),
                 QStringLiteral("12"));
        QVERIFY(!p.window.isModified());
        p.window.redo();
        QCOMPARE(cell(p.window, 0, GroupsModel::Storage), edited);
        QVERIFY(p.window.isModified());
    }

    // State: the example open, group 3 shown in the calculator panel. Action: remove it, undo,
    // add a group and undo that. Expected: the table's row goes while its group still stands,
    // the panel already showing another form; afterwards the panel shows the selected group.
    void aRemovedGroupIsLetGoBeforeItGoes() {
        Planner p;
        p.window.selectGroup(2);
        QStringList heard;
        const QAbstractItemModel* model = p.window.groupsTable()->model();
        QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, &p.window,
                         [&p, &heard](const QModelIndex&, int first, int) {
                             const auto row = static_cast<std::size_t>(first);
                             const bool shown = &p.window.calculator()->model() ==
                                                &p.window.project().group(row).form;
                             heard << QStringLiteral("remove %1 of %2%3")
                                          .arg(first)
                                          .arg(p.window.project().groupCount())
                                          .arg(shown ? QStringLiteral(", shown") : QString());
                         });
        auto showsSelected = [&p] {
            const std::optional<std::size_t> current = p.window.currentGroup();
            return current &&
                   p.window.groupsTable()->currentIndex().row() == static_cast<int>(*current) &&
                   &p.window.calculator()->model() == &p.window.project().group(*current).form;
        };
        trigger(p.window, QStringLiteral("Remove group"));
        QVERIFY(showsSelected());
        trigger(p.window, QStringLiteral("Undo"));
        QCOMPARE(cell(p.window, 2, GroupsModel::Name), QStringLiteral("Warehouse aisles"));
        QVERIFY(showsSelected());
        trigger(p.window, QStringLiteral("Add group"));
        QCOMPARE(p.window.currentGroup(), std::optional<std::size_t>(3));
        trigger(p.window, QStringLiteral("Undo"));
        QVERIFY(showsSelected());
        QCOMPARE(heard,
                 QStringList({QStringLiteral("remove 2 of 4"), QStringLiteral("remove 3 of 5")}));
    }

    // State: a saved project. Action: type 14 into "Drives installed" and press Ctrl+S without
    // leaving the box; then type a group name and close the window. Expected: the title shows
    // "*" at the first keystroke; the file holds 14; closing asks, and Save writes the name.
    void whatIsTypedIsSavedWithoutLeavingTheBox() {
        const QString path = m_dir.filePath(QStringLiteral("typed.lenstally.json"));
        QFile::remove(path);
        QVERIFY(QFile::copy(kExample, path));
        Planner p;
        QVERIFY(p.window.openFile(path));
        p.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.window));
        auto* drives = named<QSpinBox>(p.window, "Drives installed");
        drives->setFocus();
        drives->selectAll();
        QTest::keyClick(drives, Qt::Key_1);
        QVERIFY(p.window.isWindowModified());
        QTest::keyClick(drives, Qt::Key_4);
        QTest::keyClick(drives, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!p.window.isWindowModified());
        const CommandLine saved = lenstallyRun({"--project", path.toStdString(), "--json"});
        QCOMPARE(nlohmann::json::parse(saved.out)["storagePlan"]["drivesInstalled"].get<int>(), 14);

        int asked = 0;
        p.window.setSavePrompt([&asked](const QString&) {
            ++asked;
            return QMessageBox::Save;
        });
        retype(named<QLineEdit>(p.window, "Group name"), QStringLiteral("Front gate"));
        QVERIFY(p.window.isWindowModified());
        QVERIFY(p.window.close());
        QCOMPARE(asked, 1);
        const CommandLine closed = lenstallyRun({"--project", path.toStdString(), "--json"});
        QCOMPARE(nlohmann::json::parse(closed.out)["groups"][0]["name"].get<std::string>(),
                 std::string("Front gate"));
    }

    // State: an edit undone; a camera count typed into a cell of the table, the editor left
    // open while another input takes the focus. Action: Redo. Expected: the typed count is taken in
    // first (the redo it replaces is gone, as after any new edit), and nothing else changes.
    void aCellLeftOpenIsTakenInBeforeRedo() {
        Planner p;
        p.window.selectGroup(0);
        lenstally::Form1View& calculator = *p.window.calculator();
        retype(static_cast<QLineEdit*>(calculator.widget(ControlId::txtCameraCount)),
               QStringLiteral("5"));
        trigger(p.window, QStringLiteral("Undo"));
        QTableView* table = p.window.groupsTable();
        const QModelIndex cameras = table->model()->index(1, GroupsModel::Cameras);
        table->setCurrentIndex(cameras);
        table->edit(cameras);
        auto* editor = table->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, QStringLiteral("7"));
        calculator.widget(ControlId::txtDays)->setFocus(); // by an assistive tool, say
        trigger(p.window, QStringLiteral("Redo"));
        QCOMPARE(cell(p.window, 1, GroupsModel::Cameras), QStringLiteral("7"));
        QCOMPARE(cell(p.window, 0, GroupsModel::Cameras), QStringLiteral("12"));
        QVERIFY(!p.window.session().redoText());
    }

    // State: site.lenstally.json open, and plan.csv beside it. Action: Save As and Export CSV,
    // typing "site" and "plan" without a suffix. Expected: the question about replacing a file
    // names site.lenstally.json and plan.csv; answering Yes replaces them.
    void theQuestionAboutReplacingNamesTheFileWritten() {
        QTemporaryDir dir;
        const QString site = dir.filePath(QStringLiteral("site.lenstally.json"));
        QVERIFY(QFile::copy(kExample, site));
        QFile csv(dir.filePath(QStringLiteral("plan.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("old");
        csv.close();
        Planner p;
        QVERIFY(p.window.openFile(site));
        const struct {
            QString action;
            QString typed;
            QString written;
        } cases[] = {
            {QStringLiteral("Save As..."), QStringLiteral("site"), site},
            {QStringLiteral("Export CSV..."), QStringLiteral("plan"), csv.fileName()},
        };
        for (const auto& c : cases) {
            QFile written(c.written);
            QVERIFY(written.open(QIODevice::ReadOnly));
            const QByteArray before = written.readAll();
            written.close();
            QString question;
            answerDialogs(p.window, {[&c](QWidget* dialog) {
                                         auto* name = dialog->findChild<QLineEdit*>(
                                             QStringLiteral("fileNameEdit"));
                                         QVERIFY(name != nullptr);
                                         name->selectAll();
                                         QTest::keyClicks(name, c.typed);
                                         QTest::keyClick(name, Qt::Key_Return);
                                     },
                                     [&question](QWidget* top) {
                                         auto* box = qobject_cast<QMessageBox*>(top);
                                         QVERIFY(box != nullptr);
                                         question = box->text();
                                         box->button(QMessageBox::Yes)->click();
                                     }});
            trigger(p.window, c.action);
            QVERIFY2(question.startsWith(QFileInfo(c.written).fileName() +
                                         QStringLiteral(" already exists")),
                     qPrintable(question));
            QVERIFY(written.open(QIODevice::ReadOnly));
            QVERIFY(written.readAll() != before);
        }
        QCOMPARE(p.window.filePath(), site);
    }

    // State: the example open. Action: every command of the File and Help menus, each dialog it
    // opens cancelled (Save has none); then New and Close. Expected: the project is as it was
    // until New empties it, and Close closes the window (the sanitizer build runs every command
    // here).
    void everyFileCommandCanBeCancelled() {
        Planner p;
        // Save writes to the file open: a copy, not the example itself.
        const QString site = m_dir.filePath(QStringLiteral("commands.lenstally.json"));
        QFile::remove(site);
        QVERIFY(QFile::copy(kExample, site));
        QVERIFY(p.window.openFile(site));
        const std::string before = lenstally::ProjectFileText(p.window.project().toProject());
        QTimer cancel; // closes whatever dialog a command opens, as Escape would
        QObject::connect(&cancel, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->reject();
            }
        });
        cancel.start(20);
        QStringList ran;
        for (QMenu* menu : p.window.menuBar()->findChildren<QMenu*>()) {
            const QString title = menu->title().remove(QLatin1Char('&'));
            if (title != QLatin1String("File") && title != QLatin1String("Help")) {
                continue;
            }
            for (QAction* action : menu->actions()) {
                const QString text = action->text().remove(QLatin1Char('&'));
                if (action->isSeparator() || action->menu() != nullptr || !action->isEnabled() ||
                    text == QLatin1String("New") || text == QLatin1String("Close")) {
                    continue;
                }
                action->trigger();
                ran << text;
            }
        }
        QVERIFY2(ran.size() >= 8, qPrintable(ran.join(QStringLiteral(", "))));
        QCOMPARE(lenstally::ProjectFileText(p.window.project().toProject()), before);
        trigger(p.window, QStringLiteral("New"));
        QCOMPARE(p.window.project().groupCount(), std::size_t{0});
        trigger(p.window, QStringLiteral("Close"));
        QVERIFY(!p.window.isVisible());
    }

    // State: site.lenstally.json open. Action: type a camera count; copy the recovery copy
    // aside as a planner killed then would leave it; undo; start another planner, answering
    // Recover. Expected: a copy of the edit within 2 s, gone once nothing is unsaved; the new
    // planner asks with exactly Recover and Discard, and shows the edit unsaved, saving to
    // site.lenstally.json. A damaged copy is reported with its reason and set aside.
    void unsavedChangesAreRecoveredAfterACrash() {
        const QString site = m_dir.filePath(QStringLiteral("recover.lenstally.json"));
        QFile::remove(site);
        QVERIFY(QFile::copy(kExample, site));
        Planner p;
        QVERIFY(p.window.openFile(site));
        auto* cameras =
            static_cast<QLineEdit*>(p.window.calculator()->widget(ControlId::txtCameraCount));
        retype(cameras, QStringLiteral("48"));
        QFile copy(p.window.recoveryCopyPath());
        QTRY_VERIFY_WITH_TIMEOUT(copy.exists(), 2000);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll().toStdString(),
                 lenstally::ProjectFileText(p.window.project().toProject()));
        copy.close();
        const QString left = lenstally::RecoveryCopy::folder() + QStringLiteral("/left");
        QVERIFY(copy.copy(left + QStringLiteral(".lenstally.json")));
        QVERIFY(
            QFile::copy(QString(copy.fileName())
                            .replace(QStringLiteral(".lenstally.json"), QStringLiteral(".origin")),
                        left + QStringLiteral(".origin")));
        p.window.undo();
        QVERIFY(!copy.exists());

        PlannerWindow next;
        QStringList asked;
        answerDialogs(next, {[&asked](QWidget* top) {
                          auto* box = qobject_cast<QMessageBox*>(top);
                          QVERIFY(box != nullptr);
                          asked << box->text() << box->informativeText();
                          for (QAbstractButton* button : box->buttons()) {
                              asked << button->text();
                          }
                          for (QAbstractButton* button : box->buttons()) {
                              if (button->text() == QLatin1String("Recover")) {
                                  button->click();
                              }
                          }
                      }});
        QVERIFY(next.offerRecovery());
        QCOMPARE(asked.size(), 4);
        QCOMPARE(asked[0], QStringLiteral("Recover unsaved changes?"));
        QVERIFY2(asked[1].contains(QStringLiteral("Distribution centre, Canal Street")),
                 qPrintable(asked[1]));
        QCOMPARE(asked.mid(2), QStringList({QStringLiteral("Recover"), QStringLiteral("Discard")}));
        QVERIFY(next.isModified());
        QCOMPARE(next.filePath(), site);
        QCOMPARE(cell(next, 0, GroupsModel::Cameras), QStringLiteral("48"));
        QVERIFY(!QFile::exists(left + QStringLiteral(".lenstally.json")));
        QVERIFY(QFile::exists(next.recoveryCopyPath()));
        QVERIFY(next.saveTo(next.filePath()));
        QVERIFY(!QFile::exists(next.recoveryCopyPath()));
        const CommandLine saved = lenstallyRun({"--project", site.toStdString(), "--json"});
        QCOMPARE(QString::fromStdString(
                     nlohmann::json::parse(saved.out)["groups"][0]["lbTotalBandwidth"]),
                 cell(next, 0, GroupsModel::Bandwidth));

        // Discard deletes the copy.
        QVERIFY(QFile::copy(site, left + QStringLiteral(".lenstally.json")));
        answerDialogs(next, {[](QWidget* top) {
                          for (QAbstractButton* button : top->findChildren<QAbstractButton*>()) {
                              if (button->text() == QLatin1String("Discard")) {
                                  button->click();
                              }
                          }
                      }});
        QVERIFY(!next.offerRecovery());
        QVERIFY(!QFile::exists(left + QStringLiteral(".lenstally.json")));

        QFile damaged(left + QStringLiteral(".lenstally.json"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("{\"groups\": [");
        damaged.close();
        QStringList notices;
        next.setNotice([&notices](const QString&, const QString& text) { notices << text; });
        QVERIFY(!next.offerRecovery());
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices[0].contains(QStringLiteral("invalid JSON at line 1, column 13")),
                 qPrintable(notices[0]));
        QVERIFY(QFile::exists(left + QStringLiteral(".damaged")));
    }

    // State: unsaved changes. Action: open another project, answering Cancel, then Discard.
    // Expected: Cancel keeps the edited project; Discard opens the other one.
    void unsavedChangesAreNotDiscardedUnasked() {
        Planner p;
        p.window.selectGroup(1);
        retype(static_cast<QLineEdit*>(p.window.calculator()->widget(ControlId::txtDays)),
               QStringLiteral("60"));
        const QString edited = cell(p.window, 1, GroupsModel::Storage);
        const QString other = QStringLiteral(LENSTALLY_SOURCE_DIR "/examples/shop.json");
        p.answer = QMessageBox::Cancel;
        QVERIFY(!p.window.openFile(other));
        QCOMPARE(cell(p.window, 1, GroupsModel::Storage), edited);
        QVERIFY(p.window.isModified());
        p.answer = QMessageBox::Discard;
        QVERIFY(p.window.openFile(other));
        QCOMPARE(p.window.project().groupCount(), std::size_t{2});
        QVERIFY(!p.window.isModified());
    }

    // A name typed and not yet entered counts as a change: the recovery copy holds it within a
    // second or two, without an undo step, so a planner killed then loses nothing.
    void theRecoveryCopyHoldsTypingNotYetEntered() {
        Planner p;
        auto* name = named<QLineEdit>(p.window, "Group name");
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Gate west"));
        // And a number typed into a box that takes it only once entered.
        auto* activity = named<QDoubleSpinBox>(p.window, "Activity");
        activity->selectAll();
        QTest::keyClicks(activity, QStringLiteral("40"));
        QFile copy(p.window.recoveryCopyPath());
        QTRY_VERIFY_WITH_TIMEOUT(copy.exists(), 3000);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        const lenstally::ProjectParse kept = lenstally::ParseProject(copy.readAll().toStdString());
        QVERIFY(kept.project);
        QCOMPARE(kept.project->groups[0].name, std::string("Gate west"));
        QCOMPARE(kept.project->groups[0].activity, 40.0);
        QVERIFY(!p.window.session().undoText());
        QCOMPARE(name->text(), QStringLiteral("Gate west"));
    }

    // The window, frame room included, fits the screen's free area; the size and place the user
    // leaves it at are where it opens next time.
    void theWindowFitsTheScreenAndOpensWhereItWasLeft() {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QRect left;
        {
            PlannerWindow window;
            window.show();
            QVERIFY(available.contains(window.frameGeometry()));
            // Room for a title bar and borders the window manager adds.
            QVERIFY(window.width() + 16 <= available.width());
            QVERIFY(window.height() + 48 <= available.height());
            window.setGeometry(window.geometry().adjusted(10, 20, -30, -10));
            left = window.geometry();
            QVERIFY(window.close());
        }
        PlannerWindow again;
        again.show();
        QCOMPARE(again.geometry(), left);
    }

    // State: the example open. Action: open a file that does not exist, and one that is not a
    // project. Expected: the command line's reason for each, and the example still on screen.
    void anUnreadableFileKeepsTheProjectOnScreen() {
        Planner p;
        const QString bad = m_dir.filePath(QStringLiteral("bad.json"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"groups":[{"name":"a","fps":31}]})");
        file.close();
        for (const QString& path : {m_dir.filePath(QStringLiteral("none.json")), bad}) {
            p.notices.clear();
            QVERIFY(!p.window.openFile(path));
            const CommandLine run = lenstallyRun({"--project", path.toStdString()});
            QCOMPARE(run.status, 2);
            QCOMPARE(p.notices.size(), 1);
            QCOMPARE(QStringLiteral("lenstally: ") + p.notices.front() + QLatin1Char('\n'),
                     QString::fromStdString(run.err));
            QCOMPARE(p.window.project().groupCount(), std::size_t{4});
            QCOMPARE(p.window.filePath(), kExample);
        }
    }

    // State: the example open and edited. Action: save onto a folder, and into a folder that
    // does not exist. Expected: a notice each time, the folder untouched, the project unsaved.
    void aFailedSaveKeepsTheOldFileAndTheProjectUnsaved() {
        Planner p;
        p.window.selectGroup(0);
        QTest::mouseClick(p.window.calculator()->widget(ControlId::optStream1), Qt::LeftButton);
        const QString folder = m_dir.filePath(QStringLiteral("a-folder.json"));
        QVERIFY(QDir().mkpath(folder));
        for (const QString& path : {folder, m_dir.filePath(QStringLiteral("no/such/x.json"))}) {
            p.notices.clear();
            QVERIFY(!p.window.saveTo(path));
            QCOMPARE(p.notices.size(), 1);
            QVERIFY(p.window.isModified());
            QCOMPARE(p.window.filePath(), kExample);
        }
        QVERIFY(QFileInfo(folder).isDir());
    }

    // Expected: the PDF report holds the project's name, each group, the totals and the plan.
    void thePdfHoldsTheFigures() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            if (qEnvironmentVariable("LENSTALLY_REQUIRE_TEST_TOOLS") == QLatin1String("1")) {
                QFAIL("pdftotext (poppler-utils) is not installed");
            }
            QSKIP("pdftotext (poppler-utils) is not installed");
        }
        Planner p;
        const QString pdf = m_dir.filePath(QStringLiteral("plan.pdf"));
        QVERIFY(p.window.exportReport(pdf));
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(20000));
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* expected :
             {"Distribution centre, Canal Street", "Warehouse aisles", "45.039TB", "265.851Mbps",
              "Drives needed:", "10 (9 active in 1 array, 7 data drives", "Days that fit:",
              "44 (whole days", "Recorders needed:", "3 (set by the cameras per recorder)"}) {
            QVERIFY2(out.contains(QString::fromUtf8(expected)), expected);
        }
    }

    // State: a 100 x 50 m plan with a wall along y = 40 and a zone no camera sees. Action: draw
    // the report's site plan. Expected: Qt's SVG renderer draws the command line's drawing, the
    // zone red where it lies and the wall dark where it runs, and the report's HTML shows it.
    void theReportDrawsTheSitePlanFromItsSvg() {
        const lenstally::ProjectParse parsed = lenstally::ParseProject(
            R"({"groups":[{"name":"Gate","cameras":1}],"site":{"width":100,"height":50,
                "walls":[[[0,40],[100,40]]],
                "zones":[{"name":"Door","level":"Detect","points":[[10,10],[20,10],[20,20],[10,20]]}]}})");
        QVERIFY(parsed.project);
        const lenstally::ProjectResult result = lenstally::ComputeProject(*parsed.project);
        const QImage image = lenstally::SitePictureImage(*result.site, 1);
        // The drawing is 992 pixels wide, the plan 9.6 pixels a metre from 16 pixels in; the
        // report shows it 620 pixels wide.
        const auto at = [&image](double x, double y) {
            const double scale = image.width() / 992.0;
            return image.pixelColor(qRound((16 + 9.6 * x) * scale), qRound((16 + 9.6 * y) * scale));
        };
        const QColor zone = at(15, 15);
        QVERIFY2(zone.red() > zone.green() + 40 && zone.red() > zone.blue() + 40,
                 qPrintable(zone.name()));
        const QColor wall = at(50, 40);
        QVERIFY2(wall.red() < 100 && wall.green() < 100 && wall.blue() < 100,
                 qPrintable(wall.name()));
        QVERIFY(lenstally::ReportHtml(result, QDate(2026, 12, 9))
                    .contains(lenstally::SitePictureUrl().toString()));
    }

    // State: the example open, its name holding "</script>". Action: export the interactive
    // page. Expected: the browser edition's page unchanged but for one element before its module
    // script, whose text, read as JSON reads it, is the project file Save writes.
    void theInteractivePageIsTheBrowserEditionWithTheProject() {
        QFile page(QCoreApplication::applicationDirPath() +
                   QStringLiteral("/../web/lenstally.html"));
        if (!page.open(QIODevice::ReadOnly)) {
            QSKIP("the browser edition was not built");
        }
        const QByteArray original = page.readAll();
        Planner p;
        retype(named<QLineEdit>(p.window, "Project name"), QStringLiteral("Site </script> B"));
        p.window.selectGroup(1); // the page opens on it
        const QString path = m_dir.filePath(QStringLiteral("plan.html"));
        QVERIFY(p.window.exportReport(path));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        const QByteArray open =
            R"(<script type="application/json" id="lenstally-project" data-group="1">)";
        const qsizetype start = text.indexOf(open);
        const qsizetype end = text.indexOf("</script>\n", start);
        QVERIFY(start > 0 && end > start);
        QCOMPARE(text.left(start) + text.mid(end + 10), original);
        QByteArray project = text.mid(start + open.size(), end - start - open.size());
        QVERIFY(!project.contains('<'));
        project.replace("\\u003c", "<");
        QCOMPARE(project.toStdString(), lenstally::ProjectFileText(p.window.project().toProject()));
        QVERIFY(project.contains("Site </script> B"));
    }

    // State: the example open, the offices without a camera view. Action: in the Camera view
    // tab, name the camera, switch the view on, give each input of both lenses and the pixel
    // width, then undo the last two steps. Expected: the panel, the table and the picture show
    // what the command line computes for the saved file, which has the focal lens and the
    // resolution's width; undoing every step leaves the group as it was.
    void cameraViewEditsUndoAndSaveWhatTheCommandLineReads() {
        Planner p;
        p.window.selectGroup(3);
        lenstally::CameraPanel& panel = *p.window.cameraPanel();
        auto* camera = named<QLineEdit>(panel, "Camera");
        retype(camera, QStringLiteral("Dome, 4 MP"));
        QTest::keyClick(camera, Qt::Key_Return);
        named<QGroupBox>(panel, "Camera view of a target")->setChecked(true);
        named<QDoubleSpinBox>(panel, "Distance to the target")->setValue(8);
        named<QDoubleSpinBox>(panel, "Horizontal angle of view")->setValue(60);
        for (QRadioButton* lens : panel.findChildren<QRadioButton*>()) {
            if (lens->text() == QLatin1String("Focal length")) {
                QTest::mouseClick(lens, Qt::LeftButton);
            }
        }
        named<QDoubleSpinBox>(panel, "Focal length")->setValue(3.6);
        named<QDoubleSpinBox>(panel, "Sensor width")->setValue(5.6);
        named<QCheckBox>(panel, "Pixel width of the resolution")->setChecked(false);
        named<QSpinBox>(panel, "Pixel width")->setValue(2560);
        QCOMPARE(p.window.session().stepCount(), std::size_t{9});
        p.window.undo();
        p.window.undo();
        QCOMPARE(named<QSpinBox>(panel, "Pixel width")->value(), 704); // 4CIF's width again
        QVERIFY(named<QCheckBox>(panel, "Pixel width of the resolution")->isChecked());

        const QString path = m_dir.filePath(QStringLiteral("view.lenstally.json"));
        QVERIFY(p.window.saveTo(path));
        const CommandLine json = lenstallyRun({"--project", path.toStdString(), "--json"});
        QCOMPARE(json.status, 0);
        const nlohmann::json report = nlohmann::json::parse(json.out);
        const auto& offices = report["groups"][3];
        QCOMPARE(offices["camera"].get<std::string>(), std::string("Dome, 4 MP"));
        QVERIFY(!offices.contains("pixels"));
        const auto& view = offices["view"];
        QCOMPARE(view["pixels"].get<double>(), 704.0);
        QVERIFY(view["levels"][0].contains("focal"));
        QCOMPARE(panel.picture()->view()->ppm, view["ppm"].get<double>());
        QCOMPARE(cell(p.window, 3, GroupsModel::Level),
                 QString::fromStdString(view["level"].get<std::string>()));
        QCOMPARE(cell(p.window, 3, GroupsModel::Camera), QStringLiteral("Dome, 4 MP"));
        // The panel's figures are the command line's lines, word for word.
        const CommandLine table = lenstallyRun({"--project", path.toStdString()});
        int figures = 0;
        for (const QLabel* value : panel.findChildren<QLabel*>()) {
            if (!value->accessibleDescription().isEmpty()) {
                QVERIFY2(QString::fromStdString(table.out).contains(value->text()),
                         qPrintable(value->text()));
                ++figures;
            }
        }
        QCOMPARE(figures, 10); // the lens, scene width, density, level met and six levels

        while (p.window.session().undoText()) {
            p.window.undo();
        }
        QCOMPARE(p.window.project().group(3).camera, lenstally::CameraDetails{});
        QVERIFY(!panel.picture()->view());
    }

    // State: the example open, the gates selected. Action: on the Site plan tab, start a plan,
    // place a camera, draw a zone to its right and name it, type the camera's heading, undo and
    // redo it, save and export the drawing. Expected: the typing was one undo step; the command
    // line reads from the saved file the heading, position and coverage the list shows, and
    // draws the SVG exported.
    void aPlacedCameraTurnedInTheListSavesWhatTheListShows() {
        Planner p;
        p.window.selectGroup(0);
        lenstally::SitePanel& site = *p.window.sitePanel();
        QTabWidget* tabs = nullptr;
        QWidget* page = &site;
        while (tabs == nullptr && page->parentWidget() != nullptr) {
            tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
            page = tabs == nullptr ? page->parentWidget() : page;
        }
        QVERIFY(tabs != nullptr);
        QCOMPARE(tabs->tabText(tabs->indexOf(page)), QStringLiteral("Site plan"));
        tabs->setCurrentWidget(page);
        const auto click = [&site](const QString& text) {
            for (QAbstractButton* button : site.findChildren<QAbstractButton*>()) {
                if (button->text() == text) {
                    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
                    return;
                }
            }
            QFAIL(qPrintable(QStringLiteral("no button ") + text));
        };
        click(QStringLiteral("Start site plan"));
        QGraphicsView* view = site.view();
        const auto at = [view](double x, double y) {
            return view->mapFromScene(QPointF(x, y));
        };
        click(QStringLiteral("Place camera"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(30, 30));
        click(QStringLiteral("Draw zone"));
        for (const QPoint corner : {at(36, 26), at(44, 26), at(44, 34), at(36, 34)}) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, corner);
        }
        QTest::keyClick(view, Qt::Key_Return);
        retype(named<QLineEdit>(site, "Zone name"), QStringLiteral("Dock door"));

        QDoubleSpinBox* heading = nullptr;
        for (auto* box : site.list()->findChildren<QDoubleSpinBox*>()) {
            heading =
                box->accessibleName().startsWith(QLatin1String("Heading of ")) ? box : heading;
        }
        QVERIFY(heading != nullptr);
        const std::size_t steps = p.window.session().stepCount();
        heading->setFocus();
        heading->selectAll();
        QTest::keyClicks(heading, QStringLiteral("92.5"));
        QTest::keyClick(heading, Qt::Key_Return);
        QCOMPARE(p.window.session().stepCount(), steps + 1);
        p.window.undo();
        QCOMPARE(heading->value(), 0.0);
        p.window.redo();

        const QString path = m_dir.filePath(QStringLiteral("site.lenstally.json"));
        QVERIFY(p.window.saveTo(path));
        const CommandLine json = lenstallyRun({"--project", path.toStdString(), "--json"});
        QCOMPARE(json.status, 0);
        const nlohmann::json report = nlohmann::json::parse(json.out);
        const auto& placed = report["site"]["placements"][0];
        QCOMPARE(placed["heading"].get<double>(), heading->value());
        QCOMPARE(heading->value(), 92.5);
        QCOMPARE(placed["label"].get<std::string>(),
                 heading->accessibleName().mid(11).toStdString());
        QTreeWidgetItem* cameraRow = site.list()->topLevelItem(0)->child(0);
        for (const auto& [column, key] : {std::pair{1, "x"}, std::pair{2, "y"}}) {
            auto* box = qobject_cast<QDoubleSpinBox*>(site.list()->itemWidget(cameraRow, column));
            // The box keeps ten decimals.
            QVERIFY(std::abs(box->value() - placed[key].get<double>()) < 1e-9);
        }
        const auto& zone = report["site"]["zones"][0];
        QCOMPARE(zone["name"].get<std::string>(), std::string("Dock door"));
        const double percent = zone["percent"].get<double>();
        QVERIFY2(percent > 0, qPrintable(QString::number(percent)));
        const QString shown = site.list()->topLevelItem(1)->child(0)->text(3);
        QVERIFY2(shown.startsWith(QString::number(percent, 'f', 1) + QStringLiteral(" %")),
                 qPrintable(shown));
        // The drawing exported is the command line's, byte for byte.
        const QString svgPath = m_dir.filePath(QStringLiteral("site.svg"));
        QVERIFY(site.exportSvg(svgPath));
        QFile svg(svgPath);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const CommandLine drawn = lenstallyRun({"--project", path.toStdString(), "--svg"});
        QCOMPARE(drawn.status, 0);
        QCOMPARE(svg.readAll().toStdString(), drawn.out);
        // A heading typed and not yet entered is in the recovery copy.
        heading->setFocus();
        heading->selectAll();
        QTest::keyClicks(heading, QStringLiteral("45"));
        QFile copy(p.window.recoveryCopyPath());
        QTRY_VERIFY_WITH_TIMEOUT(copy.exists(), 3000);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        const lenstally::ProjectParse kept = lenstally::ParseProject(copy.readAll().toStdString());
        QVERIFY(kept.project);
        QCOMPARE(kept.project->groups[0].placements.at(0).heading, 45.0);
        QTest::keyClick(heading, Qt::Key_Return);
    }

    // State: a plan with a zone. Action: type the zone's points in the points box; drag one of
    // its points, then Delete it; click two points 30 m apart with Set scale and type 60.
    // Expected: the points typed are kept exactly; the drag and the Delete are a step each; the
    // plan and everything on it doubles.
    void pointsAreTypedDraggedAndDeletedAndTheScaleSetByTwoClicks() {
        Planner p;
        lenstally::SitePanel& site = *p.window.sitePanel();
        const QString path = m_dir.filePath(QStringLiteral("points.lenstally.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"groups":[{"name":"Gate","cameras":1}],"site":{"width":80,"height":50,
            "zones":[{"name":"Dock","level":"Detect","points":[[10,10],[40,10],[40,30],[10,30]]}]}})");
        file.close();
        QVERIFY(p.window.openFile(path));
        site.view()->resize(800, 500);
        site.fit();
        site.list()->setCurrentItem(site.list()->topLevelItem(1)->child(0));
        QLineEdit* points = site.pointsBox();
        QCOMPARE(points->accessibleName(), QStringLiteral("Points of Dock"));
        QCOMPARE(points->text(), QStringLiteral("10 10; 40 10; 40 30; 10 30"));
        points->setFocus();
        points->selectAll();
        QTest::keyClicks(points, QStringLiteral("10 10; 40.25 10; 40 30.01; 10 30"));
        QTest::keyClick(points, Qt::Key_Return);
        const auto zone = [&p] {
            return p.window.project().site()->zones.at(0).points;
        };
        QCOMPARE(zone().at(2), (lenstally::SitePoint{40, 30.01}));

        QGraphicsView* view = site.view();
        const std::size_t steps = p.window.session().stepCount();
        const auto mouse = [view](QEvent::Type type, QPointF plan) {
            const QPointF local = view->mapFromScene(plan);
            QMouseEvent event(type, local, view->viewport()->mapToGlobal(local), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              {});
            QCoreApplication::sendEvent(view->viewport(), &event);
        };
        mouse(QEvent::MouseButtonPress, {10, 30});
        mouse(QEvent::MouseMove, {12, 36});
        mouse(QEvent::MouseMove, {14, 40});
        mouse(QEvent::MouseButtonRelease, {14, 40});
        QCOMPARE(site.pickedPoint(), std::optional<std::size_t>(3));
        const double pixel = 1 / view->transform().m11(); // in metres
        QVERIFY(std::abs(zone().at(3).x - 14) <= pixel && std::abs(zone().at(3).y - 40) <= pixel);
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(zone().size(), std::size_t(3));
        QCOMPARE(p.window.session().stepCount(), steps + 2);

        for (QAbstractButton* button : site.findChildren<QAbstractButton*>()) {
            if (button->text() == QLatin1String("Set scale")) {
                QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            }
        }
        mouse(QEvent::MouseButtonPress, {10, 45});
        mouse(QEvent::MouseButtonRelease, {10, 45});
        mouse(QEvent::MouseButtonPress, {40, 45});
        mouse(QEvent::MouseButtonRelease, {40, 45});
        QDoubleSpinBox* distance = site.scaleBox();
        QCOMPARE(site.window()->focusWidget(), distance);
        // The box offers the distance the clicks span as the plan stands: 30 m to a pixel or two.
        const double measured = distance->value();
        QVERIFY2(std::abs(measured - 30) <= 2 * pixel, qPrintable(QString::number(measured)));
        QTest::keyClicks(distance, QStringLiteral("60"));
        QTest::keyClick(distance, Qt::Key_Return);
        const double factor = 60 / measured;
        QVERIFY(std::abs(p.window.project().site()->width - 80 * factor) < 1e-6);
        QVERIFY(std::abs(zone().at(1).x - 40.25 * factor) < 1e-6);
        QCOMPARE(site.tool(), lenstally::SiteTool::Select);

        // With a point of the three-point zone picked, Delete in the list removes the whole zone.
        const lenstally::SitePoint corner = zone().at(0);
        mouse(QEvent::MouseButtonPress, {corner.x, corner.y});
        mouse(QEvent::MouseButtonRelease, {corner.x, corner.y});
        QCOMPARE(site.pickedPoint(), std::optional<std::size_t>(0));
        QTest::keyClick(site.list(), Qt::Key_Delete);
        QVERIFY(p.window.project().site()->zones.empty());
    }

    // State: a 100 x 60 m plan. Action: load a PNG 300 x 100 pixels, then an SVG whose view box
    // is 50 x 100 and which holds a script. Expected: each is kept as a data URL of its type and
    // the plan's height follows its shape; the SVG is drawn as a picture, never as markup.
    void aLoadedDrawingSetsTheImageAndTheShape() {
        Planner p;
        lenstally::SitePanel& site = *p.window.sitePanel();
        p.window.selectGroup(0);
        for (QAbstractButton* button : site.findChildren<QAbstractButton*>()) {
            if (button->text() == QLatin1String("Start site plan")) {
                button->click();
            }
        }
        const QString png = m_dir.filePath(QStringLiteral("plan.png"));
        QImage picture(300, 100, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        QVERIFY(picture.save(png));
        QVERIFY(site.loadDrawing(png));
        QCOMPARE(p.window.project().site()->height, 100.0 / 3);
        QVERIFY(p.window.project().site()->image->starts_with("data:image/png;base64,"));
        const QString svg = m_dir.filePath(QStringLiteral("plan.svg"));
        QFile file(svg);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 50 100">)"
                   R"(<script>alert(1)</script><rect width="50" height="100" fill="red"/></svg>)");
        file.close();
        QVERIFY(site.loadDrawing(svg));
        QCOMPARE(p.window.project().site()->height, 200.0);
        QVERIFY(p.window.project().site()->image->starts_with("data:image/svg+xml;base64,"));
        int pictures = 0;
        for (const QGraphicsItem* item : site.scene()->items()) {
            pictures += item->type() == QGraphicsPixmapItem::Type ? 1 : 0;
        }
        QCOMPARE(pictures, 1);
        // The PNG again, dropped on the drawing from a file manager.
        QMimeData dragged;
        dragged.setUrls({QUrl::fromLocalFile(png)});
        QWidget* target = site.view()->viewport();
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        QVERIFY(p.window.project().site()->image->starts_with("data:image/png;base64,"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(PlannerTest)
#include "planner_test.moc"
