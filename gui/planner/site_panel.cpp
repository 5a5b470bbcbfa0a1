// SPDX-License-Identifier: MIT
#include "gui/planner/site_panel.hpp"

#include "estimation/portable_math.hpp"

#include <algorithm>
#include <cmath>

#include <QButtonGroup>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGraphicsEllipseItem>
#include <QGraphicsPathItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QSvgRenderer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "gui/calculator/form1_view.hpp"
#include "gui/planner/number_box.hpp"
#include "gui/planner/typed_value.hpp"
#include "project/site_lines.hpp"
#include "project/site_points_text.hpp"
#include "project/site_svg.hpp"

namespace lenstally {
namespace {

// What a graphics item stands for, kept in its data.
constexpr int kKindKey = 0;
constexpr int kIndexKey = 1;
// Pixels around a camera's mark that still take it.
constexpr double kCameraRadius = 6;
// Half the side, in pixels, of the handle on each point of the selected wall or zone.
constexpr double kPointHandle = 4;
// Columns of the list.
enum Column { ItemColumn, XColumn, YColumn, HeadingColumn, LabelColumn, ColumnCount };

QColor colour(std::uint32_t rgb, double opacity = 1) {
    QColor c = QColor::fromRgb(static_cast<QRgb>(rgb));
    c.setAlphaF(static_cast<float>(opacity));
    return c;
}

QPolygonF polygonOf(const std::vector<site::Point>& points) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const site::Point& p : points) {
        polygon << QPointF(p.x, p.y);
    }
    return polygon;
}

QPen inkPen(std::uint32_t rgb, double width) {
    QPen pen(colour(rgb), width);
    pen.setCosmetic(true);
    return pen;
}

void tag(QGraphicsItem* item, SiteItem what) {
    item->setData(kKindKey, static_cast<int>(what.kind));
    item->setData(kIndexKey, static_cast<qulonglong>(what.index));
    item->setFlag(QGraphicsItem::ItemIsSelectable);
}

std::optional<SiteItem> tagOf(const QGraphicsItem* item) {
    if (item == nullptr || !item->data(kKindKey).isValid()) {
        return std::nullopt;
    }
    return SiteItem{static_cast<SiteItem::Kind>(item->data(kKindKey).toInt()),
                    static_cast<std::size_t>(item->data(kIndexKey).toULongLong())};
}

// A label that keeps its size in pixels whatever the zoom.
QGraphicsSimpleTextItem* addLabel(QGraphicsScene& scene, const std::string& text, QPointF at,
                                  std::uint32_t ink, bool centred) {
    auto* label = scene.addSimpleText(toQString(text));
    label->setBrush(colour(ink));
    label->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    label->setAcceptedMouseButtons(Qt::NoButton);
    const QRectF box = label->boundingRect();
    label->setPos(at);
    label->setTransform(centred ? QTransform::fromTranslate(-box.width() / 2, -box.height() / 2)
                                : QTransform::fromTranslate(6, -box.height() - 2));
    label->setZValue(5);
    return label;
}

// The data URL's bytes and type: "data:image/png;base64,...".
std::optional<std::pair<QByteArray, QByteArray>> decodeDataUrl(const std::string& url) {
    const QByteArray text = QByteArray::fromStdString(url);
    const qsizetype comma = text.indexOf(',');
    if (!text.startsWith("data:") || comma < 0) {
        return std::nullopt;
    }
    const QByteArray head = text.mid(5, comma - 5);
    const QByteArray body = text.mid(comma + 1);
    const QList<QByteArray> parts = head.split(';');
    const QByteArray bytes = parts.contains("base64") ? QByteArray::fromBase64(body)
                                                      : QByteArray::fromPercentEncoding(body);
    return std::pair{parts.value(0), bytes};
}

QDoubleSpinBox* rowBox(double minimum, double maximum, const QString& name, QWidget* parent) {
    auto* box = new NumberBox(minimum, maximum, parent);
    box->setAccessibleName(name);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    return box;
}

void setBoxValue(QDoubleSpinBox* box, double value) {
    if (box != nullptr && box->value() != value) {
        const QSignalBlocker blocker(box);
        box->setValue(value);
    }
}

// What one camera sees, as one item: a plan of hundreds of cameras draws far faster than with an
// item per ring. Each level's band is its ring with the next level's as a hole, as the SVG
// drawing has it: the translucent bands never lie over one another, and each pixel of a view is
// filled once.
class ViewBands : public QGraphicsItem {
public:
    void set(const SiteDrawing::Camera& camera, double opacity) {
        prepareGeometryChange();
        m_bounds = QRectF();
        for (std::size_t level = 0; level < kViewLevelCount; ++level) {
            QPainterPath band;
            band.setFillRule(Qt::OddEvenFill);
            if (camera.bands[level].ring.size() >= 3) {
                band.addPolygon(polygonOf(camera.bands[level].ring));
                if (level + 1 < kViewLevelCount && camera.bands[level + 1].ring.size() >= 3) {
                    band.addPolygon(polygonOf(camera.bands[level + 1].ring));
                }
            }
            m_bands[level] = band;
            m_colours[level] = colour(camera.bands[level].colour, opacity);
            m_bounds = m_bounds.united(band.boundingRect());
        }
    }
    QRectF boundingRect() const override { return m_bounds; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* /*option*/,
               QWidget* /*widget*/) override {
        painter->setPen(Qt::NoPen);
        for (std::size_t level = 0; level < kViewLevelCount; ++level) {
            if (!m_bands[level].isEmpty()) {
                painter->setBrush(m_colours[level]);
                painter->drawPath(m_bands[level]);
            }
        }
    }

private:
    std::array<QPainterPath, kViewLevelCount> m_bands;
    std::array<QColor, kViewLevelCount> m_colours;
    QRectF m_bounds;
};

// The kind of outline a selected wall or zone is, as the session names it.
SiteOutline outlineOf(const SiteItem& item) {
    return item.kind == SiteItem::Kind::Wall ? SiteOutline::Wall : SiteOutline::Zone;
}

} // namespace

SiteView::SiteView(SitePanel& panel, QGraphicsScene* scene, QWidget* parent)
    : QGraphicsView(scene, parent), m_panel(panel) {
    setRenderHint(QPainter::Antialiasing);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setDragMode(QGraphicsView::ScrollHandDrag);
    // Every item sets its own pen and brush, and the pens are cosmetic.
    setOptimizationFlags(QGraphicsView::DontSavePainterState |
                         QGraphicsView::DontAdjustForAntialiasing);
    setAccessibleName(QStringLiteral("Site plan drawing"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAcceptDrops(true);
}

void SiteView::zoomBy(double factor) {
    m_panel.zoomed();
    const double now = transform().m11();
    const double next = std::clamp(now * factor, 1e-3, 1e4);
    scale(next / now, next / now);
}

void SiteView::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const QPointF at = m_panel.planAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        m_panel.pressAt(at, event->modifiers());
        if (m_panel.dragging() || m_panel.tool() != SiteTool::Select) {
            event->accept();
            return;
        }
    }
    QGraphicsView::mousePressEvent(event); // selects a zone or a wall, or pans
}

