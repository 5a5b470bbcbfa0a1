// SPDX-License-Identifier: MIT
#pragma once
// The calculator window drawn with Qt Widgets. Form1View owns the Form1 model and mirrors it
// both ways: every property the model writes reaches its widget at once (under signal blockers,
// so nothing echoes back), and every user action on a widget becomes the model operation the
// command line performs for it (selectOption, setListIndex, setText).

#include "window/form1.hpp"

#include <array>
#include <string>
#include <string_view>

#include <QWidget>

class QFont;
class QString;

namespace lenstally {

/// The one adapter between the model's UTF-8 strings and Qt's strings.
QString toQString(std::string_view text);
std::string fromQString(const QString& text);

/// The font a control described with `face` is drawn in.
QFont windowFont(FontSpec face = kDefaultFont);

/// Logical pixels for a length in twips (15 twips to the pixel at 96 dots per inch).
constexpr int twipsToPixels(int twips) {
    return (twips + 7) / 15;
}

class Form1View : public QWidget {
public:
    /// Runs the model's Load and builds every control from the state it leaves; from then on
    /// every model write reaches its widget through the change listener.
    explicit Form1View(QWidget* parent = nullptr);
    ~Form1View() override;

    Form1View(const Form1View&) = delete;
    Form1View& operator=(const Form1View&) = delete;

    Form1& model() { return m_form; }
    const Form1& model() const { return m_form; }

    /// The widget that draws a control; the view itself for Form1.
    QWidget* widget(ControlId id) const { return m_widgets[static_cast<std::size_t>(id)]; }

private:
    void createControls();
    void connectControls();
    void setTabOrder() const;
    void describeForAssistiveTools() const;
    void mirror(ControlId id, Property property);
    void mirrorOptionGroup(ControlId option);
    void mirrorItems(ControlId combo);
    void mirrorText(ControlId id);

    Form1 m_form;
    std::array<QWidget*, kControlCount> m_widgets{};
};

} // namespace lenstally
