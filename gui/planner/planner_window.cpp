// SPDX-License-Identifier: MIT
#include "gui/planner/planner_window.hpp"

#include <algorithm>

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QSessionManager>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "cli/version.hpp"
#include "gui/calculator/form1_view.hpp"
#include "gui/planner/camera_panel.hpp"
#include "gui/planner/groups_model.hpp"
#include "gui/planner/number_box.hpp"
#include "gui/planner/plan_panel.hpp"
#include "gui/planner/report.hpp"
#include "gui/planner/site_panel.hpp"
#include "gui/planner/typed_value.hpp"
#include "project/interactive_page.hpp"
#include "project/project_reports.hpp"
#include "project/project_writer.hpp"

namespace lenstally {

struct PlannerWindow::Actions {
    QAction* save = nullptr;
    QAction* duplicate = nullptr;
    QAction* remove = nullptr;
    QAction* up = nullptr;
    QAction* down = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
};

namespace {

// The browser edition's page, lenstally.html: beside the build tree's programs (web/ next to
// bin/) or in the installed prefix's share/lenstally/ (this program lives in
// libexec/lenstally/), wherever the prefix was moved. Empty when it was not built.
QString browserEditionPage() {
    const QDir programs(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {QStringLiteral("../web/lenstally.html"),
                                     QStringLiteral("../../share/lenstally/lenstally.html")}) {
        const QFileInfo page(programs.filePath(candidate));
        if (page.isFile()) {
            return page.canonicalFilePath();
        }
    }
    return {};
}

constexpr int kMaxRecent = 8;
const QString kProjectFilter = QStringLiteral("Lenstally projects (*.lenstally.json *.json)");

// Edits the activity column with a number box from 0 to 100 %, and shows the window each
// editor it makes, so that the title can follow what is typed there.
class ActivityDelegate : public QStyledItemDelegate {
public:
    ActivityDelegate(std::function<void(QWidget*)> onEditor, QObject* parent)
        : QStyledItemDelegate(parent), m_onEditor(std::move(onEditor)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = nullptr;
        if (index.column() == GroupsModel::Activity) {
            auto* box = new NumberBox(0, 100, parent);
            box->setSuffix(QStringLiteral(" %"));
            editor = box;
        } else {
            editor = QStyledItemDelegate::createEditor(parent, option, index);
        }
        m_onEditor(editor);
        return editor;
    }

private:
    std::function<void(QWidget*)> m_onEditor;
};

// Undo and redo belong to the project: text boxes keep their own undo from taking the keys.
class ProjectUndoKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
                return true; // not accepted: the window's Undo or Redo action runs
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

std::string projectText(const ProjectDocument& document) {
    return ProjectFileText(document.toProject());
}

// The text box where a user types into `widget`: the widget itself or the one inside a spin box.
QLineEdit* typingBox(QWidget* widget) {
    auto* edit = qobject_cast<QLineEdit*>(widget);
    return edit != nullptr ? edit : widget->findChild<QLineEdit*>();
}

// True when a spin box holds typed text that would give it another value once entered.
bool holdsTypedValue(const QAbstractSpinBox* box) {
    return TypedValue(box).has_value();
}

// The window's size and place when it was last closed.
const QString kGeometryKey = QStringLiteral("plannerGeometry");

// Puts `path` first in the list Open Recent shows.
void addRecent(const QString& path) {
    QSettings settings;
    QStringList recent = settings.value(QStringLiteral("recentFiles")).toStringList();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kMaxRecent) {
        recent.removeLast();
    }
    settings.setValue(QStringLiteral("recentFiles"), recent);
}

// A value entered in a cell of the groups table, as an edit of `session`.
void editCell(PlannerSession& session, std::size_t group, int column, const QVariant& value) {
    switch (column) {
    case GroupsModel::Name:
        session.renameGroup(group, fromQString(value.toString()));
        break;
    case GroupsModel::Activity:
        session.setActivity(group, value.toDouble());
        break;
    case GroupsModel::Cameras:
        // The same typing the calculator panel performs on its camera box.
        session.editForm(group, {FormAction::Kind::Type, ControlId::txtCameraCount, -1,
                                 fromQString(value.toString())});
        break;
    default:
        break;
    }
}

} // namespace

PlannerWindow::PlannerWindow(QWidget* parent) : QMainWindow(parent) {
    m_idle.load();
    m_prompt = [this](const QString& question) {
        return QMessageBox::question(this, QStringLiteral("Unsaved changes"), question,
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                     QMessageBox::Save);
    };
    m_notice = [this](const QString& title, const QString& text) {
        QMessageBox::warning(this, title, text);
    };
    m_session.setListener(this);
    // A recovery copy within a second of the first unsaved edit, so that no edit is more than
    // a second from being kept.
    m_recoveryTimer = new QTimer(this);
    m_recoveryTimer->setSingleShot(true);
    m_recoveryTimer->setInterval(1000);
    connect(m_recoveryTimer, &QTimer::timeout, this, [this] { writeRecovery(); });
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager& manager) { sessionEnds(manager); });
    buildWidgets();
    buildMenus();
    connectEdits();
    openProject(nullptr, {});
    placeOnScreen();
}