void SiteView::mouseMoveEvent(QMouseEvent* event) {
    if (m_panel.dragging()) {
        m_panel.dragTo(m_panel.planAt(event->position().toPoint()));
        event->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void SiteView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_panel.dragging()) {
        m_panel.release();
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
}

void SiteView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_panel.tool() == SiteTool::DrawWall || m_panel.tool() == SiteTool::DrawZone) {
        m_panel.finishOutline();
        event->accept();
        return;
    }
    QGraphicsView::mouseDoubleClickEvent(event);
}

void SiteView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::ZoomIn) ||
        (event->key() == Qt::Key_Plus && event->modifiers().testFlag(Qt::ControlModifier))) {
        zoomBy(1.25);
    } else if (event->matches(QKeySequence::ZoomOut)) {
        zoomBy(0.8);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_panel.finishOutline();
    } else if (event->key() == Qt::Key_Escape) {
        m_panel.cancelOutline();
    } else if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Backspace) {
        m_panel.removeSelected();
    } else {
        QGraphicsView::keyPressEvent(event);
        return;
    }
    event->accept();
}

namespace {

// The drawing file a drag carries: one local PNG, JPEG or SVG file; empty for anything else.
QString droppedDrawing(const QMimeData* data) {
    if (data == nullptr || data->urls().size() != 1 || !data->urls().front().isLocalFile()) {
        return {};
    }
    const QString path = data->urls().front().toLocalFile();
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("png") || suffix == QLatin1String("jpg") ||
                   suffix == QLatin1String("jpeg") || suffix == QLatin1String("svg")
               ? path
               : QString();
}

} // namespace

void SiteView::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedDrawing(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void SiteView::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedDrawing(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void SiteView::dropEvent(QDropEvent* event) {
    const QString path = droppedDrawing(event->mimeData());
    if (!path.isEmpty()) {
        event->acceptProposedAction();
        m_panel.loadDrawing(path);
    }
}

void SiteView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    m_panel.viewResized();
}

void SiteView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) {
        zoomBy(std::pow(1.15, steps));
    }
    event->accept();
}

SitePanel::SitePanel(PlannerSession& session, std::function<void()> commitTyping, Notice notice,
                     QWidget* parent)
    : QWidget(parent), m_session(session), m_commitTyping(std::move(commitTyping)),
      m_notice(std::move(notice)) {
    setAccessibleName(QStringLiteral("Site plan"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages);
    auto* start = new QWidget(m_pages);
    auto* plan = new QWidget(m_pages);
    m_pages->addWidget(start);
    m_pages->addWidget(plan);
    buildStartPage(start);
    buildPlanPage(plan);
    showSite();
}

SitePanel::~SitePanel() {
    // The scene goes first: clearing its selection as it goes must not reach the list, which
    // may be gone by the time the panel's children are deleted.
    m_scene->disconnect(this);
    delete m_scene;
}

void SitePanel::buildStartPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    m_startWidth = rowBox(1, 100000, QStringLiteral("Plan width"), page);
    m_startWidth->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_startWidth->setValue(100);
    m_startWidth->setSuffix(QStringLiteral(" m"));
    m_startHeight = rowBox(1, 100000, QStringLiteral("Plan height"), page);
    m_startHeight->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_startHeight->setValue(60);
    m_startHeight->setSuffix(QStringLiteral(" m"));
    form->addRow(QStringLiteral("Width:"), m_startWidth);
    form->addRow(QStringLiteral("Height:"), m_startHeight);
    auto* startButton = new QPushButton(QStringLiteral("Start site plan"), page);
    connect(startButton, &QPushButton::clicked, this, [this] {
        m_startWidth->interpretText();
        m_startHeight->interpretText();
        editing().startSite(m_startWidth->value(), m_startHeight->value());
    });
    auto* hint = new QLabel(
        QStringLiteral("The project has no site plan. Give its size in metres to start one; a "
                       "drawing of the site can be laid over it afterwards."),
        page);
    hint->setWordWrap(true);
    hint->setTextFormat(Qt::PlainText);
    layout->addWidget(hint);
    layout->addLayout(form);
    layout->addWidget(startButton, 0, Qt::AlignLeft);
    layout->addStretch(1);
}

