// SPDX-License-Identifier: MIT
#include "gui/calculator/form1_view.hpp"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QString>
#include <QStringList>
#include <QStyleFactory>

#include "gui/calculator/frame_box.hpp"

namespace lenstally {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromQString(const QString& text) {
    return text.toUtf8().toStdString();
}

// The window's face: Liberation Sans at 8 pt is as high as the layout's 8.25 pt face and about
// 2% wider; a fifth of a pixel less between letters makes up for that, so captions such as
// "1 Megapixel (1280x1024)" fit their labels on one line as designed.
QFont windowFont(ControlFont face) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(face.centiPoints == kDefaultFont.centiPoints ? 8.0
                                                                    : face.centiPoints / 100.0);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.2);
    font.setBold(face.bold);
    return font;
}

namespace {

using enum ControlId;

// The style option buttons are drawn in: the application's, except that the round mark is never
// larger than `limit` pixels, the height of the lowest button. The stream buttons are 13 px high
// and Fusion's mark is 14 px: the style cut off the mark's bottom edge, which a scale factor of 2
// made plain. Every button gets the same mark, so the two groups match.
class FittedMarkStyle : public QProxyStyle {
public:
    FittedMarkStyle(QStyle* base, int limit) : QProxyStyle(base), m_limit(limit) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        const bool mark =
            metric == PM_ExclusiveIndicatorWidth || metric == PM_ExclusiveIndicatorHeight;
        return mark ? std::min(value, m_limit) : value;
    }

private:
    int m_limit;
};

// An option button shows only its round mark; its caption is the label beside it. The whole
// small rectangle reacts to the mouse, not only the mark. Tab treats a group as one stop and
// enters it at its selected button; the arrow keys move within the group.
class OptionButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

    void focusInEvent(QFocusEvent* event) override {
        const Qt::FocusReason reason = event->reason();
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && !isChecked()) {
            for (QRadioButton* sibling :
                 parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
                if (sibling->isChecked() && sibling->isVisible()) {
                    sibling->setFocus(reason);
                    return;
                }
            }
        }
        QRadioButton::focusInEvent(event);
    }
};

// A caption as a name to be read out (see SpokenName).
QString spokenName(std::string_view caption) {
    return toQString(SpokenName(caption));
}

} // namespace

Form1View::Form1View(QWidget* parent) : QWidget(parent) {
    // Load runs before the widgets exist, so each widget is built once from the loaded state
    // instead of following the hundred-odd writes of start-up one by one.
    m_own.load();
    build(true);
}

Form1View::Form1View(const lenstally::Form1& model, QWidget* parent)
    : QWidget(parent), m_form(&model) {
    build(false);
}

Form1View::~Form1View() {
    m_own.setChangeListener({});
}

void Form1View::build(bool window) {
    createControls(window);
    describeForAssistiveTools();
    setTabOrder();
    m_own.setChangeListener([this](ControlId id, Property property) {
        if (m_form == &m_own) {
            mirror(id, property);
        }
    });
    connectControls();
}

void Form1View::bind(const lenstally::Form1& model) {
    m_form = &model;
    mirrorAll();
}

void Form1View::showChanges(const std::vector<ControlId>& controls) {
    for (const ControlId id : controls) {
        mirrorControl(id);
    }
}

void Form1View::edit(const FormAction& action) {
    if (m_editHandler) {
        m_editHandler(action);
    } else if (m_form == &m_own) {
        Perform(m_own, action);
    } else {
        mirrorControl(action.control); // a panel nobody acts for shows its model unchanged
    }
}

QWidget* Form1View::firstInTabOrder() const {
    return widget(m_tabOrder.front());
}

QWidget* Form1View::lastInTabOrder() const {
    return widget(m_tabOrder.back());
}

