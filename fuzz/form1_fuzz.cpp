// SPDX-License-Identifier: MIT
// Fuzzes the window model: the bytes become a sequence of user actions on any control (select
// any option button, pick any position of any list, type any text into any text box), applied
// to a fresh Form1 after start-up. After every action:
//   - each group of option buttons has exactly one selected;
//   - each result caption is "Out of range" or a number and unit of the caption grammar: the
//     per-camera bandwidth in Kbps as FormatNumber writes it (no leading blank), every other
//     caption with its sign position; units Kbps/Mbps/Gbps or KB/MB/GB/TB;
//   - each caption is the one the current figures give, so no event left a caption stale.
// Picking position -1 (nothing picked) is included although only the program can do it: it
// drives the zero-divisor path of the storage estimate.

#include "estimation/estimates.hpp"

#include <array>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "form/controls.hpp"
#include "form/form1.hpp"
#include "fuzz/fuzz_check.hpp"

namespace {

using lenstally::ControlId;
using lenstally::ControlKind;
using lenstally::fuzzing::require;

std::vector<ControlId> controlsOfKind(ControlKind kind) {
    std::vector<ControlId> ids;
    for (const lenstally::ControlDescription& d : lenstally::ControlDescriptions()) {
        if (d.kind == kind) {
            ids.push_back(d.id);
        }
    }
    return ids;
}

const std::vector<ControlId> kOptions = controlsOfKind(ControlKind::Option);
const std::vector<ControlId> kCombos = controlsOfKind(ControlKind::ComboBox);
const std::vector<ControlId> kTextBoxes = controlsOfKind(ControlKind::TextBox);

// The option buttons of each container.
std::map<ControlId, std::vector<ControlId>> optionGroups() {
    std::map<ControlId, std::vector<ControlId>> groups;
    for (ControlId id : kOptions) {
        groups[lenstally::Describe(id).container].push_back(id);
    }
    return groups;
}
const std::map<ControlId, std::vector<ControlId>> kOptionGroups = optionGroups();

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Consumes the digits at the front of `s`; returns how many there were.
std::size_t takeDigits(std::string_view& s) {
    std::size_t n = 0;
    while (n < s.size() && isDigit(s[n])) {
        ++n;
    }
    s.remove_prefix(n);
    return n;
}

// A magnitude as the two number formats write it, at most 15 significant digits and no trailing
// zeros after a point: "0", "35", "7.5", "0.0005" (".0005" without the leading zero) for decimal
// exponents -4 to 14; "1.5E+16", "1E-05" outside them.
bool isMagnitude(std::string_view s, bool leadingZero) {
    if (s == "0") {
        return true;
    }
    const std::size_t e = s.find('E');
    if (e != std::string_view::npos) {
        std::string_view mantissa = s.substr(0, e);
        std::string_view exponent = s.substr(e + 1);
        if (mantissa.empty() || mantissa[0] < '1' || mantissa[0] > '9') {
            return false;
        }
        mantissa.remove_prefix(1);
        std::size_t digits = 1;
        if (!mantissa.empty()) {
            if (mantissa[0] != '.') {
                return false;
            }
            mantissa.remove_prefix(1);
            const std::string_view fraction = mantissa;
            digits += takeDigits(mantissa);
            if (fraction.empty() || fraction.back() == '0' || !mantissa.empty()) {
                return false;
            }
        }
        if (exponent.empty() || (exponent[0] != '+' && exponent[0] != '-')) {
            return false;
        }
        const bool negative = exponent[0] == '-';
        exponent.remove_prefix(1);
        const std::string_view expDigits = exponent;
        if (takeDigits(exponent) < 2 || !exponent.empty()) {
            return false;
        }
        const int value = std::stoi(std::string(expDigits));
        return digits <= 15 && (negative ? value > 4 : value > 14);
    }
    std::string_view rest = s;
    if (rest.starts_with(leadingZero ? "0." : ".")) {
        rest.remove_prefix(leadingZero ? 2 : 1);
        const std::size_t zeros = rest.find_first_not_of('0');
        if (zeros == std::string_view::npos || zeros > 3) {
            return false;
        }
        rest.remove_prefix(zeros);
        const std::size_t digits = takeDigits(rest);
        return rest.empty() && digits <= 15 && s.back() != '0';
    }
    if (rest.empty() || rest[0] < '1' || rest[0] > '9') {
        return false;
    }
    const std::size_t whole = takeDigits(rest);
    if (rest.empty()) {
        return whole <= 15;
    }
    if (rest[0] != '.') {
        return false;
    }
    rest.remove_prefix(1);
    const std::size_t fraction = takeDigits(rest);
    return rest.empty() && fraction > 0 && whole + fraction <= 15 && s.back() != '0';
}

// "Out of range", or a number directly followed by one of `units`. The number has the sign
// position (a blank or a minus sign) and no 0 before the point of a magnitude below 1, except in
// `plainUnit`, where it is written as FormatNumber writes it.
bool isCaption(std::string_view caption, std::initializer_list<std::string_view> units,
               std::string_view plainUnit) {
    if (caption == lenstally::kOutOfRange) {
        return true;
    }
    for (std::string_view unit : units) {
        if (!caption.ends_with(unit)) {
            continue;
        }
        std::string_view number = caption.substr(0, caption.size() - unit.size());
        if (unit == plainUnit) {
            if (number.starts_with("-")) {
                number.remove_prefix(1);
                return number != "0" && isMagnitude(number, true);
            }
            return isMagnitude(number, true);
        }
        if (number.empty() || (number[0] != ' ' && number[0] != '-')) {
            return false;
        }
        const bool negative = number[0] == '-';
        number.remove_prefix(1);
        return isMagnitude(number, false) && !(negative && number == "0");
    }
    return false;
}

void checkInvariants(const lenstally::Form1& form, std::string_view after) {
    for (const auto& [container, buttons] : kOptionGroups) {
        int selected = 0;
        for (ControlId id : buttons) {
            selected += form.control(id).value ? 1 : 0;
        }
        require(selected == 1, "exactly one option selected in each group", after);
    }
    const std::string& perCamera = form.control(ControlId::lbPerBandwidth).text;
    const std::string& total = form.control(ControlId::lbTotalBandwidth).text;
    const std::string& storage = form.control(ControlId::lbStorageSize).text;
    require(isCaption(perCamera, {"Kbps", "Mbps", "Gbps"}, "Kbps"),
            "the per-camera caption follows the grammar", perCamera);
    require(isCaption(total, {"Kbps", "Mbps", "Gbps"}, {}), "the total caption follows the grammar",
            total);
    require(isCaption(storage, {"KB", "MB", "GB", "TB"}, {}),
            "the storage caption follows the grammar", storage);

    const lenstally::Figures f = form.figures();
    require(perCamera == lenstally::PerCameraBandwidthCaption(f.perCameraKbps),
            "the per-camera caption is up to date", after);
    require(total == lenstally::TotalBandwidthCaption(f.totalKbps),
            "the total caption is up to date", after);
    require(storage == lenstally::StorageCaption(f.storageKB), "the storage caption is up to date",
            after);
}

ControlId pick(FuzzedDataProvider& input, const std::vector<ControlId>& ids) {
    return ids[input.ConsumeIntegralInRange<std::size_t>(0, ids.size() - 1)];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    lenstally::Form1 form;
    form.load();
    checkInvariants(form, "start-up");
    while (input.remaining_bytes() > 0) {
        std::string after;
        switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0: {
            const ControlId option = pick(input, kOptions);
            after = "select " + std::string(lenstally::Describe(option).name);
            form.selectOption(option);
            break;
        }
        case 1: {
            const ControlId combo = pick(input, kCombos);
            const auto last = static_cast<int>(form.control(combo).items.size()) - 1;
            const auto index = static_cast<std::int16_t>(input.ConsumeIntegralInRange(-1, last));
            after = "pick " + std::to_string(index) + " in " +
                    std::string(lenstally::Describe(combo).name);
            form.setListIndex(combo, index);
            break;
        }
        default: {
            const ControlId box = pick(input, kTextBoxes);
            std::string text = input.ConsumeRandomLengthString(64);
            after = "type '" + text + "' into " + std::string(lenstally::Describe(box).name);
            form.setText(box, std::move(text));
            break;
        }
        }
        checkInvariants(form, after);
    }
    return 0;
}