void SitePanel::buildPlanPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    m_tools = new QButtonGroup(this);
    const std::pair<SiteTool, const char*> tools[] = {{SiteTool::Select, "Select"},
                                                      {SiteTool::PlaceCamera, "Place camera"},
                                                      {SiteTool::DrawWall, "Draw wall"},
                                                      {SiteTool::DrawZone, "Draw zone"},
                                                      {SiteTool::SetScale, "Set scale"}};
    for (const auto& [tool, text] : tools) {
        auto* button = new QToolButton(page);
        button->setText(QString::fromLatin1(text));
        button->setCheckable(true);
        button->setChecked(tool == SiteTool::Select);
        m_tools->addButton(button, static_cast<int>(tool));
        bar->addWidget(button);
    }
    connect(m_tools, &QButtonGroup::idClicked, this,
            [this](int id) { setTool(static_cast<SiteTool>(id)); });
    auto* fitButton = new QPushButton(QStringLiteral("Fit"), page);
    connect(fitButton, &QPushButton::clicked, this, [this] { fit(); });
    bar->addWidget(fitButton);
    auto* removeButton = new QPushButton(QStringLiteral("Remove site plan"), page);
    connect(removeButton, &QPushButton::clicked, this, [this] { editing().removeSite(); });
    bar->addWidget(removeButton);
    bar->addStretch(1);
    layout->addLayout(bar);
    // The drawing's own commands on a second row, so that the tab stays narrow.
    bar = new QHBoxLayout;
    auto* load = new QPushButton(QStringLiteral("Load drawing..."), page);
    connect(load, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("Load drawing"), QString(),
                                         QStringLiteral("Drawings (*.png *.jpg *.jpeg *.svg)"));
        if (!path.isEmpty()) {
            loadDrawing(path);
        }
    });
    bar->addWidget(load);
    auto* widthLabel = new QLabel(QStringLiteral("Plan width (m):"), page);
    m_planWidth = rowBox(1, 100000, QStringLiteral("Plan width (m)"), page);
    widthLabel->setBuddy(m_planWidth);
    connect(m_planWidth, &QDoubleSpinBox::valueChanged, this, [this](double width) {
        if (m_session.document().site() && width != m_session.document().site()->width) {
            editing().scaleSiteToWidth(width);
        }
    });
    bar->addWidget(widthLabel);
    bar->addWidget(m_planWidth);
    // The Set scale tool's distance: typed once its two points are clicked.
    auto* scaleLabel = new QLabel(QStringLiteral("Distance (m):"), page);
    m_scaleMetres = rowBox(0, 1e6, QStringLiteral("Distance between the two points (m)"), page);
    m_scaleMetres->setEnabled(false);
    scaleLabel->setBuddy(m_scaleMetres);
    connect(m_scaleMetres, &QDoubleSpinBox::editingFinished, this, [this] { scaleEntered(); });
    bar->addWidget(scaleLabel);
    bar->addWidget(m_scaleMetres);
    auto* exportButton = new QPushButton(QStringLiteral("Export drawing as SVG..."), page);
    connect(exportButton, &QPushButton::clicked, this, [this] {
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export drawing as SVG"),
                                                    QStringLiteral("site-plan.svg"),
                                                    QStringLiteral("SVG drawings (*.svg)"));
        if (!path.isEmpty()) {
            if (QFileInfo(path).suffix().isEmpty()) {
                path += QStringLiteral(".svg");
            }
            exportSvg(path);
        }
    });
    bar->addWidget(exportButton);
    bar->addStretch(1);
    layout->addLayout(bar);

    auto* splitter = new QSplitter(Qt::Horizontal, page);
    m_scene = new QGraphicsScene(this);
    m_view = new SiteView(*this, m_scene, splitter);
    connect(m_scene, &QGraphicsScene::selectionChanged, this, [this] { sceneSelectionChanged(); });
    auto* side = new QWidget(splitter);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    m_list = new QTreeWidget(side);
    m_list->setAccessibleName(QStringLiteral("Site plan items"));
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels({QStringLiteral("Item"), QStringLiteral("x (m) / level"),
                             QStringLiteral("y (m) / required"),
                             QStringLiteral("heading / covered"), QStringLiteral("label")});
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_cameraRows = new QTreeWidgetItem(m_list, {QStringLiteral("Cameras")});
    m_zoneRows = new QTreeWidgetItem(m_list, {QStringLiteral("Zones")});
    m_wallRows = new QTreeWidgetItem(m_list, {QStringLiteral("Walls")});
    for (QTreeWidgetItem* top : {m_cameraRows, m_zoneRows, m_wallRows}) {
        top->setFlags(Qt::ItemIsEnabled);
        top->setExpanded(true);
    }
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { listSelectionChanged(); });
    sideLayout->addWidget(m_list, 1);
    // The selected wall's or zone's points, to type or paste to the centimetre.
    auto* pointsLabel =
        new QLabel(QStringLiteral("Points (x y in metres, a semicolon between points):"), side);
    pointsLabel->setWordWrap(true);
    m_pointsBox = new QLineEdit(side);
    m_pointsBox->setAccessibleName(QStringLiteral("Points"));
    m_pointsBox->setEnabled(false);
    pointsLabel->setBuddy(m_pointsBox);
    connect(m_pointsBox, &QLineEdit::editingFinished, this, [this] { pointsEntered(); });
    sideLayout->addWidget(pointsLabel);
    sideLayout->addWidget(m_pointsBox);
    m_view->setMinimumSize(120, 120);
    m_list->setMinimumWidth(120);
    splitter->addWidget(m_view);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    // The list's natural width is its columns': the drawing would get what little is left.
    splitter->setSizes({600, 400});
    layout->addWidget(splitter, 1);
    // Delete in the list removes the selected row's whole item, even with one of its points
    // picked on the drawing; its typing boxes keep the key.
    m_list->installEventFilter(this);
}

