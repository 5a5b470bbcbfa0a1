// SPDX-License-Identifier: MIT
#include "gui/planner/view_picture.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include "gui/calculator/form1_view.hpp"

namespace lenstally {
namespace {

// One colour per level, from Monitor to Inspect: hues told apart with the common colour-vision
// deficiencies too, light enough for dark text on them.
constexpr std::array<QRgb, kViewLevelCount> kLevelColours{0x8fcdf0, 0x4dbb9a, 0xf4ec7a,
                                                          0xf0bd4d, 0xe68a4d, 0xdba5c4};
constexpr QRgb kNoLevel = 0xe4e4e4;
constexpr QRgb kInk = 0x202020;

QColor levelColour(std::size_t i) {
    return QColor::fromRgb(kLevelColours[i]);
}

// The metres the picture shows from the camera: past the target, and as far as the farther
// levels reach where they reach not much farther than it.
double shownRange(const ViewFigures& view) {
    const double monitor = view.levels.front().distance;
    return std::max(view.distance * 1.25, std::min(monitor * 1.05, view.distance * 3));
}

QString levelName(const std::optional<ViewLevel>& level) {
    return level ? toQString(std::string(ViewLevelOf(*level).name)) : QStringLiteral("no level");
}

// Draws the key below the cone: a swatch and "Identify to 7.73 m" per level, in rows that fit
// `width`; returns the height it took.
qreal drawKey(QPainter& painter, const QPointF& topLeft, qreal width, const ViewFigures& view) {
    const QFontMetricsF metrics(painter.font());
    const qreal line = metrics.height() + 4;
    const qreal swatch = metrics.height() * 0.8;
    qreal x = topLeft.x();
    qreal y = topLeft.y();
    for (std::size_t i = view.levels.size(); i-- > 0;) {
        const LevelReach& reach = view.levels[i];
        const QString text = toQString(std::string(ViewLevelOf(reach.level).name) + " to " +
                                       MetresText(reach.distance));
        const qreal entry = swatch + 4 + metrics.horizontalAdvance(text) + 14;
        if (x > topLeft.x() && x + entry > topLeft.x() + width) {
            x = topLeft.x();
            y += line;
        }
        painter.setPen(QColor::fromRgb(kInk));
        painter.setBrush(levelColour(i));
        painter.drawRect(QRectF(x, y + (line - swatch) / 2, swatch, swatch));
        painter.drawText(QRectF(x + swatch + 4, y, entry, line), Qt::AlignLeft | Qt::AlignVCenter,
                         text);
        x += entry;
    }
    return y + line - topLeft.y();
}

// The height the key takes in `width`, found by drawing it where nothing shows.
qreal keyHeight(const QFont& font, qreal width, const ViewFigures& view) {
    QImage scratch(1, 1, QImage::Format_ARGB32);
    QPainter measure(&scratch);
    measure.setFont(font);
    return drawKey(measure, QPointF(0, 0), width, view);
}

} // namespace

void PaintViewPicture(QPainter& painter, const QRectF& area, const ViewFigures& view) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    const QFontMetricsF metrics(painter.font());
    const qreal margin = 8;
    const qreal key = keyHeight(painter.font(), area.width() - 2 * margin, view);
    // The cone's area: the full width, above the scale line and the key.
    const QRectF cone(area.left() + margin, area.top() + metrics.height() + 2 * margin,
                      area.width() - 2 * margin,
                      area.height() - key - 2 * metrics.height() - 5 * margin);
    if (cone.width() < 40 || cone.height() < 20) {
        painter.restore();
        return;
    }
    const QPointF camera(cone.left() + 14, cone.center().y());
    const double range = shownRange(view);
    const qreal perMetre = (cone.right() - camera.x()) / range;
    // The half-width of the cone one metre out, in metres, to scale; a lens near 180 degrees
    // is cut to what stays far outside the picture anyway.
    const double spread = std::min(view.widthPerMetre / 2, 1e4);
    auto wedge = [&](double metres) {
        const qreal x = camera.x() + metres * perMetre;
        const qreal half = metres * spread * perMetre;
        QPainterPath path(camera);
        path.lineTo(x, camera.y() - half);
        path.lineTo(x, camera.y() + half);
        path.closeSubpath();
        return path;
    };