void Form1View::createControls(bool window) {
    const ControlDescription& form = Describe(ControlId::Form1);
    setObjectName(toQString(form.name));
    setFont(windowFont(form.font));
    setFixedSize(twipsToPixels(form.width), twipsToPixels(form.height));
    if (window) {
        setWindowTitle(toQString(m_form->control(ControlId::Form1).text));
        // Fixed size and no maximise button: nothing in the window follows its size.
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                       Qt::WindowCloseButtonHint);
    }
    m_widgets[static_cast<std::size_t>(ControlId::Form1)] = this;

    int lowestOption = std::numeric_limits<int>::max();
    for (const ControlDescription& d : ControlDescriptions()) {
        if (d.kind == ControlKind::Option) {
            lowestOption = std::min(lowestOption, twipsToPixels(d.height));
        }
    }
    // The view owns the style; a button that outlives it falls back to the application's.
    auto* optionStyle =
        new FittedMarkStyle(QStyleFactory::create(QApplication::style()->name()), lowestOption);
    optionStyle->setParent(this);

    // The description lists every container before the controls inside it.
    for (const ControlDescription& d : ControlDescriptions()) {
        if (d.kind == ControlKind::Form) {
            continue;
        }
        const Control& c = m_form->control(d.id);
        QWidget* container = widget(d.container);
        QWidget* w = nullptr;
        switch (d.kind) {
        case ControlKind::Frame: {
            auto* frame = new FrameBox(toQString(c.text), container);
            frame->setTitleFont(windowFont(d.font));
            w = frame;
            break;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(toQString(c.text), container);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            w = label;
            break;
        }
        case ControlKind::TextBox: {
            auto* edit = new QLineEdit(toQString(c.text), container);
            edit->setMaxLength(std::numeric_limits<int>::max());
            w = edit;
            break;
        }
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(container);
            combo->setEditable(false);
            QStringList items;
            for (const std::string& item : c.items) {
                items << toQString(item);
            }
            combo->addItems(items);
            combo->setCurrentIndex(c.listIndex);
            w = combo;
            break;
        }
        case ControlKind::Option: {
            auto* option = new OptionButton(container);
            option->setStyle(optionStyle);
            option->setChecked(c.value);
            w = option;
            break;
        }
        case ControlKind::Form:
            break;
        }
        w->setObjectName(toQString(d.name));
        // Every container has the window's font, which the controls inherit as they are
        // created; setting a font afterwards makes some widgets rebuild parts of themselves.
        const bool ownFont =
            d.font.bold != kDefaultFont.bold || d.font.centiPoints != kDefaultFont.centiPoints;
        if (ownFont && d.kind != ControlKind::Frame) {
            w->setFont(windowFont(d.font));
        }
        w->setGeometry(twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width),
                       twipsToPixels(c.height));
        w->setFixedSize(w->size());
        w->setVisible(c.visible);
        m_widgets[static_cast<std::size_t>(d.id)] = w;
    }
}

void Form1View::describeForAssistiveTools() const {
    for (const ControlDescription& d : ControlDescriptions()) {
        if (d.kind == ControlKind::Frame) {
            // A nested group box would otherwise report its outer box's title.
            widget(d.id)->setAccessibleName(spokenName(d.text));
        } else if (d.kind == ControlKind::Option) {
            if (const auto label = LabelBeside(d.id)) {
                widget(d.id)->setAccessibleName(spokenName(Describe(*label).text));
            }
        }
    }
    for (const auto& [labelId, input] : InputLabels()) {
        auto* label = static_cast<QLabel*>(widget(labelId));
        label->setBuddy(widget(input));
        widget(input)->setAccessibleName(spokenName(Describe(labelId).text));
    }
    for (const ControlDescription& d : ControlDescriptions()) {
        if (const auto description = ResultDescription(d.id)) {
            widget(d.id)->setAccessibleDescription(toQString(*description));
        }
    }
}