bool SitePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Delete)) {
        m_pickedPoint.reset();
        removeSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SitePanel::setTool(SiteTool tool) {
    cancelOutline();
    m_scaleMetres->setEnabled(false);
    m_tool = tool;
    if (QAbstractButton* button = m_tools->button(static_cast<int>(tool))) {
        button->setChecked(true);
    }
    m_view->setDragMode(tool == SiteTool::Select ? QGraphicsView::ScrollHandDrag
                                                 : QGraphicsView::NoDrag);
}

void SitePanel::sessionChanged(const SessionChange& change) {
    // A group's name labels its cameras and its camera view shapes what they see.
    if (change.site || !change.shifts.empty() || !change.rows.empty() || change.group) {
        showSite();
    }
}

void SitePanel::showSite() {
    const std::optional<SiteResult>& site = m_session.document().siteResult();
    if (!site) {
        m_pages->setCurrentIndex(0);
        m_outline.clear();
        m_selected.reset();
        m_pickedPoint.reset();
        m_drag.reset();
        m_fitted = false;
        m_scene->clear();
        m_outlineItem = nullptr;
        m_pointItems.clear();
        m_drawn.reset();
        m_cameraItems.clear();
        m_zoneItems.clear();
        m_wallItems.clear();
        fillList(SiteResult{});
        return;
    }
    m_pages->setCurrentIndex(1);
    setBoxValue(m_planWidth, site->site.width);
    const bool first = !m_drawn;
    const QRectF shown = m_scene->sceneRect();
    drawScene(DrawingOf(*site));
    const ListRows rows{site->placements.size(), site->site.zones.size(), site->site.walls.size()};
    if (rows == m_rows) {
        updateList(*site);
    } else {
        fillList(*site);
    }
    select(m_selected);
    if (first || (m_fitted && m_scene->sceneRect() != shown)) {
        fit();
    }
}

namespace {

bool sameBands(const SiteDrawing::Camera& a, const SiteDrawing::Camera& b) {
    for (std::size_t level = 0; level < kViewLevelCount; ++level) {
        if (a.bands[level].ring != b.bands[level].ring ||
            a.bands[level].colour != b.bands[level].colour) {
            return false;
        }
    }
    return true;
}

bool sameZone(const SiteDrawing::Zone& a, const SiteDrawing::Zone& b) {
    return a.points == b.points && a.fill == b.fill && a.outline == b.outline &&
           a.label == b.label && a.labelAt == b.labelAt;
}

// Whether `b` is drawn as `a` but for its cameras, zones and walls, which are redrawn one by one.
bool samePlan(const SiteDrawing& a, const SiteDrawing& b) {
    return a.width == b.width && a.height == b.height && a.image == b.image && a.grid == b.grid &&
           a.scaleLength == b.scaleLength && a.scaleText == b.scaleText &&
           a.zoneOpacity == b.zoneOpacity && a.viewOpacity == b.viewOpacity && a.ink == b.ink &&
           a.gridColour == b.gridColour && a.cameras.size() == b.cameras.size() &&
           a.zones.size() == b.zones.size() && a.walls.size() == b.walls.size();
}

} // namespace

void SitePanel::drawScene(SiteDrawing drawing) {
    const QSignalBlocker blocker(m_scene);
    m_view->setAccessibleDescription(toQString(drawing.description));
    if (!m_drawn || !samePlan(*m_drawn, drawing)) {
        drawPlan(drawing);
    } else {
        // Only what changed: a dragged camera redraws itself and the zones it covers.
        for (std::size_t i = 0; i < drawing.cameras.size(); ++i) {
            const SiteDrawing::Camera& now = drawing.cameras[i];
            const SiteDrawing::Camera& was = m_drawn->cameras[i];
            if (now.at != was.at || now.aim != was.aim || now.label != was.label ||
                !sameBands(now, was)) {
                drawCamera(i, now, drawing);
            }
        }
        for (std::size_t i = 0; i < drawing.zones.size(); ++i) {
            if (!sameZone(drawing.zones[i], m_drawn->zones[i])) {
                drawZone(i, drawing.zones[i], drawing);
            }
        }
        for (std::size_t i = 0; i < drawing.walls.size(); ++i) {
            if (drawing.walls[i] != m_drawn->walls[i]) {
                drawWall(i, drawing.walls[i], drawing);
            }
        }
    }
    m_drawn = std::move(drawing);
}

void SitePanel::drawPlan(const SiteDrawing& drawing) {
    m_scene->clear();
    m_outlineItem = nullptr;
    m_pointItems.clear();
    m_cameraItems.assign(drawing.cameras.size(), {});
    m_zoneItems.assign(drawing.zones.size(), {});
    m_wallItems.assign(drawing.walls.size(), nullptr);
    const QRectF plan(0, 0, drawing.width, drawing.height);
    m_scene->setSceneRect(plan.adjusted(-drawing.width * 0.05, -drawing.height * 0.05,
                                        drawing.width * 0.05, drawing.height * 0.12));
    m_scene->addRect(plan, inkPen(drawing.gridColour, 1), QBrush(Qt::white))->setZValue(-3);
    if (drawing.image) {
        const QImage& image = imageOf(*drawing.image);
        if (!image.isNull()) {
            auto* picture = m_scene->addPixmap(QPixmap::fromImage(image));
            picture->setTransformationMode(Qt::SmoothTransformation);
            picture->setTransform(QTransform::fromScale(drawing.width / image.width(),
                                                        drawing.height / image.height()));
            picture->setZValue(-2);
        }
    } else if (drawing.grid > 0) {
        QPainterPath grid;
        // Counted, not summed, so that no line drifts off its multiple of the step.
        for (int k = 1; k * drawing.grid < drawing.width; ++k) {
            grid.moveTo(k * drawing.grid, 0);
            grid.lineTo(k * drawing.grid, drawing.height);
        }
        for (int k = 1; k * drawing.grid < drawing.height; ++k) {
            grid.moveTo(0, k * drawing.grid);
            grid.lineTo(drawing.width, k * drawing.grid);
        }
        m_scene->addPath(grid, inkPen(drawing.gridColour, 0))->setZValue(-2);
    }
    for (std::size_t i = 0; i < drawing.zones.size(); ++i) {
        drawZone(i, drawing.zones[i], drawing);
    }
    for (std::size_t i = 0; i < drawing.cameras.size(); ++i) {
        drawCamera(i, drawing.cameras[i], drawing);
    }
    for (std::size_t i = 0; i < drawing.walls.size(); ++i) {
        drawWall(i, drawing.walls[i], drawing);
    }
    // The scale bar below the plan's bottom-left corner.
    const double barY = drawing.height + drawing.height * 0.05;
    QPainterPath bar;
    bar.moveTo(0, barY);
    bar.lineTo(drawing.scaleLength, barY);
    m_scene->addPath(bar, inkPen(drawing.ink, 3));
    addLabel(*m_scene, drawing.scaleText, QPointF(drawing.scaleLength, barY), drawing.ink, false);
    drawOutline();
}

void SitePanel::drawZone(std::size_t i, const SiteDrawing::Zone& zone, const SiteDrawing& drawing) {
    ZoneItems& items = m_zoneItems[i];
    if (items.outline == nullptr) {
        items.outline = m_scene->addPolygon({});
        tag(items.outline, {SiteItem::Kind::Zone, i});
        items.outline->setZValue(-1);
        items.label = addLabel(*m_scene, {}, {}, drawing.ink, true);
    }
    items.outline->setPolygon(polygonOf(zone.points));
    items.outline->setPen(inkPen(zone.outline, 2));
    items.outline->setBrush(colour(zone.fill, drawing.zoneOpacity));
    items.label->setText(toQString(zone.label));
    const QRectF box = items.label->boundingRect();
    items.label->setTransform(QTransform::fromTranslate(-box.width() / 2, -box.height() / 2));
    items.label->setPos(zone.labelAt.x, zone.labelAt.y);
}

void SitePanel::drawCamera(std::size_t i, const SiteDrawing::Camera& camera,
                           const SiteDrawing& drawing) {
    CameraItems& items = m_cameraItems[i];
    if (items.mark == nullptr) {
        items.bands = new ViewBands;
        items.bands->setAcceptedMouseButtons(Qt::NoButton);
        m_scene->addItem(items.bands);
        // The mark keeps its size in pixels: drawn about the origin, placed at the camera.
        items.mark = new QGraphicsEllipseItem(-kCameraRadius, -kCameraRadius, 2 * kCameraRadius,
                                              2 * kCameraRadius);
        items.mark->setPen(inkPen(drawing.ink, 1.5));
        items.mark->setBrush(Qt::white);
        items.mark->setFlag(QGraphicsItem::ItemIgnoresTransformations);
        items.mark->setZValue(3);
        tag(items.mark, {SiteItem::Kind::Camera, i});
        items.aim = new QGraphicsLineItem(items.mark);
        items.aim->setPen(inkPen(drawing.ink, 2));
        m_scene->addItem(items.mark);
        items.label = addLabel(*m_scene, {}, {}, drawing.ink, false);
    }
    static_cast<ViewBands*>(items.bands)->set(camera, drawing.viewOpacity);
    const QPointF at(camera.at.x, camera.at.y);
    items.mark->setPos(at);
    items.aim->setLine(0, 0, camera.aim.x * 3 * kCameraRadius, camera.aim.y * 3 * kCameraRadius);
    items.label->setText(toQString(camera.label));
    items.label->setTransform(
        QTransform::fromTranslate(6, -items.label->boundingRect().height() - 2));
    items.label->setPos(at);
}

void SitePanel::drawWall(std::size_t i, const std::vector<site::Point>& wall,
                         const SiteDrawing& drawing) {
    QPainterPath path;
    for (std::size_t k = 0; k < wall.size(); ++k) {
        const QPointF p(wall[k].x, wall[k].y);
        k == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    QGraphicsPathItem*& item = m_wallItems[i];
    if (item == nullptr) {
        item = m_scene->addPath(path, inkPen(drawing.ink, 3));
        tag(item, {SiteItem::Kind::Wall, i});
        item->setZValue(1);
    } else {
        item->setPath(path);
    }
}

QGraphicsItem* SitePanel::itemOf(SiteItem item) const {
    switch (item.kind) {
    case SiteItem::Kind::Camera:
        return item.index < m_cameraItems.size() ? m_cameraItems[item.index].mark : nullptr;
    case SiteItem::Kind::Zone:
        return item.index < m_zoneItems.size() ? m_zoneItems[item.index].outline : nullptr;
    case SiteItem::Kind::Wall:
        return item.index < m_wallItems.size() ? m_wallItems[item.index] : nullptr;
    }
    return nullptr;
}

void SitePanel::drawOutline() {
    if (m_outline.empty()) {
        if (m_outlineItem != nullptr) {
            m_scene->removeItem(m_outlineItem);
            delete m_outlineItem;
            m_outlineItem = nullptr;
        }
        return;
    }
    QPainterPath path(m_outline.front());
    for (std::size_t k = 1; k < m_outline.size(); ++k) {
        path.lineTo(m_outline[k]);
    }
    if (m_outlineItem == nullptr) {
        QPen pen(Qt::blue, 2, Qt::DashLine);
        pen.setCosmetic(true);
        m_outlineItem = m_scene->addPath(path, pen);
        m_outlineItem->setZValue(6);
        m_outlineItem->setAcceptedMouseButtons(Qt::NoButton);
    } else {
        m_outlineItem->setPath(path);
    }
}

void SitePanel::applyTyping(PlannerSession& into) const {
    if (const std::optional<double> width = TypedValue(m_planWidth); width && *width > 0) {
        into.scaleSiteToWidth(*width);
    }
    if (m_selected && m_selected->kind != SiteItem::Kind::Camera && m_pointsBox->isEnabled() &&
        m_pointsBox->text() != toQString(PointsText(selectedPoints()))) {
        into.setPointsText(outlineOf(*m_selected), m_selected->index,
                           fromQString(m_pointsBox->text()));
    }
    const auto box = [this](QTreeWidgetItem* row, Column column) {
        return qobject_cast<const QDoubleSpinBox*>(m_list->itemWidget(row, column));
    };
    for (int r = 0; r < m_cameraRows->childCount(); ++r) {
        QTreeWidgetItem* row = m_cameraRows->child(r);
        const auto i = static_cast<std::size_t>(row->data(ItemColumn, Qt::UserRole).toULongLong());
        const std::pair<Column, PlacementField> fields[] = {
            {XColumn, PlacementField::X},
            {YColumn, PlacementField::Y},
            {HeadingColumn, PlacementField::Heading}};
        for (const auto& [column, field] : fields) {
            const std::optional<double> typed = TypedValue(box(row, column));
            const std::optional<SiteResult>& now = into.document().siteResult();
            if (typed && now && i < now->placements.size()) {
                const PlacementResult& shown = now->placements[i];
                Placement next = shown.placement;
                (field == PlacementField::X   ? next.x
                 : field == PlacementField::Y ? next.y
                                              : next.heading) = *typed;
                into.editPlacement(shown.group, shown.index, field, next);
            }
        }
    }
    for (int r = 0; r < m_zoneRows->childCount(); ++r) {
        QTreeWidgetItem* row = m_zoneRows->child(r);
        const auto i = static_cast<std::size_t>(row->data(ItemColumn, Qt::UserRole).toULongLong());
        const std::optional<double> typed = TypedValue(box(row, YColumn));
        const std::optional<SiteSection>& site = into.document().site();
        if (typed && site && i < site->zones.size()) {
            SiteZone zone = site->zones[i];
            zone.required = *typed;
            into.editZone(i, ZoneField::Required, std::move(zone));
        }
    }
}

void SitePanel::fillList(const SiteResult& site) {
    const QSignalBlocker blocker(m_list);
    for (QTreeWidgetItem* top : {m_cameraRows, m_zoneRows, m_wallRows}) {
        qDeleteAll(top->takeChildren());
    }
    m_rows = {site.placements.size(), site.site.zones.size(), site.site.walls.size()};
    for (std::size_t i = 0; i < site.placements.size(); ++i) {
        const PlacementResult& p = site.placements[i];
        auto* row = new QTreeWidgetItem(m_cameraRows, {toQString(p.label)});
        row->setData(ItemColumn, Qt::UserRole, static_cast<qulonglong>(i));
        const QString label = toQString(p.label);
        // The camera the row shows when the edit comes: groups may have moved since.
        const auto edit = [this, i](PlacementField field, auto change) {
            PlannerSession& session = editing();
            const std::optional<SiteResult>& now = session.document().siteResult();
            if (now && i < now->placements.size()) {
                const PlacementResult& shown = now->placements[i];
                Placement next = shown.placement;
                change(next);
                session.editPlacement(shown.group, shown.index, field, next);
            }
        };
        const std::pair<Column, PlacementField> boxes[] = {
            {XColumn, PlacementField::X},
            {YColumn, PlacementField::Y},
            {HeadingColumn, PlacementField::Heading}};
        for (const auto& [column, field] : boxes) {
            const QString name = column == XColumn   ? QStringLiteral("x of ")
                                 : column == YColumn ? QStringLiteral("y of ")
                                                     : QStringLiteral("Heading of ");
            QDoubleSpinBox* box = column == HeadingColumn ? rowBox(-1e6, 1e6, name + label, m_list)
                                                          : rowBox(0, 100000, name + label, m_list);
            m_list->setItemWidget(row, column, box);
            connect(box, &QDoubleSpinBox::valueChanged, this, [edit, f = field](double value) {
                edit(f, [f, value](Placement& next) {
                    (f == PlacementField::X   ? next.x
                     : f == PlacementField::Y ? next.y
                                              : next.heading) = value;
                });
            });
        }
        auto* own = new QLineEdit(m_list);
        own->setAccessibleName(QStringLiteral("Label of ") + label);
        own->setPlaceholderText(label);
        connect(own, &QLineEdit::textChanged, this, [edit](const QString& text) {
            edit(PlacementField::Label, [&text](Placement& next) {
                next.label = text.isEmpty() ? std::nullopt : std::optional(fromQString(text));
            });
        });
        m_list->setItemWidget(row, LabelColumn, own);
    }
    for (std::size_t i = 0; i < site.site.zones.size(); ++i) {
        auto* row = new QTreeWidgetItem(m_zoneRows);
        row->setData(ItemColumn, Qt::UserRole, static_cast<qulonglong>(i));
        const auto edit = [this, i](ZoneField field, auto change) {
            PlannerSession& session = editing();
            const std::optional<SiteSection>& s = session.document().site();
            if (s && i < s->zones.size()) {
                SiteZone zone = s->zones[i];
                change(zone);
                session.editZone(i, field, std::move(zone));
            }
        };
        auto* name = new QLineEdit(m_list);
        name->setAccessibleName(QStringLiteral("Zone name"));
        connect(name, &QLineEdit::textChanged, this, [edit](const QString& text) {
            edit(ZoneField::Name, [&text](SiteZone& z) { z.name = fromQString(text); });
        });
        m_list->setItemWidget(row, ItemColumn, name);
        auto* level = new QComboBox(m_list);
        for (const ViewLevelInfo& info : kViewLevels) {
            level->addItem(toQString(info.name));
        }
        level->setAccessibleName(QStringLiteral("Zone level"));
        connect(level, &QComboBox::currentIndexChanged, this, [edit](int index) {
            edit(ZoneField::Level, [index](SiteZone& z) {
                z.level = kViewLevels[static_cast<std::size_t>(std::max(index, 0))].level;
            });
        });
        m_list->setItemWidget(row, XColumn, level);
        QDoubleSpinBox* required = rowBox(0, 100, QStringLiteral("Required coverage"), m_list);
        required->setSuffix(QStringLiteral(" %"));
        connect(required, &QDoubleSpinBox::valueChanged, this, [edit](double value) {
            edit(ZoneField::Required, [value](SiteZone& z) { z.required = value; });
        });
        m_list->setItemWidget(row, YColumn, required);
    }
    for (std::size_t i = 0; i < site.site.walls.size(); ++i) {
        auto* row = new QTreeWidgetItem(m_wallRows, {QStringLiteral("Wall %1").arg(i + 1)});
        row->setData(ItemColumn, Qt::UserRole, static_cast<qulonglong>(i));
    }
    updateList(site);
}

void SitePanel::updateList(const SiteResult& site) {
    for (std::size_t i = 0; i < site.placements.size(); ++i) {
        const PlacementResult& p = site.placements[i];
        QTreeWidgetItem* row = m_cameraRows->child(static_cast<int>(i));
        const QString label = toQString(p.label);
        if (row->text(ItemColumn) != label) {
            row->setText(ItemColumn, label);
        }
        const std::pair<Column, double> values[] = {{XColumn, p.placement.x},
                                                    {YColumn, p.placement.y},
                                                    {HeadingColumn, p.placement.heading}};
        for (const auto& [column, value] : values) {
            auto* box = qobject_cast<QDoubleSpinBox*>(m_list->itemWidget(row, column));
            if (box != nullptr) {
                const QString name = box->accessibleName().section(QLatin1Char(' '), 0, 1) +
                                     QLatin1Char(' ') + label;
                if (box->accessibleName() != name) {
                    box->setAccessibleName(name);
                }
                setBoxValue(box, value);
            }
        }
        if (auto* own = qobject_cast<QLineEdit*>(m_list->itemWidget(row, LabelColumn))) {
            const QString text = toQString(p.placement.label.value_or(std::string()));
            if (own->placeholderText() != label) {
                own->setPlaceholderText(label);
                own->setAccessibleName(QStringLiteral("Label of ") + label);
            }
            if (own->text() != text && fromQString(own->text()) != p.placement.label) {
                const QSignalBlocker blocker(own);
                own->setText(text);
            }
        }
    }
    const std::vector<ZoneLine> lines = ZoneLines(site);
    for (std::size_t i = 0; i < site.site.zones.size() && i < lines.size(); ++i) {
        const SiteZone& zone = site.site.zones[i];
        QTreeWidgetItem* row = m_zoneRows->child(static_cast<int>(i));
        if (auto* name = qobject_cast<QLineEdit*>(m_list->itemWidget(row, ItemColumn));
            name != nullptr && fromQString(name->text()) != zone.name) {
            const QSignalBlocker blocker(name);
            name->setText(toQString(zone.name));
        }
        if (auto* level = qobject_cast<QComboBox*>(m_list->itemWidget(row, XColumn))) {
            const QSignalBlocker blocker(level);
            level->setCurrentIndex(static_cast<int>(zone.level));
        }
        setBoxValue(qobject_cast<QDoubleSpinBox*>(m_list->itemWidget(row, YColumn)), zone.required);
        row->setText(HeadingColumn, toQString(lines[i].covered + ' ' + lines[i].met));
    }
    for (std::size_t i = 0; i < site.site.walls.size(); ++i) {
        m_wallRows->child(static_cast<int>(i))
            ->setText(XColumn, QStringLiteral("%1 points").arg(site.site.walls[i].size()));
    }
}

void SitePanel::select(std::optional<SiteItem> item) {
    if (item != m_selected) {
        m_pickedPoint.reset();
    }
    m_selected = item;
    m_syncing = true;
    {
        const QSignalBlocker blockScene(m_scene);
        m_scene->clearSelection();
        if (QGraphicsItem* g = item ? itemOf(*item) : nullptr) {
            g->setSelected(true);
        }
    }
    {
        const QSignalBlocker blockList(m_list);
        m_list->clearSelection();
        if (item) {
            QTreeWidgetItem* top = item->kind == SiteItem::Kind::Camera ? m_cameraRows
                                   : item->kind == SiteItem::Kind::Zone ? m_zoneRows
                                                                        : m_wallRows;
            if (QTreeWidgetItem* row = top->child(static_cast<int>(item->index))) {
                row->setSelected(true);
                m_list->setCurrentItem(row);
            } else {
                m_selected.reset();
            }
        }
    }
    m_syncing = false;
    drawPoints();
}

std::vector<site::Point> SitePanel::selectedPoints() const {
    const std::optional<SiteSection>& site = m_session.document().site();
    if (!site || !m_selected) {
        return {};
    }
    const std::size_t i = m_selected->index;
    switch (m_selected->kind) {
    case SiteItem::Kind::Wall:
        return i < site->walls.size() ? site->walls[i] : std::vector<site::Point>{};
    case SiteItem::Kind::Zone:
        return i < site->zones.size() ? site->zones[i].points : std::vector<site::Point>{};
    case SiteItem::Kind::Camera:
        break;
    }
    return {};
}

void SitePanel::drawPoints() {
    for (QGraphicsRectItem* handle : m_pointItems) {
        m_scene->removeItem(handle);
        delete handle;
    }
    m_pointItems.clear();
    const std::vector<site::Point> points = selectedPoints();
    if (m_pickedPoint && *m_pickedPoint >= points.size()) {
        m_pickedPoint.reset();
    }
    const QRectF square(-kPointHandle, -kPointHandle, 2 * kPointHandle, 2 * kPointHandle);
    for (std::size_t k = 0; k < points.size(); ++k) {
        auto* handle = m_scene->addRect(square, QPen(Qt::black, 1),
                                        k == m_pickedPoint ? QBrush(Qt::red) : QBrush(Qt::white));
        handle->setFlag(QGraphicsItem::ItemIgnoresTransformations);
        handle->setAcceptedMouseButtons(Qt::NoButton);
        handle->setPos(points[k].x, points[k].y);
        handle->setZValue(7);
        m_pointItems.push_back(handle);
    }
    // The points box follows the selection, but not while it holds the user's typing.
    m_pointsBox->setEnabled(!points.empty());
    QString name = QStringLiteral("Points");
    if (!points.empty()) {
        const std::optional<SiteSection>& site = m_session.document().site();
        name += QStringLiteral(" of ") + (m_selected->kind == SiteItem::Kind::Wall
                                              ? QStringLiteral("Wall %1").arg(m_selected->index + 1)
                                              : toQString(site->zones[m_selected->index].name));
    }
    if (m_pointsBox->accessibleName() != name) {
        m_pointsBox->setAccessibleName(name);
    }
    const QString text = toQString(PointsText(points));
    if (!m_pointsBox->hasFocus() && m_pointsBox->text() != text) {
        m_pointsBox->setText(text);
    }
}

std::optional<std::size_t> SitePanel::pointAt(const QPointF& at) const {
    const double radius = (kPointHandle + 2) / std::max(m_view->transform().m11(), 1e-9);
    const std::vector<site::Point> points = selectedPoints();
    std::optional<std::size_t> nearest;
    double best = radius * radius;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double dx = points[k].x - at.x();
        const double dy = points[k].y - at.y();
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            nearest = k;
        }
    }
    return nearest;
}

