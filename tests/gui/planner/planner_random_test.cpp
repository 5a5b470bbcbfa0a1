// SPDX-License-Identifier: MIT
// The planner driven at random on the offscreen platform, as a user drives it: groups selected,
// added, duplicated, removed and moved; names, camera counts and activity typed in the table;
// the calculator panel, the camera view, the plan and the names edited (sometimes left half
// typed); the site plan started, cameras placed, dragged and turned, walls and zones drawn, named
// and removed; undo, redo, save and reopen. After every step the document's figures must be those
// the command line computes for the file the planner would save, the table must show the document,
// and the calculator panel the selected group's own form. The sanitizer build runs it too.
//
//   LENSTALLY_SEED=N               repeats the run of seed N (printed at the start)
//   LENSTALLY_STEPS=N              steps per project (200)
//   LENSTALLY_PROJECTS=A.json:...  drives these project files instead of the examples
//   LENSTALLY_VERBOSE=1            prints every step

#include <array>
#include <chrono>
#include <cstdio>
#include <random>
#include <sstream>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGraphicsView>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "cli/cli.hpp"
#include "gui/calculator/form1_view.hpp"
#include "gui/planner/camera_panel.hpp"
#include "gui/planner/groups_model.hpp"
#include "gui/planner/plan_panel.hpp"
#include "gui/planner/planner_window.hpp"
#include "gui/planner/site_panel.hpp"
#include "project/project_reports.hpp"
#include "project/project_writer.hpp"
#include "project/site_points_text.hpp"

using lenstally::ControlId;
using lenstally::GroupsModel;
using lenstally::PlannerWindow;

