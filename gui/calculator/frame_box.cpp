// SPDX-License-Identifier: MIT
#include "gui/calculator/frame_box.hpp"

#include <algorithm>

#include <QFontMetrics>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace lenstally {

void FrameBox::setTitleFont(const QFont& font) {
    m_titleFont = font;
    update();
}

void FrameBox::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.fontMetrics = QFontMetrics(m_titleFont);
    painter.setFont(m_titleFont);
    // Below the caption, where the style puts it: the taller of caption and check mark, plus 3.
    const int titleHeight =
        std::max(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this),
                 option.fontMetrics.height()) +
        3;
    // A one-pixel border with its corner pixels left out, over a faint shade that darkens
    // nested frames a little more.
    const QRect border(0, titleHeight, width(), height() - titleHeight);
    painter.fillRect(border.adjusted(1, 1, -1, -1), QColor(0, 0, 0, 4));
    painter.setPen(QColor(0, 0, 0, 26));
    painter.drawLine(border.left() + 1, border.top(), border.right() - 1, border.top());
    painter.drawLine(border.left() + 1, border.bottom(), border.right() - 1, border.bottom());
    painter.drawLine(border.left(), border.top() + 1, border.left(), border.bottom() - 1);
    painter.drawLine(border.right(), border.top() + 1, border.right(), border.bottom() - 1);
    option.subControls &= ~QStyle::SC_GroupBoxFrame;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

} // namespace lenstally
