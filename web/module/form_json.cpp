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

std::optional<FormAction> formActionOf(const nlohmann::json& request) {
    const auto what = stringField(request, "do");
    const auto name = stringField(request, "control");
    const auto id = name ? controlNamed(*name) : std::nullopt;
    if (!what || !id) {
        return std::nullopt;
    }
    FormAction action{FormAction::Kind::Type, *id, -1, {}};
    if (*what == "select") {
        action.kind = FormAction::Kind::Select;
    } else if (*what == "pick") {
        action.kind = FormAction::Kind::Pick;
        // A position no list has; FormActionProblem says so.
        const auto index = integerField(request, "index").value_or(-2);
        action.index = static_cast<std::int16_t>(std::clamp<std::int64_t>(index, -2, 32767));
    } else if (*what == "type") {
        const auto text = stringField(request, "text");
        if (!text) {
            return std::nullopt;
        }
        action.text = *text;
    } else {
        return std::nullopt;
    }
    return action;
}

Json changedControls(const Form1& form, const std::vector<ControlId>& controls) {
    Json list = Json::array();
    for (const ControlId control : controls) {
        list.push_back(controlState(form, control));
    }
    return list;
}

Json performOnForm(Form1& form, const nlohmann::json& request) {
    const std::optional<FormAction> action = formActionOf(request);
    if (!action) {
        return errorAnswer("the request names no action or no control of the form");
    }
    if (std::string problem = FormActionProblem(form, *action); !problem.empty()) {
        return errorAnswer(std::move(problem));
    }
    std::vector<ControlId> changed;
    form.setChangeListener([&changed](ControlId control, Property) {
        if (std::find(changed.begin(), changed.end(), control) == changed.end()) {
            changed.push_back(control);
        }
    });
    Perform(form, *action);
    form.setChangeListener({});
    Json answer;
    answer["changed"] = changedControls(form, changed);
    return answer;
}

} // namespace lenstally::web