void Form1View::setTabOrder() {
    std::vector<const ControlDescription*> focusable;
    for (const ControlDescription& d : ControlDescriptions()) {
        if (d.tabIndex >= 0) {
            focusable.push_back(&d);
        }
    }
    std::sort(focusable.begin(), focusable.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    for (const ControlDescription* d : focusable) {
        m_tabOrder.push_back(d->id);
    }
    for (std::size_t i = 1; i < m_tabOrder.size(); ++i) {
        QWidget::setTabOrder(widget(m_tabOrder[i - 1]), widget(m_tabOrder[i]));
    }
}

void Form1View::connectControls() {
    for (const ControlDescription& d : ControlDescriptions()) {
        const ControlId id = d.id;
        switch (d.kind) {
        case ControlKind::Option:
            // toggled, not clicked: assistive tools toggle the button without clicking it.
            // Re-selecting the selected button toggles nothing and so raises nothing.
            connect(static_cast<QRadioButton*>(widget(id)), &QRadioButton::toggled, this,
                    [this, id](bool checked) {
                        if (checked) {
                            edit({FormAction::Kind::Select, id, -1, {}});
                        }
                    });
            break;
        case ControlKind::ComboBox:
            connect(static_cast<QComboBox*>(widget(id)), &QComboBox::currentIndexChanged, this,
                    [this, id](int index) {
                        edit({FormAction::Kind::Pick, id, static_cast<std::int16_t>(index), {}});
                    });
            break;
        case ControlKind::TextBox:
            connect(static_cast<QLineEdit*>(widget(id)), &QLineEdit::textChanged, this,
                    [this, id](const QString& text) {
                        edit({FormAction::Kind::Type, id, -1, fromQString(text)});
                    });
            break;
        default:
            break;
        }
    }
}

void Form1View::mirror(ControlId id, Property property) {
    const Control& c = m_form->control(id);
    QWidget* w = widget(id);
    switch (property) {
    case Property::Value:
        mirrorOptionGroup(id);
        break;
    case Property::ListIndex: {
        auto* combo = static_cast<QComboBox*>(w);
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(c.listIndex);
        break;
    }
    case Property::Items:
        mirrorItems(id);
        break;
    case Property::Text:
        mirrorText(id);
        break;
    case Property::Visible:
        w->setVisible(c.visible);
        break;
    case Property::Top:
    case Property::Left:
        w->move(twipsToPixels(c.left), twipsToPixels(c.top));
        break;
    }
}

void Form1View::mirrorControl(ControlId id) {
    const ControlKind kind = Describe(id).kind;
    if (kind == ControlKind::Form) {
        mirror(id, Property::Text);
        return;
    }
    mirror(id, Property::Visible);
    mirror(id, Property::Left);
    switch (kind) {
    case ControlKind::ComboBox:
        mirror(id, Property::Items);
        break;
    case ControlKind::Option:
        mirror(id, Property::Value);
        break;
    default:
        mirror(id, Property::Text);
        break;
    }
}

void Form1View::mirrorAll() {
    for (const ControlDescription& d : ControlDescriptions()) {
        if (d.kind != ControlKind::Form) {
            mirrorControl(d.id);
        }
    }
}

void Form1View::mirrorOptionGroup(ControlId option) {
    // Checking one button unchecks its sibling, which signals too: silence the whole group.
    const ControlId container = Describe(option).container;
    std::vector<QSignalBlocker> blockers;
    blockers.reserve(8);
    std::vector<std::pair<QRadioButton*, bool>> group;
    for (const ControlDescription& d : ControlDescriptions()) {
        if (d.kind == ControlKind::Option && d.container == container) {
            auto* button = static_cast<QRadioButton*>(widget(d.id));
            blockers.emplace_back(button);
            group.emplace_back(button, m_form->control(d.id).value);
        }
    }
    for (auto [button, selected] : group) {
        if (selected) {
            button->setChecked(true);
        }
    }
    for (auto [button, selected] : group) {
        if (!selected && button->isChecked()) {
            // Only reached when the model has no selected button: an exclusive group refuses
            // to clear its checked button.
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
}

void Form1View::mirrorItems(ControlId comboId) {
    auto* combo = static_cast<QComboBox*>(widget(comboId));
    const Control& c = m_form->control(comboId);
    const QSignalBlocker blocker(combo);
    // The model appends one item at a time: append what is missing, rebuild otherwise.
    const auto count = static_cast<std::size_t>(combo->count());
    bool prefix = count <= c.items.size();
    for (std::size_t i = 0; prefix && i < count; ++i) {
        prefix = combo->itemText(static_cast<int>(i)) == toQString(c.items[i]);
    }
    if (!prefix) {
        combo->clear();
    }
    for (auto i = static_cast<std::size_t>(combo->count()); i < c.items.size(); ++i) {
        combo->addItem(toQString(c.items[i]));
    }
    combo->setCurrentIndex(c.listIndex);
}

void Form1View::mirrorText(ControlId id) {
    const QString text = toQString(m_form->control(id).text);
    QWidget* w = widget(id);
    switch (Describe(id).kind) {
    case ControlKind::TextBox: {
        auto* edit = static_cast<QLineEdit*>(w);
        // The user's own edit comes back as the same text: leave the caret where it is.
        if (edit->text() != text) {
            const QSignalBlocker blocker(edit);
            edit->setText(text);
        }
        break;
    }
    case ControlKind::Label:
        static_cast<QLabel*>(w)->setText(text);
        break;
    case ControlKind::Frame:
        static_cast<QGroupBox*>(w)->setTitle(text);
        break;
    case ControlKind::Form:
        setWindowTitle(text);
        break;
    default:
        break;
    }
}

} // namespace lenstally