void PlannerWindow::placeOnScreen() {
    // Where the user left the window last (Qt moves it back onto a screen that is there).
    if (restoreGeometry(QSettings().value(kGeometryKey).toByteArray())) {
        return;
    }
    // Large enough for the groups, the plan and the calculator side by side, and within the
    // screen's free area with the window manager's title bar and borders, which are known only
    // once the window is shown: room is left for a generous frame. move() places the frame.
    const QRect available = screen()->availableGeometry();
    const QSize frame(16, 48);
    const QSize size = QSize(1440, 940).boundedTo(available.size() - frame);
    resize(size);
    move(available.topLeft() + QPoint((available.width() - size.width() - frame.width()) / 2,
                                      (available.height() - size.height() - frame.height()) / 2));
}

PlannerWindow::~PlannerWindow() {
    m_session.setListener(nullptr);
    m_recoveryTimer->stop();
    // The widgets go first, while the document and the forms the calculator panel shows exist.
    delete takeCentralWidget();
}

void PlannerWindow::buildWidgets() {
    setObjectName(QStringLiteral("PlannerWindow"));
    // Above, across the whole width: the project's name and the groups with the totals, so that
    // every column is in view even on a 1366 x 768 screen. Below: the storage plan on the left,
    // the selected group on the right.
    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    auto* nameForm = new QFormLayout;
    m_projectName = new QLineEdit(central);
    m_projectName->setPlaceholderText(QStringLiteral("Untitled"));
    m_projectName->setAccessibleName(QStringLiteral("Project name"));
    auto* nameLabel = new QLabel(QStringLiteral("&Project name:"), central);
    nameLabel->setBuddy(m_projectName);
    nameForm->addRow(nameLabel, m_projectName);
    centralLayout->addLayout(nameForm);

    m_groups = new GroupsModel(
        m_session.document(),
        [this](std::size_t group, GroupsModel::Column column, const QVariant& value) {
            tableEdited(group, column, value);
        },
        this);
    m_table = new QTableView(central);
    m_table->setModel(m_groups);
    m_table->setObjectName(QStringLiteral("groups"));
    m_table->setAccessibleName(QStringLiteral("Camera groups"));
    m_table->setAccessibleDescription(
        QStringLiteral("One row per group of identical cameras, then the site's totals"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    m_table->setItemDelegate(new ActivityDelegate(
        [this](QWidget* editor) {
            if (QLineEdit* box = typingBox(editor)) {
                connect(box, &QLineEdit::textChanged, this, [this] { updateTitle(); });
            }
        },
        m_table));
    m_table->setTabKeyNavigation(false);
    // The name takes what the figures leave; the user may widen any other column.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setSectionResizeMode(GroupsModel::Name, QHeaderView::Stretch);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    // Widths from the font, wide enough for the header and a long figure, so that the figures
    // stay in view.
    const QFontMetrics metrics = m_table->fontMetrics();
    const QFontMetrics headerMetrics = m_table->horizontalHeader()->fontMetrics();
    constexpr std::pair<int, const char*> kWidths[] = {
        {GroupsModel::Cameras, "Cameras"},
        {GroupsModel::Stream, "MPEG-4"},
        {GroupsModel::Resolution, "2 Megapixel"},
        {GroupsModel::Fps, "FPS"},
        {GroupsModel::Activity, "Activity"},
        {GroupsModel::PerCamera, "1.3928565Mbps"},
        {GroupsModel::Bandwidth, "265.851Mbps"},
        {GroupsModel::Storage, "45.039TB"},
        {GroupsModel::Camera, "4K bullet, H.265, 6 Mbps measured"},
        {GroupsModel::Level, "Recognise"}};
    for (const auto& [column, sample] : kWidths) {
        const QString header =
            m_groups->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        m_table->setColumnWidth(column, std::max(metrics.horizontalAdvance(QLatin1String(sample)),
                                                 headerMetrics.horizontalAdvance(header)) +
                                            24);
    }
    auto* tableLabel = new QLabel(QStringLiteral("Camera &groups:"), central);
    tableLabel->setBuddy(m_table);
    // The groups above, the plan and the selected group below; the user moves the lines between
    // them.
    auto* groupsSplitter = new QSplitter(Qt::Vertical, central);
    auto* tableArea = new QWidget(groupsSplitter);
    auto* tableLayout = new QVBoxLayout(tableArea);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(tableLabel);
    tableLayout->addWidget(m_table);
    centralLayout->addWidget(groupsSplitter, 1);
    auto* belowSplitter = new QSplitter(Qt::Horizontal, groupsSplitter);

    m_plan = new PlanPanel(
        [this](PlanField field, const PlanInputs& inputs) { m_session.editPlan(field, inputs); },
        central);
    // The storage plan and the site plan share the left of the lower half, as tabs.
    auto* planTabs = new QTabWidget(belowSplitter);
    auto* planScroll = new QScrollArea(planTabs);
    planScroll->setWidget(m_plan);
    planScroll->setWidgetResizable(true);
    planScroll->setFrameShape(QFrame::NoFrame);
    planTabs->addTab(planScroll, QStringLiteral("Storage plan"));
    // The site plan scrolls too where the window is narrower than its commands.
    auto* siteScroll = new QScrollArea(planTabs);
    m_site = new SitePanel(
        m_session, [this] { commitTyping(); },
        [this](const QString& title, const QString& text) { fail(title, text); }, siteScroll);
    siteScroll->setWidget(m_site);
    siteScroll->setWidgetResizable(true);
    siteScroll->setFrameShape(QFrame::NoFrame);
    planTabs->addTab(siteScroll, QStringLiteral("Site plan"));
    // No wider at its narrowest than the storage plan alone: the tabs scroll rather than widen it.
    planTabs->setMinimumWidth(planScroll->minimumSizeHint().width());
    groupsSplitter->addWidget(tableArea);
    groupsSplitter->addWidget(belowSplitter);
    groupsSplitter->setStretchFactor(0, 0);
    groupsSplitter->setStretchFactor(1, 1);
    // Room for a few groups with the totals; the plan and the selected group take the rest.
    groupsSplitter->setSizes({m_table->verticalHeader()->defaultSectionSize() * 7 + 40, 600});

    // Right: the selected group, its name and activity always in view, then its calculator and
    // camera view as tabs, which scroll up and down on a short screen.
    auto* rightPane = new QWidget(belowSplitter);
    auto* rightPaneLayout = new QVBoxLayout(rightPane);
    rightPaneLayout->setContentsMargins(0, 0, 0, 0);
    auto* right = new QWidget(rightPane);
    auto* rightLayout = new QVBoxLayout(right);
    auto* groupBox = new QGroupBox(QStringLiteral("Selected group"), rightPane);
    groupBox->setAccessibleName(QStringLiteral("Selected group"));
    auto* groupForm = new QFormLayout(groupBox);
    m_groupName = new QLineEdit(groupBox);
    m_groupName->setAccessibleName(QStringLiteral("Group name"));
    auto* groupNameLabel = new QLabel(QStringLiteral("&Name:"), groupBox);
    groupNameLabel->setBuddy(m_groupName);
    groupForm->addRow(groupNameLabel, m_groupName);
    m_activity = new NumberBox(0, 100, groupBox);
    m_activity->setSuffix(QStringLiteral(" %"));
    m_activity->setAccessibleName(QStringLiteral("Activity"));
    m_activity->setAccessibleDescription(
        QStringLiteral("Percent of the recording hours the group really records"));
    auto* activityLabel = new QLabel(QStringLiteral("&Activity (motion recording):"), groupBox);
    activityLabel->setBuddy(m_activity);
    groupForm->addRow(activityLabel, m_activity);
    m_recorded = new QLabel(groupBox);
    m_recorded->setAccessibleDescription(QStringLiteral("Recorded storage"));
    m_recorded->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    groupForm->addRow(QStringLiteral("Recorded storage:"), m_recorded);
    rightPaneLayout->addWidget(groupBox);

    // The selected group's panels as tabs: the calculator itself, and what its camera sees.
    m_groupTabs = new QTabWidget(right);
    auto* calculatorPage = new QWidget(m_groupTabs);
    auto* calculatorLayout = new QVBoxLayout(calculatorPage);
    m_calculator = new Form1View(m_idle, calculatorPage);
    m_calculator->setAccessibleName(QStringLiteral("Calculator"));
    calculatorLayout->addWidget(m_calculator, 0, Qt::AlignLeft | Qt::AlignTop);
    calculatorLayout->addStretch(1);
    m_groupTabs->addTab(calculatorPage, QStringLiteral("Ca&lculator"));
    m_cameraPanel = new CameraPanel(
        [this](CameraField field, const CameraInputs& inputs) {
            if (const std::optional<std::size_t> group = m_session.selected()) {
                m_session.editCamera(*group, field, inputs);
            }
        },
        m_groupTabs);
    m_groupTabs->addTab(m_cameraPanel, QStringLiteral("Camera &view"));
    rightLayout->addWidget(m_groupTabs);
    rightLayout->addStretch(1);
    auto* rightScroll = new QScrollArea(rightPane);
    rightScroll->setWidget(right);
    rightScroll->setWidgetResizable(true);
    rightScroll->setFrameShape(QFrame::NoFrame);
    rightScroll->setMinimumWidth(m_calculator->width() + 40);
    rightPaneLayout->addWidget(rightScroll, 1);

    belowSplitter->addWidget(planTabs);
    belowSplitter->addWidget(rightPane);
    belowSplitter->setStretchFactor(0, 1);
    belowSplitter->setStretchFactor(1, 0);
    setCentralWidget(central);

    // Keyboard order: project name, groups, the group's name and activity, the calculator, the
    // storage plan.
    QWidget::setTabOrder(m_projectName, m_table);
    QWidget::setTabOrder(m_table, m_groupName);
    QWidget::setTabOrder(m_groupName, m_activity);
    QWidget::setTabOrder(m_activity, m_calculator->firstInTabOrder());
    QWidget::setTabOrder(m_calculator->lastInTabOrder(), m_cameraPanel->firstInput());
    QWidget::setTabOrder(m_cameraPanel->lastInput(), m_plan->firstInput());
    qApp->installEventFilter(new ProjectUndoKeys(this));
}

void PlannerWindow::buildMenus() {
    m_actions = std::make_unique<Actions>();
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    // Every command first takes in what an input box holds, as leaving the box would.
    auto add = [this](QMenu* menu, const QString& text, const QKeySequence& key, auto slot) {
        QAction* action = menu->addAction(text);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, [this, slot] {
            commitTyping();
            slot();
        });
        return action;
    };
    add(file, QStringLiteral("&New"), QKeySequence::New, [this] {
        if (maybeSave()) {
            openProject(nullptr, {});
        }
    });
    add(file, QStringLiteral("&Open..."), QKeySequence::Open, [this] { openDialog(); });
    m_recentMenu = file->addMenu(QStringLiteral("Open &Recent"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, [this] { fillRecentMenu(); });
    file->addSeparator();
    m_actions->save = add(file, QStringLiteral("&Save"), QKeySequence::Save, [this] { save(); });
    add(file, QStringLiteral("Save &As..."), QKeySequence::SaveAs, [this] { saveAs(); });
    file->addSeparator();
    add(file, QStringLiteral("Export &CSV..."), QKeySequence(), [this] {
        exportDialog(QStringLiteral("Export CSV"), QStringLiteral("CSV (*.csv)"),
                     ReportFormat::Csv);
    });
    add(file, QStringLiteral("Export &JSON report..."), QKeySequence(), [this] {
        exportDialog(QStringLiteral("Export JSON report"), QStringLiteral("JSON (*.json)"),
                     ReportFormat::Json);
    });
    add(file, QStringLiteral("Export P&DF..."), QKeySequence(), [this] {
        exportDialog(QStringLiteral("Export PDF"), QStringLiteral("PDF (*.pdf)"),
                     ReportFormat::Pdf);
    });
    QAction* page =
        add(file, QStringLiteral("Export &interactive page..."), QKeySequence(), [this] {
            exportDialog(QStringLiteral("Export interactive page"),
                         QStringLiteral("Web page (*.html)"), ReportFormat::Page);
        });
    if (browserEditionPage().isEmpty()) {
        page->setEnabled(false);
        const QString why = QStringLiteral(
            "The browser edition was not built with this copy of Lenstally (it needs the "
            "WebAssembly toolchain: scripts/ensure-packages web)");
        page->setStatusTip(why);
        page->setToolTip(why);
    } else {
        page->setStatusTip(QStringLiteral(
            "A copy of the browser edition that opens on this project, to send to anyone: it "
            "runs in any browser, offline"));
    }
    add(file, QStringLiteral("&Print..."), QKeySequence::Print, [this] { print(); });
    file->addSeparator();
    add(file, QStringLiteral("&Close"), QKeySequence::Close, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    // Undo and Redo say what they would do ("Undo Remove group"), as the session names it.
    m_actions->undo =
        add(edit, QStringLiteral("&Undo"), QKeySequence::Undo, [this] { m_session.undo(); });
    m_actions->redo =
        add(edit, QStringLiteral("&Redo"), QKeySequence::Redo, [this] { m_session.redo(); });
    edit->addSeparator();
    QAction* addAction =
        add(edit, QStringLiteral("&Add group"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
            [this] { addGroup(false); });
    m_actions->duplicate = add(edit, QStringLiteral("&Duplicate group"),
                               QKeySequence(Qt::CTRL | Qt::Key_D), [this] { addGroup(true); });
    m_actions->remove = add(edit, QStringLiteral("Re&move group"),
                            QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { removeGroup(); });
    m_actions->up = add(edit, QStringLiteral("Move &up"),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up), [this] { moveGroup(-1); });
    m_actions->down =
        add(edit, QStringLiteral("Move do&wn"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down),
            [this] { moveGroup(1); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, QStringLiteral("&About Lenstally Planner"), QKeySequence(), [this] {
        QMessageBox::about(
            this, QStringLiteral("About Lenstally Planner"),
            QStringLiteral("<p><b>Lenstally Planner %1</b></p><p>Plans the bandwidth, storage, "
                           "drives and recorders of a video-surveillance site.</p><p>Free "
                           "software under the MIT licence.</p>")
                .arg(QString::fromLatin1(kVersionText)));
    });

    QToolBar* tools = addToolBar(QStringLiteral("Groups"));
    tools->setObjectName(QStringLiteral("groupsToolBar"));
    for (QAction* action :
         {addAction, m_actions->duplicate, m_actions->remove, m_actions->up, m_actions->down}) {
        tools->addAction(action);
    }
    tools->addSeparator();
    tools->addAction(m_actions->undo);
    tools->addAction(m_actions->redo);
}

void PlannerWindow::watchTyping(QWidget* root) {
    static const char* const kWatched = "lenstallyTypingWatched";
    for (QLineEdit* box : root->findChildren<QLineEdit*>()) {
        if (!box->property(kWatched).toBool()) {
            box->setProperty(kWatched, true);
            connect(box, &QLineEdit::textChanged, this, [this] { updateTitle(); });
        }
    }
}

void PlannerWindow::connectEdits() {
    // The title shows "*" as soon as a keystroke changes a value, before the box is left.
    watchTyping(this);
    // The row picked by keyboard or mouse, or selected by an assistive tool. While the session
    // changes the groups, the table's rows follow it, and it selects a group when it is done.
    auto show = [this](const QModelIndex& index) {
        if (!m_following && index.isValid() && index.row() < m_groups->totalRow() &&
            m_session.selected() != static_cast<std::size_t>(index.row())) {
            m_session.select(static_cast<std::size_t>(index.row()));
        }
    };
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, show);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [show](const QItemSelection& selected) {
                if (!selected.isEmpty()) {
                    show(selected.indexes().front());
                }
            });
    connect(m_projectName, &QLineEdit::editingFinished, this, [this] { commitNames(); });
    connect(m_groupName, &QLineEdit::editingFinished, this, [this] { commitNames(); });
    connect(m_activity, &QDoubleSpinBox::valueChanged, this, [this] {
        if (const std::optional<std::size_t> group = m_session.selected()) {
            m_session.setActivity(*group, m_activity->value());
        }
    });
    // A user action in the calculator panel, performed by the session on the selected group.
    m_calculator->setEditHandler([this](const FormAction& action) {
        if (const std::optional<std::size_t> group = m_session.selected()) {
            m_session.editForm(*group, action);
        } else {
            m_calculator->showChanges({action.control});
        }
    });
}

void PlannerWindow::undo() {
    commitTyping();
    m_session.undo();
}

void PlannerWindow::redo() {
    commitTyping();
    m_session.redo();
}

std::optional<std::string> PlannerWindow::typedProjectName() const {
    const std::string text = fromQString(m_projectName->text().trimmed());
    return text.empty() ? std::nullopt : std::optional(text);
}

void PlannerWindow::commitNames() {
    if (const std::optional<std::string> name = typedProjectName();
        name != m_session.document().name()) {
        m_session.renameProject(name.value_or(std::string()));
    }
    const std::string name = fromQString(m_groupName->text());
    if (const std::optional<std::size_t> group = m_session.selected();
        group && name != m_session.document().group(*group).name) {
        m_session.renameGroup(*group, name);
    }
}

void PlannerWindow::commitTyping() {
    commitNames();
    m_cameraPanel->commitTyping();
    // Every number box holding typing: the one with the focus, or one an assistive tool typed in.
    for (QAbstractSpinBox* box : findChildren<QAbstractSpinBox*>()) {
        if (holdsTypedValue(box)) {
            box->interpretText();
        }
    }
    // Every cell editor open in the table gives the table its text and closes. None may stay
    // open: a command that selects another row would make the table commit it while the command
    // runs, and an edit recorded in the middle of an undo or redo breaks the undo stack.
    QAbstractItemDelegate* delegate = m_table->itemDelegate();
    for (QWidget* editor :
         m_table->viewport()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (editor->isVisible()) {
            Q_EMIT delegate->commitData(editor);
            Q_EMIT delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
}

bool PlannerWindow::holdsTyping() const {
    const ProjectDocument& document = m_session.document();
    const std::optional<std::size_t> group = m_session.selected();
    if (typedProjectName() != document.name() ||
        (group && fromQString(m_groupName->text()) != document.group(*group).name)) {
        return true;
    }
    const QList<QAbstractSpinBox*> boxes = findChildren<QAbstractSpinBox*>();
    if (m_cameraPanel->holdsTyping() || std::ranges::any_of(boxes, holdsTypedValue)) {
        return true;
    }
    // A name or camera count typed into a cell of the table.
    const QList<QLineEdit*> cells =
        m_table->viewport()->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    return std::ranges::any_of(cells, [this](const QLineEdit* cell) {
        return cell->text() != m_table->currentIndex().data(Qt::EditRole).toString();
    });
}

void PlannerWindow::openProject(const Project* project, const QString& path) {
    m_path = path;
    if (project != nullptr) {
        m_session.open(*project);
    } else {
        m_session.startNew();
    }
}

void PlannerWindow::selectGroup(std::size_t i) {
    m_session.select(i);
}

void PlannerWindow::showGroup() {
    const std::optional<std::size_t> group = m_session.selected();
    {
        // The table follows the session's selection without telling it again.
        const bool following = std::exchange(m_following, true);
        if (group) {
            m_table->setCurrentIndex(m_groups->index(static_cast<int>(*group), 0));
        } else {
            m_table->clearSelection();
            m_table->setCurrentIndex({});
        }
        m_following = following;
    }
    m_calculator->bind(group ? m_session.document().group(*group).form : m_idle);
    m_calculator->setEnabled(group.has_value());
}

void PlannerWindow::showGroupFields() {
    const QSignalBlocker nameBlocker(m_groupName);
    const QSignalBlocker activityBlocker(m_activity);
    const std::optional<std::size_t> current = m_session.selected();
    m_groupName->setEnabled(current.has_value());
    m_activity->setEnabled(current.has_value());
    if (!current) {
        m_groupName->clear();
        m_activity->setValue(100);
        m_recorded->setText(QStringLiteral("no group: add one with Edit, Add group"));
        m_cameraPanel->showGroup(nullptr);
        return;
    }
    const ProjectDocument::Group& group = m_session.document().group(*current);
    m_groupName->setText(toQString(group.name));
    m_activity->setValue(group.activity);
    // The storage the table and the reports show: the calculator's storage times the activity.
    m_recorded->setText(toQString(m_session.document().result(*current).storage).trimmed());
    m_cameraPanel->showGroup(&m_session.document().result(*current));
}

void PlannerWindow::keepRecovery() {
    if (!isModified() && !holdsTyping()) {
        m_recoveryTimer->stop();
        m_recovery.remove();
    } else if (!m_recoveryTimer->isActive()) {
        m_recoveryTimer->start();
    }
}

std::string PlannerWindow::recoveryText() const {
    if (!holdsTyping()) {
        return projectText(project());
    }
    // What is typed and not yet entered goes into a scratch copy of the project, so that no
    // undo step is made and no box the user is typing in changes.
    PlannerSession scratch;
    scratch.open(project().toProject());
    scratch.renameProject(typedProjectName().value_or(std::string()));
    if (const std::optional<std::size_t> group = m_session.selected()) {
        scratch.renameGroup(*group, fromQString(m_groupName->text()));
        if (m_cameraPanel->holdsTyping()) {
            scratch.editCamera(*group, CameraField::Camera, m_cameraPanel->inputs());
        }
        for (const auto& [field, inputs] : m_cameraPanel->typedEdits()) {
            scratch.editCamera(*group, field, inputs);
        }
        if (const std::optional<double> activity = TypedValue(m_activity)) {
            scratch.setActivity(*group, *activity);
        }
    }
    for (const auto& [field, inputs] : m_plan->typedEdits()) {
        scratch.editPlan(field, inputs);
    }
    m_site->applyTyping(scratch);
    const QModelIndex cell = m_table->currentIndex();
    for (const QLineEdit* editor :
         m_table->viewport()->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (cell.isValid() && editor->isVisible()) {
            editCell(scratch, static_cast<std::size_t>(cell.row()), cell.column(), editor->text());
        }
    }
    return projectText(scratch.document());
}

void PlannerWindow::writeRecovery() {
    if ((isModified() || holdsTyping()) && !m_recovery.write(recoveryText(), m_path)) {
        statusBar()->showMessage(
            QStringLiteral("Cannot keep a recovery copy of the unsaved changes in %1")
                .arg(RecoveryCopy::folder()),
            10000);
    }
}

bool PlannerWindow::offerRecovery() {
    for (const RecoveryCopy::Orphan& orphan : RecoveryCopy::orphans()) {
        const ProjectParse parsed = ReadProjectFile(fromQString(orphan.copyPath));
        if (!parsed.project) {
            RecoveryCopy::setAside(orphan);
            fail(QStringLiteral("Cannot recover unsaved changes"),
                 QStringLiteral("%1: %2. The copy is kept beside it, ending in .damaged.")
                     .arg(orphan.copyPath, toQString(parsed.error)));
            continue;
        }
        QString project = QStringLiteral("a project never saved");
        if (parsed.project->name) {
            project = QLatin1Char('"') + toQString(*parsed.project->name) + QLatin1Char('"');
        } else if (!orphan.originalPath.isEmpty()) {
            project = QFileInfo(orphan.originalPath).fileName();
        }
        // A title short enough for any window manager's title bar; the question is the text.
        QMessageBox box(QMessageBox::Question, QStringLiteral("Unsaved changes"),
                        QStringLiteral("Recover unsaved changes?"), QMessageBox::NoButton, this);
        box.setInformativeText(
            QStringLiteral("The planner ended before the changes to %1 were saved. They were "
                           "kept at %2%3.")
                .arg(project, QLocale().toString(orphan.written, QLocale::ShortFormat),
                     orphan.originalPath.isEmpty()
                         ? QString()
                         : QStringLiteral("; the project's file is %1").arg(orphan.originalPath)));
        QPushButton* recover = box.addButton(QStringLiteral("Recover"), QMessageBox::AcceptRole);
        QPushButton* discard =
            box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
        box.setDefaultButton(recover);
        box.exec();
        if (box.clickedButton() == discard) {
            RecoveryCopy::discard(orphan);
            continue;
        }
        if (box.clickedButton() != recover) {
            continue; // closed unanswered: offered again at the next start
        }
        openProject(&*parsed.project, orphan.originalPath);
        m_session.markUnsaved(); // unsaved until Save writes it to its file
        writeRecovery();         // kept as this window's copy before the old one goes
        RecoveryCopy::discard(orphan);
        return true;
    }
    return false;
}

void PlannerWindow::sessionEnds(QSessionManager& manager) {
    commitTyping();
    writeRecovery();
    if (isModified() && manager.allowsInteraction()) {
        if (!maybeSave()) {
            manager.cancel();
        }
        manager.release();
    }
}

void PlannerWindow::beforeGroupChange(const ProjectDocument::GroupChange& change) {
    using Kind = ProjectDocument::GroupChange::Kind;
    m_following = true;
    // The panel lets go of a form that is about to be destroyed, before the table or anything
    // else hears of the change.
    const bool goes =
        change.kind == Kind::Reset ||
        (change.kind == Kind::Remove && &m_calculator->model() == &project().group(change.at).form);
    if (goes) {
        m_calculator->bind(m_idle);
    }
    m_groups->beforeGroupChange(change);
}

void PlannerWindow::afterGroupChange(const ProjectDocument::GroupChange& change) {
    m_groups->afterGroupChange(change);
}

void PlannerWindow::sessionChanged(const SessionChange& change) {
    m_following = true;
    for (const std::size_t row : change.rows) {
        m_groups->groupChanged(row);
    }
    if (change.selection || change.form) {
        showGroup();
    } else if (!change.controls.empty()) {
        m_calculator->showChanges(change.controls);
    }
    if (change.selection || change.group) {
        showGroupFields();
    }
    if (change.plan) {
        m_plan->showSettings({project().storage(), project().recorder()});
    }
    if (change.totals) {
        m_plan->showFigures(project().totals());
    }
    if (change.name) {
        showProjectName();
    }
    m_site->sessionChanged(change);
    watchTyping(m_site); // its list's boxes are made anew as the site changes
    if (!change.error.empty() || !change.note.empty()) {
        statusBar()->showMessage(toQString(change.error.empty() ? change.note : change.error),
                                 10000);
    }
    const std::optional<std::string> undo = m_session.undoText();
    const std::optional<std::string> redo = m_session.redoText();
    m_actions->undo->setEnabled(undo.has_value());
    m_actions->undo->setText(QStringLiteral("&Undo") +
                             (undo ? QLatin1Char(' ') + toQString(*undo) : QString()));
    m_actions->redo->setEnabled(redo.has_value());
    m_actions->redo->setText(QStringLiteral("&Redo") +
                             (redo ? QLatin1Char(' ') + toQString(*redo) : QString()));
    updateActions();
    updateTitle(); // and keeps the recovery copy
    m_following = false;
}

void PlannerWindow::showProjectName() {
    const QString name = project().name() ? toQString(*project().name()) : QString();
    if (m_projectName->text() != name) {
        const QSignalBlocker blocker(m_projectName);
        m_projectName->setText(name);
    }
}

void PlannerWindow::updateTitle() {
    QString name = project().name() ? toQString(*project().name()) : QString();
    if (name.isEmpty()) {
        name = m_path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(m_path).fileName();
    }
    setWindowTitle(name + QStringLiteral("[*] - Lenstally Planner"));
    setWindowModified(isModified() || holdsTyping());
    keepRecovery(); // typing not yet entered is kept too
}

void PlannerWindow::updateActions() {
    const std::optional<std::size_t> current = m_session.selected();
    m_actions->duplicate->setEnabled(current.has_value());
    m_actions->remove->setEnabled(current.has_value());
    m_actions->up->setEnabled(current && *current > 0);
    m_actions->down->setEnabled(current && *current + 1 < project().groupCount());
}

void PlannerWindow::tableEdited(std::size_t group, int column, const QVariant& value) {
    editCell(m_session, group, column, value);
}

void PlannerWindow::addGroup(bool duplicate) {
    if (duplicate) {
        m_session.duplicateGroup();
    } else {
        m_session.addGroup();
    }
    m_groupName->setFocus();
    m_groupName->selectAll();
}

void PlannerWindow::removeGroup() {
    m_session.removeGroup();
}

void PlannerWindow::moveGroup(int by) {
    if (by < 0) {
        m_session.moveGroupUp();
    } else {
        m_session.moveGroupDown();
    }
}

void PlannerWindow::fail(const QString& title, const QString& text) {
    m_notice(title, text);
}

bool PlannerWindow::maybeSave() {
    commitTyping();
    if (!isModified()) {
        return true;
    }
    const QString name =
        m_path.isEmpty() ? QStringLiteral("this project") : QFileInfo(m_path).fileName();
    switch (m_prompt(QStringLiteral("Save the changes to %1 before closing it?").arg(name))) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        m_recoveryTimer->stop();
        m_recovery.remove();
        return true;
    default:
        return false;
    }
}

bool PlannerWindow::openFile(const QString& path) {
    if (!maybeSave()) {
        return false;
    }
    const ProjectParse parsed = ReadProjectFile(fromQString(path));
    if (!parsed.project) {
        fail(QStringLiteral("Cannot open the project"),
             path + QStringLiteral(": ") + toQString(parsed.error));
        return false;
    }
    openProject(&*parsed.project, QFileInfo(path).absoluteFilePath());
    addRecent(path);
    return true;
}

bool PlannerWindow::saveTo(const QString& path) {
    commitTyping(); // what is being typed is saved too
    QSaveFile file(path);
    const std::string text = projectText(project());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        fail(QStringLiteral("Cannot save the project"),
             QStringLiteral("%1: %2. The project is not saved; any earlier file is unchanged.")
                 .arg(path, file.errorString()));
        return false;
    }
    m_path = QFileInfo(path).absoluteFilePath();
    m_session.markSaved();
    addRecent(path);
    statusBar()->showMessage(QStringLiteral("Saved %1").arg(path), 5000);
    return true;
}

bool PlannerWindow::save() {
    return m_path.isEmpty() ? saveAs() : saveTo(m_path);
}

QString PlannerWindow::askSavePath(const QString& title, const QString& filter,
                                   const QString& suffix, const QString& suggestion) {
    // The dialog itself adds the suffix to a name typed without one, before it asks whether to
    // replace an existing file, so the question names the file that is written. Qt's own dialog
    // does so on every desktop; a desktop's native dialog may not.
    QFileDialog dialog(this, title, suggestion, filter);
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

bool PlannerWindow::saveAs() {
    const QString path = askSavePath(QStringLiteral("Save project"), kProjectFilter,
                                     QStringLiteral("lenstally.json"), m_path);
    return !path.isEmpty() && saveTo(path);
}

void PlannerWindow::openDialog() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open project"),
                                                      QFileInfo(m_path).path(), kProjectFilter);
    if (!path.isEmpty()) {
        openFile(path);
    }
}

bool PlannerWindow::exportReport(const QString& path) {
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        return exportReport(path, ReportFormat::Pdf);
    }
    if (path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive)) {
        return exportReport(path, ReportFormat::Page);
    }
    return exportReport(path, path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)
                                  ? ReportFormat::Csv
                                  : ReportFormat::Json);
}