void SitePanel::pointsEntered() {
    if (!m_selected || m_selected->kind == SiteItem::Kind::Camera ||
        m_pointsBox->text() == toQString(PointsText(selectedPoints()))) {
        return;
    }
    const SessionChange& change = editing().setPointsText(outlineOf(*m_selected), m_selected->index,
                                                          fromQString(m_pointsBox->text()));
    m_session.closeStep(); // the box's text is entered whole: a step of its own
    if (!change.error.empty()) {
        fail(m_pointsBox->accessibleName(), toQString(change.error));
    }
}

void SitePanel::scaleEntered() {
    if (m_tool != SiteTool::SetScale || m_outline.size() != 2 || !(m_scaleMetres->value() > 0)) {
        return;
    }
    const SitePoint a{m_outline[0].x(), m_outline[0].y()};
    const SitePoint b{m_outline[1].x(), m_outline[1].y()};
    const SessionChange& change = editing().scaleSite(a, b, m_scaleMetres->value());
    if (!change.error.empty()) {
        fail(QStringLiteral("Set scale"), toQString(change.error));
        return;
    }
    setTool(SiteTool::Select);
}

void SitePanel::listSelectionChanged() {
    if (m_syncing) {
        return;
    }
    const QList<QTreeWidgetItem*> rows = m_list->selectedItems();
    std::optional<SiteItem> item;
    if (!rows.isEmpty() && rows.front()->parent() != nullptr) {
        QTreeWidgetItem* top = rows.front()->parent();
        const auto kind = top == m_cameraRows ? SiteItem::Kind::Camera
                          : top == m_zoneRows ? SiteItem::Kind::Zone
                                              : SiteItem::Kind::Wall;
        item = SiteItem{kind, static_cast<std::size_t>(top->indexOfChild(rows.front()))};
    }
    select(item);
}

