// SPDX-License-Identifier: MIT
#include "gui/planner/line_rows.hpp"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>

#include "gui/calculator/form1_view.hpp"

namespace lenstally {

void AddNamedRow(QFormLayout* form, const QString& label, QWidget* input) {
    auto* caption = new QLabel(label);
    caption->setBuddy(input);
    input->setAccessibleName(QString(label).remove(QLatin1Char(':')));
    form->addRow(caption, input);
}

void ShowLines(QGroupBox* box, QFormLayout* form, std::vector<QLabel*>& values,
               const std::vector<const PlanLine*>& lines) {
    box->setVisible(!lines.empty());
    if (values.size() != lines.size()) {
        while (form->rowCount() > 0) {
            form->removeRow(0);
        }
        values.clear();
        for (const PlanLine* line : lines) {
            auto* value = new QLabel(box);
            value->setTextFormat(Qt::PlainText);
            value->setWordWrap(true);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
            value->setFocusPolicy(Qt::StrongFocus); // reachable by keyboard, read by name
            form->addRow(toQString(line->label), value);
            values.push_back(value);
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const PlanLine& line = *lines[i];
        QLabel* value = values[i];
        value->setText(toQString(line.text));
        // Read as the calculator's results are: the value, then what it is.
        value->setAccessibleDescription(toQString(line.label).remove(QLatin1Char(':')));
        QFont font = value->font();
        font.setBold(line.warning);
        value->setFont(font);
        // Bold and the words themselves ("NO, short by ...") say it; the colour only adds to it.
        value->setStyleSheet(line.warning ? QStringLiteral("color: #b00000;") : QString());
    }
}

} // namespace lenstally
