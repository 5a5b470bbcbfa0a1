// SPDX-License-Identifier: MIT
#pragma once
// The site plan on screen: the drawing the core works out (DrawingOf) painted in a graphics view,
// and beside it a list of every placed camera, zone and wall with typed boxes. Each gesture (a
// click placing a camera, a drag moving or turning one, the points of a wall or a zone, a typed
// value, Delete) is one call of the planner session; the panel only lays out what it answers.

#include <functional>
#include <optional>
#include <vector>

#include <QGraphicsView>
#include <QHash>
#include <QImage>
#include <QWidget>

#include "project/planner_session.hpp"
#include "project/site_drawing.hpp"

class QAbstractButton;
class QButtonGroup;
class QDoubleSpinBox;
class QGraphicsEllipseItem;
class QGraphicsItem;
class QGraphicsLineItem;
class QGraphicsPathItem;
class QGraphicsPolygonItem;
class QGraphicsRectItem;
class QLineEdit;
class QGraphicsSimpleTextItem;
class QGraphicsScene;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace lenstally {

/// What a click on the drawing does.
enum class SiteTool { Select, PlaceCamera, DrawWall, DrawZone, SetScale };

/// One thing on the plan the user can select.
struct SiteItem {
    enum class Kind { Camera, Zone, Wall };
    Kind kind = Kind::Camera;
    std::size_t index = 0; // a camera's position in SiteResult::placements, else in the section
    friend bool operator==(const SiteItem&, const SiteItem&) = default;
};

class SitePanel;

/// The drawing's view: zooms with the wheel and Ctrl++ / Ctrl+-, pans by a drag on empty space,
/// takes a drawing dropped on it, and hands the panel every click, drag and key meant for the
/// plan.
class SiteView : public QGraphicsView {
public:
    SiteView(SitePanel& panel, QGraphicsScene* scene, QWidget* parent);
    void zoomBy(double factor);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    SitePanel& m_panel;
};

class SitePanel : public QWidget {
public:
    using Notice = std::function<void(const QString& title, const QString& text)>;

    /// `commitTyping` takes in what the window's other boxes hold, as any command does first.
    SitePanel(PlannerSession& session, std::function<void()> commitTyping, Notice notice,
              QWidget* parent);
    ~SitePanel() override;
    SitePanel(const SitePanel&) = delete;
    SitePanel& operator=(const SitePanel&) = delete;

    /// Lays out what `change` says has changed; the drawing is redrawn only when the site, or a
    /// group whose cameras stand on it, changed.
    void sessionChanged(const SessionChange& change);
    /// Draws the plan and fills the list afresh from the session's figures.
    void showSite();
    /// Makes in `into` the edits that the list's number boxes (and the plan width) holding typing
    /// not yet entered would make once it is: a scratch copy for the recovery copy.
    void applyTyping(PlannerSession& into) const;

    SiteView* view() const { return m_view; }
    QGraphicsScene* scene() const { return m_scene; }
    QTreeWidget* list() const { return m_list; }
    SiteTool tool() const { return m_tool; }
    void setTool(SiteTool tool);
    std::optional<SiteItem> selection() const { return m_selected; }
    /// Selects `item`; a wall or zone shows a handle on each of its points.
    void select(std::optional<SiteItem> item);
    /// The point of the selected wall or zone last taken by its handle, which Delete removes.
    std::optional<std::size_t> pickedPoint() const { return m_pickedPoint; }
    /// The box holding the selected wall's or zone's points as text.
    QLineEdit* pointsBox() const { return m_pointsBox; }
    /// The box for the true distance between the two points the Set scale tool took.
    QDoubleSpinBox* scaleBox() const { return m_scaleMetres; }
    /// The plan's position, in metres, of a point of the view's viewport.
    QPointF planAt(const QPoint& viewportPoint) const;

    // Gestures, as the view hands them on (points in metres on the plan).
    void pressAt(const QPointF& at, Qt::KeyboardModifiers modifiers);
    void dragTo(const QPointF& at);
    void release();
    bool dragging() const { return m_drag.has_value(); }
    /// Ends the wall or zone being drawn (Enter, a double click).
    void finishOutline();
    void cancelOutline();
    /// Removes the picked point of the selected wall or zone, or else the selected camera, zone or
    /// wall.
    void removeSelected();
    /// Shows the whole plan, and keeps showing it as the view is resized until the user zooms.
    void fit();
    /// The user zoomed: the view keeps its zoom from now on.
    void zoomed() { m_fitted = false; }
    /// The view's size changed.
    void viewResized();