void SitePanel::sceneSelectionChanged() {
    if (m_syncing) {
        return;
    }
    const QList<QGraphicsItem*> items = m_scene->selectedItems();
    select(items.isEmpty() ? std::nullopt : tagOf(items.front()));
}

QPointF SitePanel::planAt(const QPoint& viewportPoint) const {
    return m_view->mapToScene(viewportPoint);
}

std::optional<SiteItem> SitePanel::itemAt(const QPointF& at) const {
    // Cameras keep their size in pixels: the nearest mark within its radius on screen.
    const double radius = (kCameraRadius + 2) / std::max(m_view->transform().m11(), 1e-9);
    const std::optional<SiteResult>& site = m_session.document().siteResult();
    std::optional<SiteItem> nearest;
    double best = radius * radius;
    for (std::size_t i = 0; site && i < site->placements.size(); ++i) {
        const Placement& p = site->placements[i].placement;
        const double d = (p.x - at.x()) * (p.x - at.x()) + (p.y - at.y()) * (p.y - at.y());
        if (d <= best) {
            best = d;
            nearest = SiteItem{SiteItem::Kind::Camera, i};
        }
    }
    return nearest;
}

PlannerSession& SitePanel::editing() {
    if (m_commitTyping) {
        m_commitTyping();
    }
    return m_session;
}

