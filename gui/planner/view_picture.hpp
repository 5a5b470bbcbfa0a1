// SPDX-License-Identifier: MIT
#pragma once
// What a camera sees, drawn from above: a cone from the camera at the left, coloured bands where
// each level holds (the most demanding nearest the camera), the target's distance marked and the
// level met there named, a scale in metres and a key of the levels. The same painter draws the
// planner's picture and the report's.

#include "estimation/camera_view.hpp"

#include <optional>

#include <QImage>
#include <QWidget>

class QPainter;

namespace lenstally {

/// Paints `view` into `area` with the painter's font, on a white ground.
void PaintViewPicture(QPainter& painter, const QRectF& area, const ViewFigures& view);

/// The picture as an image `size` logical pixels large, drawn at `scale` times that resolution
/// (for print), in `font`.
QImage ViewPictureImage(const ViewFigures& view, const QSize& size, const QFont& font, qreal scale);

/// The planner's picture of the selected group's view; empty with a sentence when it has none.
class ViewPicture : public QWidget {
public:
    explicit ViewPicture(QWidget* parent = nullptr);

    void setView(const std::optional<ViewFigures>& view);
    const std::optional<ViewFigures>& view() const { return m_view; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<ViewFigures> m_view;
};

} // namespace lenstally
