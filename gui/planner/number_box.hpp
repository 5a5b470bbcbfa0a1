// SPDX-License-Identifier: MIT
#pragma once
// A number box that shows numbers as the rest of Lenstally writes them ("8", "3.84", never
// "8.000") and keeps ten decimals, so the values a project file holds stay as they are. It
// reports a value when editing ends (Enter, leaving the box, a step), not at each keystroke.

#include "estimation/numeric_text.hpp"

#include <QDoubleSpinBox>
#include <QLocale>

#include "gui/calculator/form1_view.hpp"

namespace lenstally {

class NumberBox : public QDoubleSpinBox {
public:
    NumberBox(double minimum, double maximum, QWidget* parent) : QDoubleSpinBox(parent) {
        setLocale(QLocale::c());
        setDecimals(10);
        setRange(minimum, maximum);
        setKeyboardTracking(false);
    }

protected:
    QString textFromValue(double value) const override { return toQString(FormatNumber(value)); }
};

} // namespace lenstally
