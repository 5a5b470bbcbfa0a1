// SPDX-License-Identifier: MIT
#include "form/run.hpp"

#include "estimation/estimates.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>
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

void WriteRunJson(const Form1& form, std::string& out) {
    nlohmann::ordered_json j;
    j["txtFrameSize"] = form.control(ControlId::txtFrameSize).text;
    for (ControlId id : kResults) {
        j[std::string(Describe(id).name)] = form.control(id).text;
    }
    out += dumpJson(j) + '\n';
}

void WriteRunState(const Form1& form, std::string& out) {
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
    out += dumpJson(all) + '\n';
}

void WriteRunText(const Form1& form, std::string& out) {
    out += "Average Frame Size: " + form.control(ControlId::txtFrameSize).text + " KB\n" +
           "Total Bandwidth Required: " + form.control(ControlId::lbTotalBandwidth).text + '\n' +
           "Per Camera: " + form.control(ControlId::lbPerBandwidth).text + '\n' +
           "Estimated Storage: " + form.control(ControlId::lbStorageSize).text + '\n';
}

int RunStatus(const Form1& form) {
    const bool outOfRange =
        std::any_of(std::begin(kResults), std::end(kResults),
                    [&form](ControlId id) { return form.control(id).text == kOutOfRange; });
    return outOfRange ? kRunOutOfRange : kRunComputed;
}

std::size_t Utf8SequenceLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const auto at = [&text](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    // The second byte's range depends on the lead (no overlong forms, no surrogates, nothing
    // above U+10FFFF); every later byte is 80 to BF.
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (text.size() < length || at(1) < low || at(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (at(i) < 0x80 || at(i) > 0xbf) {
            return 0;
        }
    }
    return length;
}

std::string PrintableText(std::string_view value) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < value.size();) {
        const char c = value[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            // A whole, valid UTF-8 sequence is kept; any other byte is written as \xNN and the
            // next one looked at afresh, so the line stays valid UTF-8 whatever it quotes.
            const std::size_t length = Utf8SequenceLength(value.substr(i));
            if (length > 0) {
                text.append(value.substr(i, length));
                i += length;
                continue;
            }
        }
        if (c == '\n') {
            text += "\\n";
        } else if (c == '\t') {
            text += "\\t";
        } else if (byte < 0x20 || byte >= 0x7f) {
            text += "\\x";
            text.push_back(kHex[byte >> 4]);
            text.push_back(kHex[byte & 0xf]);
        } else {
            text.push_back(c);
        }
        ++i;
    }
    return text;
}

int RunActions(std::span<const ActionArgument> actions, RunOutput output, std::string& out,
               std::string& err) {
    std::vector<ResolvedAction> steps;
    steps.reserve(actions.size());
    for (const ActionArgument& a : actions) {
        const ActionDescription* action = FindAction(a.option);
        if (action == nullptr) {
            err += "lenstally: --" + PrintableText(a.option) +
                   " is not an action (see lenstally --help)\n";
            return kUsageError;
        }
        Checked<ResolvedAction> step = ResolveValue(*action, a.value);
        if (!step.value) {
            err += "lenstally: --" + std::string(action->option) + ": '" + PrintableText(a.value) +
                   "' is not allowed; " + step.error + '\n';
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