    painter.save();
    painter.setClipRect(cone);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(kNoLevel));
    painter.drawPath(wedge(range));
    // Farthest first, so each nearer, more demanding level is drawn over the ones it holds in.
    for (std::size_t i = 0; i < view.levels.size(); ++i) {
        painter.setBrush(levelColour(i));
        painter.drawPath(wedge(std::min(view.levels[i].distance, range)));
    }
    painter.setPen(QPen(QColor::fromRgb(kInk), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wedge(range));

    // The target: a dashed line across the cone at its distance, and a mark on the axis.
    const qreal targetX = camera.x() + view.distance * perMetre;
    const qreal targetHalf = std::min(view.distance * spread * perMetre, cone.height());
    QPen dashed(QColor::fromRgb(kInk), 2, Qt::DashLine);
    painter.setPen(dashed);
    painter.drawLine(QPointF(targetX, camera.y() - targetHalf),
                     QPointF(targetX, camera.y() + targetHalf));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(kInk));
    painter.drawEllipse(QPointF(targetX, camera.y()), 4, 4);
    painter.restore();

    // The camera.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(kInk));
    painter.drawRect(QRectF(camera.x() - 14, camera.y() - 6, 12, 12));
    painter.drawPolygon(
        QPolygonF({camera + QPointF(-3, -4), camera + QPointF(0, 0), camera + QPointF(-3, 4)}));

    // The target's name above the cone, kept inside the picture.
    painter.setPen(QColor::fromRgb(kInk));
    const QString label = QStringLiteral("Target %1: %2")
                              .arg(toQString(MetresText(view.distance)), levelName(view.level));
    const qreal labelWidth = metrics.horizontalAdvance(label) + 4;
    const qreal labelX = std::clamp(targetX - labelWidth / 2, area.left() + margin,
                                    area.right() - margin - labelWidth);
    QFont bold = painter.font();
    bold.setBold(true);
    painter.save();
    painter.setFont(bold);
    painter.drawText(QRectF(labelX, area.top() + margin, labelWidth + 20, metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.restore();

    // The scale: the camera at 0, the picture's far edge at its distance.
    const qreal scaleY = cone.bottom() + margin;
    painter.drawLine(QPointF(camera.x(), scaleY), QPointF(cone.right(), scaleY));
    for (const qreal x : {camera.x(), targetX, cone.right()}) {
        painter.drawLine(QPointF(x, scaleY - 3), QPointF(x, scaleY + 3));
    }
    const QRectF scaleText(camera.x(), scaleY + 2, cone.right() - camera.x(), metrics.height());
    painter.drawText(scaleText, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("0 m"));
    painter.drawText(scaleText, Qt::AlignRight | Qt::AlignVCenter, toQString(MetresText(range)));

    drawKey(painter, QPointF(area.left() + margin, scaleY + metrics.height() + margin),
            area.width() - 2 * margin, view);
    painter.restore();
}

QImage ViewPictureImage(const ViewFigures& view, const QSize& size, const QFont& font,
                        qreal scale) {
    QImage image(size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    QPainter painter(&image);
    painter.setFont(font);
    PaintViewPicture(painter, QRectF(QPointF(0, 0), QSizeF(size)), view);
    return image;
}

ViewPicture::ViewPicture(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Camera view picture"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setView(std::nullopt);
}

void ViewPicture::setView(const std::optional<ViewFigures>& view) {
    m_view = view;
    // What the picture shows, for a screen reader.
    if (view) {
        setAccessibleDescription(
            QStringLiteral("Seen from above: at the target, %1 away, the camera meets %2; %3 "
                           "reaches to %4.")
                .arg(toQString(MetresText(view->distance)), levelName(view->level),
                     toQString(std::string(ViewLevelOf(view->levels.front().level).name)),
                     toQString(MetresText(view->levels.front().distance))));
    } else {
        setAccessibleDescription(QStringLiteral("No camera view"));
    }
    update();
}

QSize ViewPicture::sizeHint() const {
    return {440, 250};
}

QSize ViewPicture::minimumSizeHint() const {
    return {260, 170};
}

void ViewPicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (m_view) {
        PaintViewPicture(painter, rect(), *m_view);
        return;
    }
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("No camera view: tick \"Camera view\" and give the distance "
                                    "to the target and the lens."));
}

} // namespace lenstally
