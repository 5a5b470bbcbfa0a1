// SPDX-License-Identifier: MIT
#include "form/run.hpp"

#include "estimation/estimates.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <vector>

#include "form/actions.hpp"
#include "form/control_state.hpp"

namespace lenstally {
namespace {

// The result captions, in the order the outputs list them.
constexpr ControlId kResults[] = {ControlId::lbPerBandwidth, ControlId::lbTotalBandwidth,
                                  ControlId::lbStorageSize};

// Texts may hold any bytes the user typed; invalid UTF-8 becomes U+FFFD rather than an error.
std::string dumpJson(const nlohmann::ordered_json& j) {
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace

void WriteRunJson(const Form1& form, std::ostream& out) {
    nlohmann::ordered_json j;
    j["txtFrameSize"] = form.control(ControlId::txtFrameSize).text;
    for (ControlId id : kResults) {
        j[std::string(Describe(id).name)] = form.control(id).text;
    }
    out << dumpJson(j) << '\n';
}

void WriteRunState(const Form1& form, std::ostream& out) {
    nlohmann::ordered_json all = nlohmann::ordered_json::object();
    for (const ControlDescription& d : ControlDescriptions()) {
        nlohmann::ordered_json j;
        j["kind"] = KindName(d.kind);
        j["container"] = d.kind == ControlKind::Form
                             ? nlohmann::ordered_json(nullptr)
                             : nlohmann::ordered_json(Describe(d.container).name);
        AddControlState(j, form, d.id, [](int twips) { return twips; });
        all[std::string(d.name)] = std::move(j);
    }
    out << dumpJson(all) << '\n';
}

void WriteRunText(const Form1& form, std::ostream& out) {
    out << "Average Frame Size: " << form.control(ControlId::txtFrameSize).text << " KB\n"
        << "Total Bandwidth Required: " << form.control(ControlId::lbTotalBandwidth).text << '\n'
        << "Per Camera: " << form.control(ControlId::lbPerBandwidth).text << '\n'
        << "Estimated Storage: " << form.control(ControlId::lbStorageSize).text << '\n';
}

int RunStatus(const Form1& form) {
    const bool outOfRange =
        std::any_of(std::begin(kResults), std::end(kResults),
                    [&form](ControlId id) { return form.control(id).text == kOutOfRange; });
    return outOfRange ? kRunOutOfRange : kRunComputed;
}

std::string PrintableText(std::string_view value) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            text += "\\n";
        } else if (c == '\t') {
            text += "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            text += "\\x";
            text.push_back(kHex[byte >> 4]);
            text.push_back(kHex[byte & 0xf]);
        } else {
            text.push_back(c);
        }
    }
    return text;
}

int RunActions(std::span<const ActionArgument> actions, RunOutput output, std::ostream& out,
               std::ostream& err) {
    std::vector<ResolvedAction> steps;
    steps.reserve(actions.size());
    for (const ActionArgument& a : actions) {
        const ActionDescription* action = FindAction(a.option);
        if (action == nullptr) {
            err << "lenstally: --" << PrintableText(a.option)
                << " is not an action (see lenstally --help)\n";
            return kUsageError;
        }
        Checked<ResolvedAction> step = ResolveValue(*action, a.value);
        if (!step.value) {
            err << "lenstally: --" << action->option << ": '" << PrintableText(a.value)
                << "' is not allowed; " << step.error << '\n';
            return kUsageError;
        }
        steps.push_back(std::move(*step.value));
    }
    Form1 form;
    form.load();
    for (const ResolvedAction& s : steps) {
        ApplyAction(form, s);
    }
    switch (output) {
    case RunOutput::Text:
        WriteRunText(form, out);
        break;
    case RunOutput::Json:
        WriteRunJson(form, out);
        break;
    case RunOutput::State:
        WriteRunState(form, out);
        break;
    }
    return RunStatus(form);
}

} // namespace lenstally
