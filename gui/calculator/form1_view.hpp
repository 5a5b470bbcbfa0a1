// SPDX-License-Identifier: MIT
#pragma once
// The calculator window drawn with Qt Widgets. Form1View owns the Form1 model and mirrors it
// both ways: every property the model writes reaches its widget at once (under signal blockers,
// so nothing echoes back), and every user action on a widget becomes the model operation the
// command line performs for it (selectOption, setListIndex, setText). As a panel of the planner
// it shows a group's form it may not change: each user action goes to the planner as a
// FormAction, and the planner says which controls to show again.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QWidget>

#include "form/control_names.hpp"
#include "form/form1.hpp"
#include "form/form_action.hpp"

class QFont;
class QString;

namespace lenstally {

/// The one adapter between the model's UTF-8 strings and Qt's strings.
QString toQString(std::string_view text);
std::string fromQString(const QString& text);

/// The font a control described with `face` is drawn in.
QFont windowFont(ControlFont face = kDefaultFont);

/// Logical pixels for a length in twips (15 twips to the pixel at 96 dots per inch).
constexpr int twipsToPixels(int twips) {
    return TwipsToPixels(twips);
}

class Form1View : public QWidget {
public:
    /// Where a user action on a widget goes in a panel: the planner performs it on the form it
    /// holds, then calls showChanges(). The calculator window performs it on its own model.
    using EditHandler = std::function<void(const FormAction&)>;

    /// The calculator window: runs its own model's Load and builds every control from the state
    /// it leaves; from then on every model write reaches its widget through the change listener.
    explicit Form1View(QWidget* parent = nullptr);
    /// The calculator as a panel inside another window, showing `model` (already loaded, and
    /// outliving the view or the next bind()).
    Form1View(const Form1& model, QWidget* parent);
    ~Form1View() override;

    Form1View(const Form1View&) = delete;
    Form1View& operator=(const Form1View&) = delete;

    /// The model shown.
    const Form1& model() const { return *m_form; }
    /// The calculator window's own model.
    Form1& ownModel() { return m_own; }

    /// Shows `model` instead: every widget takes its state at once. The model shown before must
    /// still exist. Also used after another state was assigned to the shown model.
    void bind(const Form1& model);
    /// Shows again the controls of the model shown that an action changed.
    void showChanges(const std::vector<ControlId>& controls);

    void setEditHandler(EditHandler handler) { m_editHandler = std::move(handler); }

    /// The widget that draws a control; the view itself for Form1.
    QWidget* widget(ControlId id) const { return m_widgets[static_cast<std::size_t>(id)]; }

    /// The first and last control in the tab order, for a window that holds the view as a panel.
    QWidget* firstInTabOrder() const;
    QWidget* lastInTabOrder() const;

private:
    void build(bool window);
    void createControls(bool window);
    void connectControls();
    void setTabOrder();
    void describeForAssistiveTools() const;
    void edit(const FormAction& action);
    void mirror(ControlId id, Property property);
    void mirrorControl(ControlId id);
    void mirrorAll();
    void mirrorOptionGroup(ControlId option);
    void mirrorItems(ControlId combo);
    void mirrorText(ControlId id);

    Form1 m_own;                  // the calculator window's model; unused in a panel
    const Form1* m_form = &m_own; // the model shown
    EditHandler m_editHandler;
    std::array<QWidget*, kControlCount> m_widgets{};
    std::vector<ControlId> m_tabOrder;
};

} // namespace lenstally