void SitePanel::pressAt(const QPointF& at, Qt::KeyboardModifiers modifiers) {
    // What a box elsewhere holds is taken in before the plan is edited, as a command does: an
    // edit selects its camera's group, and a cell left open would be taken in during it.
    editing();
    const std::optional<SiteResult>& site = m_session.document().siteResult();
    if (!site) {
        return;
    }
    const bool onPlan =
        at.x() >= 0 && at.y() >= 0 && at.x() <= site->site.width && at.y() <= site->site.height;
    switch (m_tool) {
    case SiteTool::Select:
        // A drag is a step of its own, whatever was edited before it.
        if (const std::optional<std::size_t> point = pointAt(at)) {
            m_pickedPoint = point;
            m_drag = Drag{0, *point, false, true};
            m_session.closeStep();
            drawPoints();
        } else if (const std::optional<SiteItem> camera = itemAt(at)) {
            select(camera);
            const PlacementResult& p = site->placements[camera->index];
            m_drag = Drag{p.group, p.index, modifiers.testFlag(Qt::ShiftModifier)};
            m_session.closeStep();
        }
        break;
    case SiteTool::PlaceCamera:
        if (const std::optional<std::size_t> group = m_session.selected(); group && onPlan) {
            const SessionChange& change = editing().placeCamera(*group, {at.x(), at.y()}, 0);
            if (change.error.empty()) {
                select(SiteItem{SiteItem::Kind::Camera,
                                m_session.document().siteResult()->placements.size() - 1});
            }
        }
        break;
    case SiteTool::DrawWall:
    case SiteTool::DrawZone:
        if (onPlan) {
            m_outline.push_back(at);
            drawOutline();
        }
        break;
    case SiteTool::SetScale:
        // The last two points clicked; then the true distance between them is typed.
        if (m_outline.size() == 2) {
            m_outline.erase(m_outline.begin());
        }
        m_outline.push_back(at);
        drawOutline();
        if (m_outline.size() == 2) {
            const QPointF apart = m_outline[1] - m_outline[0];
            m_scaleMetres->setEnabled(true);
            setBoxValue(m_scaleMetres, std::hypot(apart.x(), apart.y()));
            m_scaleMetres->setFocus();
            m_scaleMetres->selectAll();
        }
        break;
    }
}