    /// Writes the command line's SVG of the plan to `path` atomically; on failure tells why.
    bool exportSvg(const QString& path);
    /// Reads a PNG, JPEG or SVG file and lays it over the plan; on failure tells why.
    bool loadDrawing(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Drag {
        std::size_t group = 0;
        std::size_t index = 0;
        bool turn = false;
        bool point = false; // a point of the selected wall or zone (`index`), not a camera
    };
    struct ListRows {
        std::size_t cameras = 0;
        std::size_t zones = 0;
        std::size_t walls = 0;
        friend bool operator==(const ListRows&, const ListRows&) = default;
    };

    // The items drawing each thing, kept so that a change redraws only what it touches.
    struct CameraItems {
        QGraphicsItem* bands = nullptr; // each level's ring, in order
        QGraphicsEllipseItem* mark = nullptr;
        QGraphicsLineItem* aim = nullptr;
        QGraphicsSimpleTextItem* label = nullptr;
    };
    struct ZoneItems {
        QGraphicsPolygonItem* outline = nullptr;
        QGraphicsSimpleTextItem* label = nullptr;
    };

    void buildStartPage(QWidget* page);
    void buildPlanPage(QWidget* page);
    void drawScene(SiteDrawing drawing);
    void drawPlan(const SiteDrawing& drawing);
    void drawCamera(std::size_t i, const SiteDrawing::Camera& camera, const SiteDrawing& drawing);
    void drawZone(std::size_t i, const SiteDrawing::Zone& zone, const SiteDrawing& drawing);
    void drawWall(std::size_t i, const std::vector<site::Point>& wall, const SiteDrawing& drawing);
    QGraphicsItem* itemOf(SiteItem item) const;
    void drawOutline();
    void drawPoints();
    // The selected wall's or zone's points, or none.
    std::vector<site::Point> selectedPoints() const;
    std::optional<std::size_t> pointAt(const QPointF& at) const;
    void pointsEntered();
    void scaleEntered();
    void fillList(const SiteResult& site);
    void updateList(const SiteResult& site);
    void listSelectionChanged();
    void sceneSelectionChanged();
    std::optional<SiteItem> itemAt(const QPointF& at) const;
    const QImage& imageOf(const std::string& url);
    void fail(const QString& title, const QString& text);
    // The session, once what other boxes hold is taken in.
    PlannerSession& editing();

    PlannerSession& m_session;
    std::function<void()> m_commitTyping;
    Notice m_notice;
    QStackedWidget* m_pages = nullptr;
    QDoubleSpinBox* m_startWidth = nullptr;
    QDoubleSpinBox* m_startHeight = nullptr;
    QDoubleSpinBox* m_planWidth = nullptr;
    QDoubleSpinBox* m_scaleMetres = nullptr;
    QLineEdit* m_pointsBox = nullptr;
    QButtonGroup* m_tools = nullptr;
    QGraphicsScene* m_scene = nullptr;
    SiteView* m_view = nullptr;
    QTreeWidget* m_list = nullptr;
    QTreeWidgetItem* m_cameraRows = nullptr;
    QTreeWidgetItem* m_zoneRows = nullptr;
    QTreeWidgetItem* m_wallRows = nullptr;
    ListRows m_rows;
    SiteTool m_tool = SiteTool::Select;
    std::optional<SiteItem> m_selected;
    std::optional<std::size_t> m_pickedPoint;
    std::optional<Drag> m_drag;
    std::vector<QPointF> m_outline; // the wall or zone being drawn
    QGraphicsPathItem* m_outlineItem = nullptr;
    std::optional<SiteDrawing> m_drawn; // what the scene shows
    std::vector<CameraItems> m_cameraItems;
    std::vector<ZoneItems> m_zoneItems;
    std::vector<QGraphicsPathItem*> m_wallItems;
    std::vector<QGraphicsRectItem*> m_pointItems; // the selected outline's handles
    bool m_syncing = false;                       // the panel itself is selecting, not the user
    bool m_fitted = false; // the view shows the whole plan, and follows its size
    QString m_imageUrl;
    QImage m_image; // the drawing's image, decoded once per URL
};

} // namespace lenstally
