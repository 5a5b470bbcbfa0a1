// SPDX-License-Identifier: MIT
#include "gui/planner/typed_value.hpp"

#include <QDoubleSpinBox>
#include <QSpinBox>

namespace lenstally {

std::optional<double> TypedValue(const QAbstractSpinBox* box) {
    if (const auto* whole = qobject_cast<const QSpinBox*>(box)) {
        if (!whole->specialValueText().isEmpty() && whole->text() == whole->specialValueText()) {
            return whole->value() != whole->minimum() ? std::optional<double>(whole->minimum())
                                                      : std::nullopt;
        }
        bool number = false;
        const int typed = whole->locale().toInt(whole->cleanText(), &number);
        return number && typed != whole->value() ? std::optional<double>(typed) : std::nullopt;
    }
    if (const auto* decimal = qobject_cast<const QDoubleSpinBox*>(box)) {
        const double typed = decimal->valueFromText(decimal->cleanText());
        return typed != decimal->value() ? std::optional<double>(typed) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace lenstally