namespace {

const char* const kNames[] = {
    "Dock", "", "=HYPERLINK(\"http://x\",\"y\")", "Gate \"B\", north", "Zoë's café", "-3"};
const char* const kTexts[] = {"0", "1",   "4",  "16",   "48",    "120", "1e3",
                              "",  "abc", "-3", "=1+2", "1e308", "0.5", "7,5"};
const char* const kPercents[] = {"0", "20", "35", "50.5", "100", "150", "x"};
const char* const kPlanNumbers[] = {"0", "1", "3", "4", "8", "12", "16", "24", "95", "0.5", "1e3"};

template <std::size_t N> const char* pick(std::mt19937& rng, const char* const (&pool)[N]) {
    return pool[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

// The report the command line prints for `text`, a project file.
std::string commandLineReport(const std::string& text) {
    std::istringstream in(text);
    std::ostringstream out;
    std::ostringstream err;
    const lenstally::CliOutcome o =
        lenstally::RunCommandLine({"--project", "-", "--json"}, in, out, err);
    return o.status == 2 ? "status 2: " + err.str() : out.str();
}

class Driver {
public:
    // `refusable` is set while an action runs that the planner may refuse with a notice (a point
    // deleted from a triangle, a text that is no list of points, a scale too large).
    Driver(PlannerWindow& window, unsigned seed, QString savePath, bool& refusable)
        : m_window(window), m_rng(seed), m_savePath(std::move(savePath)), m_refusable(refusable) {}

    // One random user action; returns what it did.
    QString step() {
        m_refusable = false;
        switch (below(18)) {
        case 0:
        case 1:
            return selectGroup();
        case 2:
            return trigger(QStringLiteral("Add group"));
        case 3:
            return trigger(QStringLiteral("Duplicate group"));
        case 4:
            return trigger(count() > 8 || chance(50) ? QStringLiteral("Remove group")
                                                     : QStringLiteral("Move up"));
        case 5:
            return trigger(QStringLiteral("Move down"));
        case 6:
            return editCell();
        case 7:
        case 8:
            return calculatorAction();
        case 9:
            return planEdit();
        case 10:
            return typeInto(chance(30) ? "Project name" : "Group name", kNames);
        case 11:
            return trigger(QStringLiteral("Undo"));
        case 12:
            return trigger(QStringLiteral("Redo"));
        case 13:
            return cameraEdit();
        case 14:
        case 15:
        case 16:
            return siteAction();
        default:
            return chance(30) ? saveAndReopen() : typeInto("Activity", kPercents);
        }
    }

    // Empty when the window and the document agree with the command line; else what differs.
    QString check() const {
        const lenstally::ProjectDocument& document = m_window.project();
        std::string shown;
        lenstally::WriteProjectJson(document.result(), shown);
        const std::string saved =
            commandLineReport(lenstally::ProjectFileText(document.toProject()));
        if (shown != saved) {
            return QStringLiteral("the document shows\n%1\nthe command line computes\n%2")
                .arg(QString::fromStdString(shown), QString::fromStdString(saved));
        }
        const int rows = m_window.groupsTable()->model()->rowCount();
        if (rows != count() + 1) {
            return QStringLiteral("the table has %1 rows for %2 groups").arg(rows).arg(count());
        }
        const std::optional<lenstally::SiteResult>& site = document.siteResult();
        const lenstally::SitePanel& plan = *m_window.sitePanel();
        const int listed = plan.list()->topLevelItem(0)->childCount();
        const int placed = site ? static_cast<int>(site->placements.size()) : 0;
        if (listed != placed) {
            return QStringLiteral("the site plan lists %1 cameras of %2").arg(listed).arg(placed);
        }
        const lenstally::Form1* panel = &m_window.calculator()->model();
        const std::optional<std::size_t> current = m_window.currentGroup();
        for (std::size_t i = 0; i < document.groupCount(); ++i) {
            if ((panel == &document.group(i).form) != (current == i)) {
                return QStringLiteral("the calculator panel shows the form of group %1, the "
                                      "selected group is %2")
                    .arg(i + 1)
                    .arg(current ? static_cast<int>(*current) + 1 : 0);
            }
        }
        return {};
    }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(int percent) { return below(100) < percent; }
    int count() const { return static_cast<int>(m_window.project().groupCount()); }
    // Whether some of the group's cameras stand on the site plan. The session does not yet refuse
    // a camera count below the cameras placed (a file the reader refuses), so such a group's
    // count is left alone.
    bool placed(std::size_t group) const {
        return !m_window.project().group(group).placements.empty();
    }

    QString selectGroup() {
        if (count() == 0) {
            return QStringLiteral("select: no group");
        }
        const int row = below(count());
        QTableView* table = m_window.groupsTable();
        if (chance(50)) {
            table->selectRow(row);
        } else {
            const QModelIndex index = table->model()->index(row, GroupsModel::Name);
            table->scrollTo(index);
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualRect(index).center());
        }
        return QStringLiteral("select group %1").arg(row + 1);
    }

    QString trigger(const QString& name) {
        for (QAction* action : m_window.findChildren<QAction*>()) {
            const QString text = action->text().remove(QLatin1Char('&'));
            if (text == name || text.startsWith(name + QLatin1Char(' '))) {
                if (!action->isEnabled()) {
                    return name + QStringLiteral(" (disabled)");
                }
                action->trigger();
                return name;
            }
        }
        return QStringLiteral("no action ") + name;
    }

    // Typing into a box: often finished with Enter, sometimes left for the next command to take.
    template <std::size_t N> QString type(QWidget* box, const char* const (&pool)[N]) {
        const QString text = QString::fromUtf8(pick(m_rng, pool));
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(box)) {
            spin->selectAll();
        } else if (auto* edit = qobject_cast<QLineEdit*>(box)) {
            edit->selectAll();
        }
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(box, c.toLatin1());
            } else { // a letter no key of the test keyboard has, as an input method types it
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
        if (chance(60)) {
            QTest::keyClick(box, Qt::Key_Return);
        }
        return QStringLiteral("type \"%1\" in %2").arg(text, box->accessibleName());
    }

    // A click, a pick, a switch or typing on one of `inputs`, as a user or an assistive tool does.
    template <std::size_t N>
    QString act(const std::vector<QWidget*>& inputs, const char* const (&pool)[N]) {
        if (inputs.empty()) {
            return QStringLiteral("no input");
        }
        QWidget* w = inputs[static_cast<std::size_t>(below(static_cast<int>(inputs.size())))];
        if (auto* option = qobject_cast<QRadioButton*>(w)) {
            if (chance(50)) {
                QTest::mouseClick(option, Qt::LeftButton, {}, option->rect().center());
            } else {
                option->setChecked(true); // as an assistive tool does
            }
            return QStringLiteral("click ") + option->accessibleName();
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->setCurrentIndex(below(combo->count()));
            return QStringLiteral("pick %1 in %2")
                .arg(combo->currentText(), combo->accessibleName());
        }
        if (auto* box = qobject_cast<QGroupBox*>(w)) {
            box->setChecked(!box->isChecked());
            return QStringLiteral("switch %1 %2")
                .arg(box->title(), box->isChecked() ? "on" : "off");
        }
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            return QStringLiteral("click ") + button->text();
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w); edit != nullptr && chance(20)) {
            edit->setText(QString::fromUtf8(pick(m_rng, pool))); // as an assistive tool does
            return QStringLiteral("set the text of ") + edit->accessibleName();
        }
        return type(w, pool);
    }

    template <std::size_t N> QString typeInto(const char* name, const char* const (&pool)[N]) {
        for (QWidget* w : m_window.findChildren<QWidget*>()) {
            if (w->accessibleName() == QLatin1String(name)) {
                return w->isEnabled() ? type(w, pool) : QString::fromLatin1(name) + " (disabled)";
            }
        }
        return QStringLiteral("no input ") + QLatin1String(name);
    }

    QString editCell() {
        if (count() == 0) {
            return QStringLiteral("edit a cell: no group");
        }
        const int row = below(count());
        int column = std::array{GroupsModel::Name, GroupsModel::Cameras,
                                GroupsModel::Activity}[static_cast<std::size_t>(below(3))];
        column = column == GroupsModel::Cameras && placed(static_cast<std::size_t>(row))
                     ? GroupsModel::Name
                     : column;
        QTableView* table = m_window.groupsTable();
        const QModelIndex index = table->model()->index(row, column);
        table->setCurrentIndex(index);
        table->edit(index);
        QWidget* editor = nullptr; // the one open now, not one closed but not yet deleted
        for (QWidget* child :
             table->viewport()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            editor = child->isVisible() ? child : editor;
        }
        if (editor == nullptr) {
            return QStringLiteral("edit a cell: no editor");
        }
        const QString typed = column == GroupsModel::Name      ? type(editor, kNames)
                              : column == GroupsModel::Cameras ? type(editor, kTexts)
                                                               : type(editor, kPercents);
        return typed + QStringLiteral(", row %1, column %2").arg(row + 1).arg(column);
    }

    QString calculatorAction() {
        lenstally::Form1View* calculator = m_window.calculator();
        std::vector<QWidget*> inputs;
        for (const lenstally::ControlDescription& d : lenstally::ControlDescriptions()) {
            QWidget* w = calculator->widget(d.id);
            const bool input = d.kind == lenstally::ControlKind::Option ||
                               d.kind == lenstally::ControlKind::ComboBox ||
                               d.kind == lenstally::ControlKind::TextBox;
            const std::optional<std::size_t> group = m_window.currentGroup();
            if (d.id == ControlId::txtCameraCount && group && placed(*group)) {
                continue;
            }
            if (input && calculator->isEnabled() && w->isVisibleTo(calculator) && w->isEnabled()) {
                inputs.push_back(w);
            }
        }
        return act(inputs, kTexts);
    }

    QString planEdit() {
        std::vector<QWidget*> inputs;
        for (QWidget* w : m_window.planPanel()->findChildren<QWidget*>()) {
            const auto* box = qobject_cast<QGroupBox*>(w);
            const bool input = (box != nullptr && box->isCheckable()) ||
                               qobject_cast<QAbstractSpinBox*>(w) != nullptr ||
                               qobject_cast<QComboBox*>(w) != nullptr;
            if (input && w->isEnabled()) {
                inputs.push_back(w);
            }
        }
        return act(inputs, kPlanNumbers);
    }

    // The camera view: its text, pixels, distance, lens form and lens figures.
    QString cameraEdit() {
        std::vector<QWidget*> inputs;
        for (QWidget* w : m_window.cameraPanel()->findChildren<QWidget*>()) {
            const auto* box = qobject_cast<QGroupBox*>(w);
            const bool input = (box != nullptr && box->isCheckable()) ||
                               qobject_cast<QAbstractSpinBox*>(w) != nullptr ||
                               qobject_cast<QLineEdit*>(w) != nullptr ||
                               qobject_cast<QAbstractButton*>(w) != nullptr;
            // A spin box's own line edit is reached through the spin box.
            if (input && w->isEnabled() &&
                qobject_cast<QAbstractSpinBox*>(w->parentWidget()) == nullptr) {
                inputs.push_back(w);
            }
            // Most groups have no view: switch it on often, so that its inputs get edited.
            if (box != nullptr && box->isCheckable() && box->isEnabled() && !box->isChecked() &&
                chance(50)) {
                return act(std::vector<QWidget*>{w}, kPlanNumbers);
            }
        }
        return act(inputs, kPlanNumbers);
    }

    // A press, moves and a release on the drawing, as a mouse gives them.
    void mouseOn(QGraphicsView* view, QEvent::Type type, QPointF plan, Qt::KeyboardModifiers keys) {
        const QPointF local = view->mapFromScene(plan);
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, view->viewport()->mapToGlobal(local), button, held, keys);
        QCoreApplication::sendEvent(view->viewport(), &event);
    }

    QPointF somewhere(const lenstally::SiteSection& site) {
        // Now and then just off the plan, which the session refuses or pulls back in.
        const auto along = [this](double size) {
            return std::uniform_real_distribution<double>(-0.05 * size, 1.05 * size)(m_rng);
        };
        return {along(site.width), along(site.height)};
    }

    void useTool(lenstally::SitePanel& plan, const char* text) {
        for (QAbstractButton* button : plan.findChildren<QAbstractButton*>()) {
            if (button->text() == QLatin1String(text)) {
                QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            }
        }
    }

    // The site plan as a user draws on it: start it, place, drag and turn cameras, draw walls and
    // zones, type in the list, remove what is selected.
    QString siteAction() {
        lenstally::SitePanel& plan = *m_window.sitePanel();
        const std::optional<lenstally::SiteSection> site = m_window.project().site();
        if (!site) {
            for (QAbstractButton* button : plan.findChildren<QAbstractButton*>()) {
                if (button->text() == QLatin1String("Start site plan")) {
                    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
                }
            }
            return QStringLiteral("start site plan");
        }
        QGraphicsView* view = plan.view();
        const std::size_t cameras = m_window.project().siteResult()->placements.size();
        int action = below(13);
        if (cameras == 0 && (action == 2 || action == 3)) {
            action = 1;
        }
        switch (action) {
        case 0: {
            // The selected group needs a camera view to place one of its cameras.
            if (const std::optional<std::size_t> group = m_window.currentGroup();
                group && !m_window.project().group(*group).camera.view) {
                for (auto* box : m_window.cameraPanel()->findChildren<QGroupBox*>()) {
                    if (box->accessibleName() == QLatin1String("Camera view of a target")) {
                        box->setChecked(true);
                    }
                }
            }
            // Nor does it refuse a camera placed in a group counting fewer than none (a count
            // typed but not yet taken in counts, as placing takes it in).
            m_window.commitTyping();
            if (const std::optional<std::size_t> group = m_window.currentGroup();
                group && m_window.project().result(*group).cameras < 0) {
                return QStringLiteral("place a camera: the group counts fewer than none");
            }
            useTool(plan, "Place camera");
            const QPointF at = somewhere(*site);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(at));
            useTool(plan, "Select");
            return QStringLiteral("place a camera at %1, %2").arg(at.x()).arg(at.y());
        }
        case 1: {
            m_refusable = true; // a zone may cross itself
            const bool zone = chance(50);
            useTool(plan, zone ? "Draw zone" : "Draw wall");
            const int points = zone ? 3 + below(3) : 2 + below(3);
            for (int i = 0; i < points; ++i) {
                mouseOn(view, QEvent::MouseButtonPress, somewhere(*site), {});
                mouseOn(view, QEvent::MouseButtonRelease, somewhere(*site), {});
            }
            if (chance(50)) {
                QTest::keyClick(view, Qt::Key_Return);
            } else {
                QTest::mouseDClick(view->viewport(), Qt::LeftButton);
            }
            useTool(plan, "Select");
            return zone ? QStringLiteral("draw a zone of %1 points").arg(points)
                        : QStringLiteral("draw a wall of %1 points").arg(points);
        }
        case 2:
        case 3: {
            // Drag a camera, or turn it with Shift held.
            // A copy: the press takes in a typed plan width, which scales every placement anew.
            const lenstally::Placement p =
                m_window.project()
                    .siteResult()
                    ->placements[static_cast<std::size_t>(below(static_cast<int>(cameras)))]
                    .placement;
            const Qt::KeyboardModifiers keys = chance(40) ? Qt::ShiftModifier : Qt::NoModifier;
            mouseOn(view, QEvent::MouseButtonPress, {p.x, p.y}, keys);
            for (int i = below(4); i >= 0; --i) {
                mouseOn(view, QEvent::MouseMove, somewhere(*site), keys);
            }
            mouseOn(view, QEvent::MouseButtonRelease, {p.x, p.y}, keys);
            return keys == Qt::ShiftModifier ? QStringLiteral("turn a camera")
                                             : QStringLiteral("drag a camera");
        }
        case 4:
        case 5: {
            // A box of the list: a camera's x, y or heading, a zone's name, level or coverage.
            std::vector<QWidget*> inputs;
            for (QWidget* w : plan.list()->findChildren<QWidget*>()) {
                if ((qobject_cast<QAbstractSpinBox*>(w) != nullptr ||
                     qobject_cast<QComboBox*>(w) != nullptr ||
                     qobject_cast<QLineEdit*>(w) != nullptr) &&
                    qobject_cast<QAbstractSpinBox*>(w->parentWidget()) == nullptr &&
                    qobject_cast<QComboBox*>(w->parentWidget()) == nullptr) {
                    inputs.push_back(w);
                }
            }
            return act(inputs, kPlanNumbers);
        }
        case 6: {
            // Select a row of the list, or a thing on the drawing, and press Delete.
            QTreeWidget* list = plan.list();
            QTreeWidgetItem* top = list->topLevelItem(below(3));
            if (top->childCount() == 0) {
                return QStringLiteral("delete: nothing of that kind");
            }
            list->setCurrentItem(top->child(below(top->childCount())));
            // On the drawing, Delete takes a point picked there first, which the planner refuses
            // when its outline has no point to spare.
            const bool inList = chance(50);
            m_refusable = !inList;
            QTest::keyClick(inList ? static_cast<QWidget*>(list) : view, Qt::Key_Delete);
            return inList ? QStringLiteral("Delete in the site plan's list")
                          : QStringLiteral("Delete on the site plan's drawing");
        }
        case 7:
            return typeInto("Plan width (m)", kPlanNumbers);
        case 9:
        case 10:
            m_refusable = true;
            return outlinePointAction(plan, *site);
        case 11: {
            m_refusable = true;
            // Two points clicked, then the distance between them typed.
            useTool(plan, "Set scale");
            for (int i = 0; i < 2; ++i) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->mapFromScene(somewhere(*site)));
            }
            const QString typed = type(plan.scaleBox(), kPlanNumbers);
            QTest::keyClick(plan.scaleBox(), Qt::Key_Return);
            useTool(plan, "Select");
            return QStringLiteral("set the scale: ") + typed;
        }
        case 12:
            if (chance(15)) {
                useTool(plan, "Remove site plan");
                return QStringLiteral("remove the site plan");
            }
            [[fallthrough]];
        default:
            useTool(plan, "Fit");
            plan.view()->zoomBy(chance(50) ? 1.5 : 0.7);
            return QStringLiteral("zoom");
        }
    }

    // A wall or zone selected in the list, then one of its points dragged or deleted, or its points
    // typed in the points box.
    QString outlinePointAction(lenstally::SitePanel& plan, const lenstally::SiteSection& site) {
        QTreeWidget* list = plan.list();
        QTreeWidgetItem* top = list->topLevelItem(1 + below(2)); // zones, walls
        if (top->childCount() == 0) {
            return QStringLiteral("points: no wall or zone");
        }
        const int row = below(top->childCount());
        list->setCurrentItem(top->child(row));
        const bool wall = top == list->topLevelItem(2);
        const std::vector<lenstally::SitePoint>& points =
            wall ? site.walls[static_cast<std::size_t>(row)]
                 : site.zones[static_cast<std::size_t>(row)].points;
        QGraphicsView* view = plan.view();
        switch (below(3)) {
        case 0: {
            const lenstally::SitePoint p =
                points[static_cast<std::size_t>(below(static_cast<int>(points.size())))];
            mouseOn(view, QEvent::MouseButtonPress, {p.x, p.y}, {});
            for (int i = below(3); i >= 0; --i) {
                mouseOn(view, QEvent::MouseMove, somewhere(site), {});
            }
            mouseOn(view, QEvent::MouseButtonRelease, {p.x, p.y}, {});
            return QStringLiteral("drag a point of ") + plan.pointsBox()->accessibleName();
        }
        case 1: {
            const lenstally::SitePoint p =
                points[static_cast<std::size_t>(below(static_cast<int>(points.size())))];
            mouseOn(view, QEvent::MouseButtonPress, {p.x, p.y}, {});
            mouseOn(view, QEvent::MouseButtonRelease, {p.x, p.y}, {});
            QTest::keyClick(view, Qt::Key_Delete);
            return QStringLiteral("delete a point of the wall or zone");
        }
        default: {
            // The points as they are with one number changed, or a text that is no list of points.
            QString text = QString::fromStdString(lenstally::PointsText(points));
            if (chance(70)) {
                QStringList numbers = text.split(QLatin1Char(' '));
                QString& number = numbers[below(static_cast<int>(numbers.size()))];
                const bool last = !number.endsWith(QLatin1Char(';'));
                number = QString::fromLatin1(pick(m_rng, kPlanNumbers)) +
                         (last ? QString() : QStringLiteral(";"));
                text = numbers.join(QLatin1Char(' '));
            } else {
                text = QString::fromLatin1(pick(m_rng, kTexts));
            }
            plan.pointsBox()->setFocus();
            plan.pointsBox()->selectAll();
            QTest::keyClicks(plan.pointsBox(), text);
            QTest::keyClick(plan.pointsBox(), Qt::Key_Return);
            return QStringLiteral("type \"%1\" in %2")
                .arg(text, plan.pointsBox()->accessibleName());
        }
        }
    }

    QString saveAndReopen() {
        std::string before;
        if (!m_window.saveTo(m_savePath)) {
            return QStringLiteral("FAILED: save");
        }
        lenstally::WriteProjectJson(m_window.project().result(), before);
        if (!m_window.openFile(m_savePath)) {
            return QStringLiteral("FAILED: reopen");
        }
        std::string after;
        lenstally::WriteProjectJson(m_window.project().result(), after);
        return before == after ? QStringLiteral("save and reopen")
                               : QStringLiteral("FAILED: reopened with other figures");
    }

    PlannerWindow& m_window;
    std::mt19937 m_rng;
    QString m_savePath;
    bool& m_refusable;
};

} // namespace

class PlannerRandomTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // State: each project open. Action: random user actions. Expected: after each one the
    // window shows the figures the command line computes for the file it would save.
    void randomActionsKeepTheWindowEqualToTheCommandLine() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        qputenv("XDG_DATA_HOME", dir.path().toUtf8());
        const unsigned seed = qEnvironmentVariableIsSet("LENSTALLY_SEED")
                                  ? qEnvironmentVariable("LENSTALLY_SEED").toUInt()
                                  : std::random_device{}();
        const int steps = qEnvironmentVariableIsSet("LENSTALLY_STEPS")
                              ? qEnvironmentVariableIntValue("LENSTALLY_STEPS")
                              : 200;
        QStringList projects =
            qEnvironmentVariable("LENSTALLY_PROJECTS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
        if (projects.isEmpty()) {
            for (const char* name : {"shop", "warehouse", "distribution-centre"}) {
                projects << QStringLiteral(LENSTALLY_SOURCE_DIR "/examples/%1.json")
                                .arg(QLatin1String(name));
            }
        }
        const bool verbose = qEnvironmentVariableIsSet("LENSTALLY_VERBOSE");
        qInfo("seed %u, %d steps per project (LENSTALLY_SEED=%u repeats this run)", seed, steps,
              seed);
        const auto start = std::chrono::steady_clock::now();
        for (const QString& project : projects) {
            PlannerWindow window;
            QStringList notices;
            bool refusable = false;
            window.setNotice([&notices, &refusable](const QString&, const QString& text) {
                if (!refusable) {
                    notices << text;
                }
            });
            window.setSavePrompt([](const QString&) { return QMessageBox::Discard; });
            window.show();
            QVERIFY2(window.openFile(project), qPrintable(project));
            Driver driver(window, seed, dir.filePath(QStringLiteral("saved.lenstally.json")),
                          refusable);
            QStringList done;
            for (int i = 1; i <= steps; ++i) {
                done << driver.step();
                if (verbose) {
                    std::fprintf(stderr, "%d: %s\n", i, qPrintable(done.back()));
                }
                while (done.size() > 8) {
                    done.removeFirst();
                }
                const QString problem =
                    done.back().startsWith(QLatin1String("FAILED")) ? done.back() : driver.check();
                QVERIFY2(problem.isEmpty() && notices.isEmpty(),
                         qPrintable(QStringLiteral("seed %1, %2, step %3: %4%5\nlast steps: %6")
                                        .arg(seed)
                                        .arg(project)
                                        .arg(i)
                                        .arg(problem, notices.join(QLatin1Char(' ')),
                                             done.join(QStringLiteral("; ")))));
            }
            window.commitTyping();
            QVERIFY2(driver.check().isEmpty(), qPrintable(driver.check()));
        }
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        qInfo("seed %u: %d steps on each of %lld projects in %lld ms", seed, steps,
              static_cast<long long>(projects.size()), static_cast<long long>(ms));
    }
};

QTEST_MAIN(PlannerRandomTest)
#include "planner_random_test.moc"