bool PlannerWindow::exportReport(const QString& path, ReportFormat format) {
    commitTyping();
    const ProjectResult result = project().result();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("Cannot export"), path + QStringLiteral(": ") + file.errorString());
        return false;
    }
    if (format == ReportFormat::Page) {
        QFile source(browserEditionPage());
        if (!source.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("Cannot export"),
                 QStringLiteral("The browser edition's page cannot be read: ") +
                     (source.fileName().isEmpty() ? QStringLiteral("it was not built")
                                                  : source.errorString()));
            return false;
        }
        const QByteArray text = source.readAll();
        const std::optional<std::string> built = PageWithProject(
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
            projectText(project()), m_session.selected());
        if (!built) {
            fail(QStringLiteral("Cannot export"),
                 source.fileName() + QStringLiteral(" is not the browser edition's page"));
            return false;
        }
        file.write(built->data(), static_cast<qint64>(built->size()));
    } else if (format == ReportFormat::Pdf) {
        QPdfWriter writer(&file);
        writer.setTitle(result.name ? toQString(*result.name) : QStringLiteral("Lenstally plan"));
        writer.setCreator(QStringLiteral("Lenstally Planner"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        PrintReport(result, QDate::currentDate(), writer);
    } else {
        std::string text;
        if (format == ReportFormat::Csv) {
            WriteProjectCsv(result, text);
        } else {
            WriteProjectJson(result, text);
        }
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    if (!file.commit()) {
        fail(QStringLiteral("Cannot export"), path + QStringLiteral(": ") + file.errorString());
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Exported %1").arg(path), 5000);
    return true;
}

void PlannerWindow::exportDialog(const QString& title, const QString& filter, ReportFormat format) {
    const QString suffix = format == ReportFormat::Pdf    ? QStringLiteral("pdf")
                           : format == ReportFormat::Csv  ? QStringLiteral("csv")
                           : format == ReportFormat::Page ? QStringLiteral("html")
                                                          : QStringLiteral("json");
    QString suggestion = m_path.isEmpty() ? QStringLiteral("plan") : m_path;
    suggestion.remove(QStringLiteral(".lenstally.json")).remove(QStringLiteral(".json"));
    const QString path = askSavePath(title, filter, suffix, suggestion + QLatin1Char('.') + suffix);
    if (!path.isEmpty()) {
        exportReport(path, format);
    }
}

void PlannerWindow::print() {
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        PrintReport(project().result(), QDate::currentDate(), printer);
    }
}

void PlannerWindow::fillRecentMenu() {
    m_recentMenu->clear();
    const QStringList recent = QSettings().value(QStringLiteral("recentFiles")).toStringList();
    for (const QString& path : recent) {
        QAction* action = m_recentMenu->addAction(QFileInfo(path).fileName());
        action->setToolTip(path);
        connect(action, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    if (recent.isEmpty()) {
        m_recentMenu->addAction(QStringLiteral("No recent projects"))->setEnabled(false);
    }
}

void PlannerWindow::closeEvent(QCloseEvent* event) {
    if (maybeSave()) {
        QSettings().setValue(kGeometryKey, saveGeometry());
        m_recoveryTimer->stop();
        m_recovery.remove();
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace lenstally
