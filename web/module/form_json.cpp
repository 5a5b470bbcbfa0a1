// SPDX-License-Identifier: MIT
#include "web/module/form_json.hpp"

#include <algorithm>
#include <optional>
#include <utility>

#include "form/actions.hpp"
#include "form/control_names.hpp"
#include "form/control_state.hpp"

namespace lenstally::web {
namespace {

// A request's string or integer field, if it holds one.
std::optional<std::string> stringField(const nlohmann::json& request, const char* key) {
    const auto it = request.find(key);
    if (it == request.end() || !it->is_string()) {
        return std::nullopt;
    }
    return it->get<std::string>();
}

std::optional<std::int64_t> integerField(const nlohmann::json& request, const char* key) {
    const auto it = request.find(key);
    if (it == request.end() || !it->is_number_integer()) {
        return std::nullopt;
    }
    return it->get<std::int64_t>();
}

} // namespace

Json errorAnswer(std::string text) {
    Json answer;
    answer["error"] = std::move(text);
    return answer;
}

std::optional<ControlId> controlNamed(std::string_view name) {
    for (const ControlDescription& d : ControlDescriptions()) {
        if (d.name == name) {
            return d.id;
        }
    }
    return std::nullopt;
}

Json describeActions() {
    Json list = Json::array();
    for (const ActionDescription& action : Actions()) {
        Json j;
        j["option"] = action.option;
        switch (action.kind) {
        case ActionKind::Select:
            j["kind"] = "select";
            break;
        case ActionKind::Pick:
            j["kind"] = "pick";
            break;
        case ActionKind::Number:
            j["kind"] = "number";
            break;
        case ActionKind::Type:
            j["kind"] = "type";
            break;
        }
        j["names"] = Json::array();
        for (const std::string_view name : action.names) {
            j["names"].push_back(name);
        }
        if (action.kind == ActionKind::Select) {
            j["controls"] = Json::array();
            for (const ControlId option : action.options) {
                j["controls"].push_back(Describe(option).name);
            }
        } else {
            j["control"] = Describe(action.control).name;
        }
        list.push_back(std::move(j));
    }
    return list;
}

Json controlState(const Form1& form, ControlId id) {
    Json j;
    j["name"] = Describe(id).name;
    AddControlState(j, form, id, [](int twips) { return TwipsToPixels(twips); });
    if (Describe(id).kind == ControlKind::Option) {
        j.erase("caption"); // the page shows an option button's caption as its own label
    }
    return j;
}

Json describeForm(const Form1& form) {
    const ControlDescription& window = Describe(ControlId::Form1);
    Json j;
    j["title"] = form.control(ControlId::Form1).text;
    j["width"] = TwipsToPixels(window.width);
    j["height"] = TwipsToPixels(window.height);
    Json controls = Json::array();
    for (const ControlDescription& d : ControlDescriptions()) {
        if (d.kind == ControlKind::Form) {
            continue;
        }
        Json c = controlState(form, d.id);
        c["kind"] = KindName(d.kind);
        c["container"] = Describe(d.container).name;
        c["tabIndex"] = d.tabIndex;
        c["points"] = d.font.centiPoints / 100.0;
        c["bold"] = d.font.bold;
        if (const auto label = NamingLabel(d.id)) {
            c["label"] = Describe(*label).name;
            c["accessibleName"] = SpokenName(Describe(*label).text);
        }
        if (const auto description = ResultDescription(d.id)) {
            c["description"] = *description;
        }
        controls.push_back(std::move(c));
    }
    j["controls"] = std::move(controls);
    return j;
}

Json performOnForm(Form1& form, const nlohmann::json& request) {
    const auto what = stringField(request, "do");
    const auto name = stringField(request, "control");
    const auto id = name ? controlNamed(*name) : std::nullopt;
    if (!what || !id) {
        return errorAnswer("the request names no action or no control of the form");
    }
    const ControlKind kind = Describe(*id).kind;
    std::vector<ControlId> changed;
    form.setChangeListener([&changed](ControlId control, Property) {
        if (std::find(changed.begin(), changed.end(), control) == changed.end()) {
            changed.push_back(control);
        }
    });
    Json answer;
    if (*what == "select" && kind == ControlKind::Option) {
        form.selectOption(*id);
    } else if (*what == "pick" && kind == ControlKind::ComboBox) {
        const auto index = integerField(request, "index");
        const auto size = static_cast<std::int64_t>(form.control(*id).items.size());
        if (!index || *index < -1 || *index >= size) {
            answer = errorAnswer(*name + " has no such item");
        } else {
            form.setListIndex(*id, static_cast<std::int16_t>(*index));
        }
    } else if (*what == "type" && kind == ControlKind::TextBox) {
        const auto text = stringField(request, "text");
        if (!text) {
            answer = errorAnswer("no text to type into " + *name);
        } else {
            form.setText(*id, *text);
        }
    } else {
        answer = errorAnswer(*name + " cannot take the action " + *what);
    }
    form.setChangeListener({});
    if (answer.contains("error")) {
        return answer;
    }
    Json list = Json::array();
    for (const ControlId control : changed) {
        list.push_back(controlState(form, control));
    }
    answer["changed"] = std::move(list);
    return answer;
}

} // namespace lenstally::web
