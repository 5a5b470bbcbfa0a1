// SPDX-License-Identifier: MIT
#include "form/form_action.hpp"

#include <algorithm>

#include "form/control_names.hpp"

namespace lenstally {
namespace {

ControlKind kindFor(FormAction::Kind kind) {
    switch (kind) {
    case FormAction::Kind::Select:
        return ControlKind::Option;
    case FormAction::Kind::Pick:
        return ControlKind::ComboBox;
    case FormAction::Kind::Type:
        break;
    }
    return ControlKind::TextBox;
}

std::string_view verb(FormAction::Kind kind) {
    switch (kind) {
    case FormAction::Kind::Select:
        return "select";
    case FormAction::Kind::Pick:
        return "pick";
    case FormAction::Kind::Type:
        break;
    }
    return "type";
}

} // namespace

std::string FormActionProblem(const Form1& form, const FormAction& action) {
    const std::string name(Describe(action.control).name);
    if (Describe(action.control).kind != kindFor(action.kind)) {
        return name + " cannot take the action " + std::string(verb(action.kind));
    }
    const auto items = static_cast<std::int64_t>(form.control(action.control).items.size());
    if (action.kind == FormAction::Kind::Pick && (action.index < -1 || action.index >= items)) {
        return name + " has no such item";
    }
    return {};
}

void Perform(Form1& form, const FormAction& action) {
    switch (action.kind) {
    case FormAction::Kind::Select:
        form.selectOption(action.control);
        break;
    case FormAction::Kind::Pick:
        form.setListIndex(action.control, action.index);
        break;
    case FormAction::Kind::Type:
        form.setText(action.control, action.text);
        break;
    }
}

std::string FormActionLabel(ControlId control) {
    const auto label = NamingLabel(control);
    std::string name = SpokenName(label ? Describe(*label).text : Describe(control).name);
    std::erase(name, ':');
    return "Edit " + name;
}

} // namespace lenstally
