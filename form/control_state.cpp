// SPDX-License-Identifier: MIT
#include "form/control_state.hpp"

#include <nlohmann/json.hpp>

namespace lenstally {

void AddControlState(nlohmann::ordered_json& j, const Form1& form, ControlId id,
                     int (*units)(int twips)) {
    const Control& c = form.control(id);
    j["visible"] = c.visible;
    j["left"] = units(c.left);
    j["top"] = units(c.top);
    j["width"] = units(c.width);
    j["height"] = units(c.height);
    switch (Describe(id).kind) {
    case ControlKind::TextBox:
        j["text"] = c.text;
        break;
    case ControlKind::ComboBox:
        j["items"] = c.items;
        j["listIndex"] = c.listIndex;
        break;
    case ControlKind::Option:
        j["caption"] = c.text;
        j["value"] = c.value;
        break;
    default:
        j["caption"] = c.text;
        break;
    }
}

} // namespace lenstally