void SitePanel::dragTo(const QPointF& at) {
    const std::optional<SiteSection>& site = m_session.document().site();
    if (m_drag && m_drag->point) {
        if (m_selected && m_selected->kind != SiteItem::Kind::Camera) {
            m_session.movePoint(outlineOf(*m_selected), m_selected->index, m_drag->index,
                                {at.x(), at.y()});
        } else {
            m_drag.reset();
        }
        return;
    }
    if (!m_drag || !site || m_drag->group >= m_session.document().groupCount() ||
        m_drag->index >= m_session.document().group(m_drag->group).placements.size()) {
        m_drag.reset();
        return;
    }
    Placement next = m_session.document().group(m_drag->group).placements[m_drag->index];
    if (m_drag->turn) {
        const double dx = at.x() - next.x;
        const double dy = at.y() - next.y;
        if (dx == 0 && dy == 0) {
            return;
        }
        // Clockwise from the top of the plan, y running down.
        next.heading = math::Atan2(dx, -dy) * 180 / 3.14159265358979323846;
        m_session.editPlacement(m_drag->group, m_drag->index, PlacementField::Heading, next);
    } else {
        next.x = std::clamp(at.x(), 0.0, site->width);
        next.y = std::clamp(at.y(), 0.0, site->height);
        m_session.editPlacement(m_drag->group, m_drag->index, PlacementField::Position, next);
    }
}

void SitePanel::release() {
    m_drag.reset();
    m_session.closeStep(); // the next drag is a step of its own
}

void SitePanel::finishOutline() {
    std::vector<SitePoint> points;
    for (const QPointF& p : m_outline) {
        points.push_back({p.x(), p.y()});
    }
    const SiteTool tool = m_tool;
    m_outline.clear();
    drawOutline();
    std::string refused;
    if (tool == SiteTool::DrawWall && points.size() >= 2) {
        refused = editing().addWall(std::move(points)).error;
    } else if (tool == SiteTool::DrawZone && points.size() >= 3) {
        const std::optional<SiteSection>& site = m_session.document().site();
        SiteZone zone;
        zone.name = "Zone " + std::to_string((site ? site->zones.size() : 0) + 1);
        zone.points = std::move(points);
        refused = editing().addZone(std::move(zone)).error;
    }
    if (!refused.empty()) {
        fail(tool == SiteTool::DrawWall ? QStringLiteral("Draw wall") : QStringLiteral("Draw zone"),
             toQString(refused));
    }
}

void SitePanel::cancelOutline() {
    m_outline.clear();
    drawOutline();
}

void SitePanel::removeSelected() {
    const std::optional<SiteResult>& site = editing().document().siteResult();
    if (!m_selected || !site) {
        return;
    }
    const SiteItem item = *m_selected;
    if (m_pickedPoint && item.kind != SiteItem::Kind::Camera) {
        const std::size_t point = *m_pickedPoint;
        m_pickedPoint.reset();
        const SessionChange& change = m_session.removePoint(outlineOf(item), item.index, point);
        if (!change.error.empty()) {
            fail(QStringLiteral("Delete point"), toQString(change.error));
        }
        return;
    }
    m_selected.reset();
    switch (item.kind) {
    case SiteItem::Kind::Camera:
        if (item.index < site->placements.size()) {
            const PlacementResult& p = site->placements[item.index];
            m_session.removePlacement(p.group, p.index);
        }
        break;
    case SiteItem::Kind::Zone:
        m_session.removeZone(item.index);
        break;
    case SiteItem::Kind::Wall:
        m_session.removeWall(item.index);
        break;
    }
}

void SitePanel::fit() {
    if (m_session.document().site()) {
        m_view->fitInView(m_scene->sceneRect(), Qt::KeepAspectRatio);
        m_fitted = true;
    }
}

void SitePanel::viewResized() {
    if (m_fitted) {
        fit();
    }
}

bool SitePanel::exportSvg(const QString& path) {
    const std::optional<SiteResult>& site = m_session.document().siteResult();
    if (!site) {
        fail(QStringLiteral("Export drawing as SVG"),
             QStringLiteral("The project has no site plan."));
        return false;
    }
    QSaveFile file(path);
    const std::string svg = SiteSvg(*site);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(svg.data(), static_cast<qint64>(svg.size())) !=
            static_cast<qint64>(svg.size()) ||
        !file.commit()) {
        fail(QStringLiteral("Export drawing as SVG"),
             QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool SitePanel::loadDrawing(const QString& path) {
    const QString title = QStringLiteral("Load drawing");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(title, QStringLiteral("Could not read %1: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    QByteArray type;
    double aspect = 0;
    if (QImage image; image.loadFromData(bytes, "PNG") || image.loadFromData(bytes, "JPEG")) {
        type = bytes.startsWith("\x89PNG") ? "image/png" : "image/jpeg";
        aspect = static_cast<double>(image.width()) / image.height();
    } else if (QSvgRenderer svg(bytes); svg.isValid()) {
        type = "image/svg+xml";
        const QRectF box = svg.viewBoxF();
        aspect = box.height() > 0 ? box.width() / box.height() : 0;
    } else {
        fail(title, QStringLiteral("%1 is not a PNG, JPEG or SVG image.").arg(path));
        return false;
    }
    const std::string url =
        "data:" + type.toStdString() + ";base64," + bytes.toBase64().toStdString();
    const SessionChange& change =
        editing().setSiteImage(url, aspect > 0 ? std::optional(aspect) : std::nullopt);
    if (!change.error.empty()) {
        fail(title, toQString(change.error));
        return false;
    }
    return true;
}

const QImage& SitePanel::imageOf(const std::string& url) {
    const QString key = toQString(url);
    if (key == m_imageUrl) {
        return m_image;
    }
    m_imageUrl = key;
    m_image = QImage();
    if (const auto decoded = decodeDataUrl(url)) {
        const auto& [type, bytes] = *decoded;
        if (type == "image/svg+xml") {
            // Drawn by Qt's SVG renderer into pixels, which runs no script the file may hold.
            QSvgRenderer svg(bytes);
            if (svg.isValid()) {
                QSizeF size = svg.viewBoxF().size();
                if (size.isEmpty()) {
                    size = QSizeF(1024, 1024);
                }
                size.scale(2048, 2048, Qt::KeepAspectRatio);
                m_image = QImage(size.toSize(), QImage::Format_ARGB32_Premultiplied);
                m_image.fill(Qt::white);
                QPainter painter(&m_image);
                svg.render(&painter);
            }
        } else {
            m_image.loadFromData(bytes);
        }
    }
    return m_image;
}

void SitePanel::fail(const QString& title, const QString& text) {
    if (m_notice) {
        m_notice(title, text);
    }
}

} // namespace lenstally
