// SPDX-License-Identifier: MIT
#pragma once
// A frame of the window: a captioned border around the controls inside it.

#include <QFont>
#include <QGroupBox>

namespace lenstally {

class FrameBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

    /// The caption's font. Only the caption uses it: the controls inside inherit the frame's own
    /// font, so a bold caption leaves them regular.
    const QFont& titleFont() const { return m_titleFont; }
    void setTitleFont(const QFont& font);

protected:
    // Draws its own border: the style draws it from an image, and decoding the first image loads
    // every image-format plugin, which made up a tenth of the window's start-up.
    void paintEvent(QPaintEvent* event) override;

private:
    QFont m_titleFont;
};

} // namespace lenstally
