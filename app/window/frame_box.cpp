#include "app/window/frame_box.hpp"

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
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0, 0, 0, 26));
    painter.setBrush(QColor(0, 0, 0, 4));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, titleHeight + 0.5, -0.5, -0.5), 2, 2);
    painter.restore();
    option.subControls &= ~QStyle::SC_GroupBoxFrame;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

} // namespace lenstally
