// SPDX-License-Identifier: MIT
#include "gui/planner/view_picture.hpp"

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include "gui/calculator/form1_view.hpp"
#include "project/view_drawing.hpp"

namespace lenstally {
namespace {

QColor colour(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// Draws the key below the cone: a swatch and "Identify to 7.73 m" per level, in rows that fit
// `width`; returns the height it took.
qreal drawKey(QPainter& painter, const QPointF& topLeft, qreal width, const ViewDrawing& drawing) {
    const QFontMetricsF metrics(painter.font());
    const qreal line = metrics.height() + 4;
    const qreal swatch = metrics.height() * 0.8;
    qreal x = topLeft.x();
    qreal y = topLeft.y();
    for (std::size_t i = drawing.bands.size(); i-- > 0;) {
        const ViewDrawing::Band& band = drawing.bands[i];
        const QString text = toQString(band.key);
        const qreal entry = swatch + 4 + metrics.horizontalAdvance(text) + 14;
        if (x > topLeft.x() && x + entry > topLeft.x() + width) {
            x = topLeft.x();
            y += line;
        }
        painter.setPen(colour(drawing.ink));
        painter.setBrush(colour(band.colour));
        painter.drawRect(QRectF(x, y + (line - swatch) / 2, swatch, swatch));
        painter.drawText(QRectF(x + swatch + 4, y, entry, line), Qt::AlignLeft | Qt::AlignVCenter,
                         text);
        x += entry;
    }
    return y + line - topLeft.y();
}

// The height the key takes in `width`, found by drawing it where nothing shows.
qreal keyHeight(const QFont& font, qreal width, const ViewDrawing& drawing) {
    QImage scratch(1, 1, QImage::Format_ARGB32);
    QPainter measure(&scratch);
    measure.setFont(font);
    return drawKey(measure, QPointF(0, 0), width, drawing);
}

} // namespace

void PaintViewPicture(QPainter& painter, const QRectF& area, const ViewFigures& view) {
    const ViewDrawing drawing = DrawingOf(view);
    const QColor ink = colour(drawing.ink);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    const QFontMetricsF metrics(painter.font());
    const qreal margin = 8;
    const qreal key = keyHeight(painter.font(), area.width() - 2 * margin, drawing);
    // The cone's area: the full width, above the scale line and the key.
    const QRectF cone(area.left() + margin, area.top() + metrics.height() + 2 * margin,
                      area.width() - 2 * margin,
                      area.height() - key - 2 * metrics.height() - 5 * margin);
    if (cone.width() < 40 || cone.height() < 20) {
        painter.restore();
        return;
    }
    const QPointF camera(cone.left() + 14, cone.center().y());
    const double range = drawing.range;
    const qreal perMetre = (cone.right() - camera.x()) / range;
    const double spread = drawing.spread;
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
    painter.setBrush(colour(drawing.ground));
    painter.drawPath(wedge(range));
    // Farthest first, so each nearer, more demanding level is drawn over the ones it holds in.
    for (const ViewDrawing::Band& band : drawing.bands) {
        painter.setBrush(colour(band.colour));
        painter.drawPath(wedge(band.reach));
    }
    painter.setPen(QPen(ink, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wedge(range));

    // The target: a dashed line across the cone at its distance, and a mark on the axis.
    const qreal targetX = camera.x() + drawing.target * perMetre;
    const qreal targetHalf = std::min(drawing.target * spread * perMetre, cone.height());
    QPen dashed(ink, 2, Qt::DashLine);
    painter.setPen(dashed);
    painter.drawLine(QPointF(targetX, camera.y() - targetHalf),
                     QPointF(targetX, camera.y() + targetHalf));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(QPointF(targetX, camera.y()), 4, 4);
    painter.restore();

    // The camera.
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawRect(QRectF(camera.x() - 14, camera.y() - 6, 12, 12));
    painter.drawPolygon(
        QPolygonF({camera + QPointF(-3, -4), camera + QPointF(0, 0), camera + QPointF(-3, 4)}));

    // The target's name above the cone, kept inside the picture.
    painter.setPen(ink);
    const QString label = toQString(drawing.targetLabel);
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
    painter.drawText(scaleText, Qt::AlignRight | Qt::AlignVCenter, toQString(drawing.rangeLabel));

    drawKey(painter, QPointF(area.left() + margin, scaleY + metrics.height() + margin),
            area.width() - 2 * margin, drawing);
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
        setAccessibleDescription(toQString(DrawingOf(*view).description));
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
