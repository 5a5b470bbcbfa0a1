// SPDX-License-Identifier: MIT
#include "app/project.hpp"

#include "estimation/estimates.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <nlohmann/json.hpp>
#include <ostream>

namespace lenstally {
namespace {

constexpr std::string_view kCsvHeader =
    "name,stream,bitrate-mode,resolution,quality,fps,gop,hours,frame-size,cameras,bitrate,days,"
    "per-camera,total-bandwidth,storage,total-kbps,storage-kb";

// Appends a JSON string literal. Texts with nothing to escape, nearly all of them, are quoted
// here; the rest go through the library. They come from JSON or from the program, so they are
// valid UTF-8; replace keeps a stray byte from ever aborting a report.
void appendJsonString(std::string& out, const std::string& text) {
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x80 && c != '"' && c != '\\';
    });
    if (plain) {
        out += '"';
        out += text;
        out += '"';
        return;
    }
    out += nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string jsonString(const std::string& text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

std::string allowedKeys() {
    std::string keys = "name";
    for (const ActionSpec& a : Actions()) {
        keys += ", ";
        keys += a.option;
    }
    return keys;
}

// Line and column (both from 1) of the byte nlohmann reports: the count of bytes read, so the
// offending byte is the one before it.
std::string lineAndColumn(std::string_view text, std::size_t bytesRead) {
    const std::size_t at = std::min(bytesRead > 0 ? bytesRead - 1 : 0, text.size());
    const std::string_view before = text.substr(0, at);
    const std::size_t line =
        1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lastBreak = before.rfind('\n');
    const std::size_t column = lastBreak == std::string_view::npos ? at + 1 : at - lastBreak;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// nlohmann's message without its id and position: "syntax error while parsing value - ...".
std::string parseProblem(const std::string& what) {
    const std::size_t column = what.find("column ");
    if (column != std::string::npos) {
        const std::size_t colon = what.find(": ", column);
        if (colon != std::string::npos) {
            return what.substr(colon + 2);
        }
    }
    const std::size_t bracket = what.find("] ");
    return bracket == std::string::npos ? what : what.substr(bracket + 2);
}

// A value of a group's key as the file wrote it, before any check.
struct FileValue {
    enum class Kind { String, Integer, Float, Other };
    Kind kind = Kind::Other; // Other: true, false, null, an array or an object
    std::string text;        // String: the string; Integer and Float: the number as written
    double number = 0;       // Integer and Float: the nearest double
};

struct FileEntry {
    std::string key;
    FileValue value;
};

std::string shown(const FileValue& value) {
    return value.kind == FileValue::Kind::String ? jsonString(value.text) : value.text;
}

// The text an action receives from a file value, or nullopt with `error` saying why not.
std::optional<std::string> actionText(const ActionSpec& action, const FileValue& value,
                                      std::string& error) {
    using Kind = FileValue::Kind;
    switch (action.kind) {
    case ActionKind::Select:
    case ActionKind::Pick:
        if (value.kind == Kind::String) {
            return value.text;
        }
        error = "must be a string";
        return std::nullopt;
    case ActionKind::Number:
        // A whole number as written or a string of digits; 30.0 is refused by ResolveValue.
        if (value.kind != Kind::Other) {
            return value.text;
        }
        error = "must be a whole number or a string of digits";
        return std::nullopt;
    case ActionKind::Type:
        // A number types the shortest text that reads back as the same double: 16 -> "16",
        // 1e3 -> "1000". The reader has already refused numbers beyond a double.
        if (value.kind == Kind::String) {
            return value.text;
        }
        if (value.kind != Kind::Other) {
            return ShortestText(value.number);
        }
        error = "must be a string or a number";
        return std::nullopt;
    }
    return std::nullopt;
}

// Checks one group's entries, in the file's order, and resolves its actions.
std::optional<ProjectGroup> checkGroup(std::vector<FileEntry>& entries, std::size_t position,
                                       std::string& error) {
    auto where = [position] {
        return "group " + std::to_string(position);
    };
    const auto name = std::find_if(entries.rbegin(), entries.rend(),
                                   [](const FileEntry& e) { return e.key == "name"; });
    if (name == entries.rend()) {
        error = where() + " has no \"name\"";
        return std::nullopt;
    }
    if (name->value.kind != FileValue::Kind::String) {
        error = where() + ": \"name\" must be a string";
        return std::nullopt;
    }
    ProjectGroup result;
    result.name = name->value.text;
    auto label = [&] {
        return where() + " " + jsonString(result.name);
    };

    const std::span<const ActionSpec> actions = Actions();
    std::vector<std::optional<ResolvedAction>> slots(actions.size());
    for (FileEntry& entry : entries) {
        if (entry.key == "name") {
            continue;
        }
        const ActionSpec* action = FindAction(entry.key);
        if (action == nullptr) {
            error = label() + ": unknown key " + jsonString(entry.key) + "; allowed keys are " +
                    allowedKeys();
            return std::nullopt;
        }
        std::string problem;
        std::optional<std::string> text = actionText(*action, entry.value, problem);
        if (!text) {
            error = label() + ": " + jsonString(entry.key) + " " + problem;
            return std::nullopt;
        }
        const std::optional<int> index = ResolveValue(*action, *text, problem);
        if (!index) {
            error = label() + ": " + jsonString(entry.key) + " is " + shown(entry.value) + "; " +
                    problem;
            return std::nullopt;
        }
        // A key given twice keeps its last value, as JSON readers do.
        slots[static_cast<std::size_t>(action - actions.data())] =
            ResolvedAction{action, *index, std::move(*text)};
    }
    // Selections first, then typing, whatever the file's order: a typed frame size stays typed.
    for (std::optional<ResolvedAction>& slot : slots) {
        if (slot) {
            result.actions.push_back(std::move(*slot));
        }
    }
    return result;
}

// Reads a project as the parser walks the file, without building a document: the groups are
// checked as they close, so the first problem in the file is the one reported.
class ProjectReader final : public nlohmann::json_sax<nlohmann::json> {
public:
    explicit ProjectReader(std::string_view text) : m_text(text) {}

    ProjectParse finish(bool parsed) {
        if (parsed && !m_sawGroups) {
            fail("the project has no \"groups\"");
        }
        if (!m_error.empty()) {
            return {std::nullopt, std::move(m_error)};
        }
        return {std::move(m_project), {}};
    }

    bool null() override { return scalar({}); }
    bool boolean(bool /*value*/) override { return scalar({}); }
    bool number_integer(number_integer_t value) override {
        return scalar(
            {FileValue::Kind::Integer, std::to_string(value), static_cast<double>(value)});
    }
    bool number_unsigned(number_unsigned_t value) override {
        return scalar(
            {FileValue::Kind::Integer, std::to_string(value), static_cast<double>(value)});
    }
    bool number_float(number_float_t value, const string_t& text) override {
        return scalar({FileValue::Kind::Float, text, value});
    }
    bool string(string_t& value) override {
        return scalar({FileValue::Kind::String, std::move(value), 0});
    }
    bool binary(binary_t& /*value*/) override { return scalar({}); }

    bool start_object(std::size_t /*elements*/) override {
        switch (m_depth++) {
        case 0:
            return true;
        case 1:
            return projectValue(false);
        case 2:
            m_entries.clear();
            return true;
        case 3:
            m_entries.push_back({std::move(m_key), {}});
            return true;
        default:
            return true;
        }
    }
    bool start_array(std::size_t /*elements*/) override {
        switch (m_depth++) {
        case 0:
            return fail(kNotAProject);
        case 1:
            if (m_key == "groups") {
                if (m_sawGroups) {
                    return fail("\"groups\" is given twice");
                }
                m_sawGroups = true;
                return true;
            }
            return projectValue(false);
        case 2:
            return fail("group " + std::to_string(m_project->groups.size() + 1) +
                        " is not an object");
        case 3:
            m_entries.push_back({std::move(m_key), {}});
            return true;
        default:
            return true;
        }
    }
    bool end_object() override {
        if (--m_depth == 2) {
            std::optional<ProjectGroup> group =
                checkGroup(m_entries, m_project->groups.size() + 1, m_error);
            if (!group) {
                return false;
            }
            m_project->groups.push_back(std::move(*group));
        }
        return true;
    }
    bool end_array() override {
        --m_depth;
        return true;
    }
    bool key(string_t& value) override {
        if (m_depth == 1 && value != "name" && value != "groups") {
            return fail("unknown key " + jsonString(value) +
                        " in the project; allowed keys are name, groups");
        }
        m_key = std::move(value);
        return true;
    }

    bool parse_error(std::size_t position, const std::string& token,
                     const nlohmann::json::exception& e) override {
        if (e.id == 406) {
            // "number overflow parsing '1e400'": the position is just past the number.
            const std::size_t start = position >= token.size() ? position - token.size() : 0;
            return fail(lineAndColumn(m_text, start + 1) + ": the number " + token +
                        " is beyond the range of a double; write it as a string to type it as "
                        "text");
        }
        return fail("invalid JSON at " + lineAndColumn(m_text, position) + ": " +
                    parseProblem(e.what()));
    }

private:
    static constexpr const char* kNotAProject =
        R"(a project is a JSON object with "groups" (and "name"))";

    bool fail(std::string message) {
        if (m_error.empty()) {
            m_error = std::move(message);
        }
        return false;
    }

    // A value of the project object: "name" takes a string, "groups" an array.
    bool projectValue(bool isString, std::string text = {}) {
        if (m_key == "groups") {
            return fail("\"groups\" must be an array");
        }
        if (!isString) {
            return fail("the project's \"name\" must be a string");
        }
        m_project->name = std::move(text);
        return true;
    }

    bool scalar(FileValue value) {
        switch (m_depth) {
        case 0:
            return fail(kNotAProject);
        case 1:
            return projectValue(value.kind == FileValue::Kind::String, std::move(value.text));
        case 2:
            return fail("group " + std::to_string(m_project->groups.size() + 1) +
                        " is not an object");
        case 3:
            m_entries.push_back({std::move(m_key), std::move(value)});
            return true;
        default:
            return true; // inside an array or object of a group's key; that key is refused
        }
    }

    std::string_view m_text;
    std::optional<Project> m_project = Project{};
    std::vector<FileEntry> m_entries; // the keys of the group being read
    std::string m_key;                // the key whose value comes next
    int m_depth = 0;                  // objects and arrays open
    bool m_sawGroups = false;
    std::string m_error;
};

// One cell of CSV: quoted only when it holds a comma, a double quote or a line break.
void writeCsvField(std::ostream& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out << field;
        return;
    }
    out << '"';
    for (char c : field) {
        if (c == '"') {
            out << '"';
        }
        out << c;
    }
    out << '"';
}

std::string rawText(const std::optional<double>& value, std::string_view missing) {
    return value ? ShortestText(*value) : std::string(missing);
}

// Display width of a UTF-8 text: one column per code point.
std::size_t columns(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The form after start-up and a group's selections, kept for later groups that make the same
// selections. A group's selections all come before its typing, and the same operations on the
// same state always leave the same state, so a copy of the kept form stands for running them
// again; only the typing is left to run. Sites mix few kinds of camera, so few states are kept.
class SelectionStates {
public:
    explicit SelectionStates(const Form1& startUp) : m_startUp(startUp) {}

    /// Puts `form` in the state after start-up and the group's selections; returns how many of
    /// the group's actions that covers.
    std::size_t prepare(Form1& form, const ProjectGroup& group) {
        const std::span<const ActionSpec> actions = Actions();
        std::vector<int> key(actions.size(), -1); // the index each selection picked; -1 none
        std::size_t selections = 0;
        for (; selections < group.actions.size(); ++selections) {
            const ResolvedAction& a = group.actions[selections];
            if (a.action->kind == ActionKind::Type) {
                break;
            }
            key[static_cast<std::size_t>(a.action - actions.data())] = a.index;
        }
        const auto kept = m_states.find(key);
        if (kept != m_states.end()) {
            form = kept->second;
            return selections;
        }
        form = m_startUp;
        for (std::size_t i = 0; i < selections; ++i) {
            ApplyAction(form, group.actions[i]);
        }
        if (m_states.size() < kMaxStates) {
            m_states.emplace(std::move(key), form);
        }
        return selections;
    }

private:
    static constexpr std::size_t kMaxStates = 64;
    const Form1& m_startUp;
    std::map<std::vector<int>, Form1> m_states;
};

// One group, on `form` already in the state after start-up and its first `done` actions.
GroupResult computeGroup(Form1& form, const ProjectGroup& group, std::size_t done) {
    for (std::size_t i = done; i < group.actions.size(); ++i) {
        ApplyAction(form, group.actions[i]);
    }
    GroupResult g;
    g.name = group.name;
    g.inputs.reserve(Actions().size());
    for (const ActionSpec& a : Actions()) {
        g.inputs.push_back(CurrentValue(form, a));
    }
    g.frameSize = form.control(ControlId::txtFrameSize).text;
    g.perCamera = form.control(ControlId::lbPerBandwidth).text;
    g.totalBandwidth = form.control(ControlId::lbTotalBandwidth).text;
    g.storage = form.control(ControlId::lbStorageSize).text;
    const Figures f = form.figures();
    if (g.totalBandwidth != kOutOfRange) {
        g.totalKbps = f.totalKbps;
    }
    if (g.storage != kOutOfRange) {
        g.storageKB = f.storageKB;
    }
    return g;
}

} // namespace

std::string ShortestText(double value) {
    std::array<char, 32> buf{};
    const auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return ec == std::errc{} ? std::string(buf.data(), end) : std::string();
}

ProjectParse ParseProject(std::string_view text) {
    ProjectReader reader(text);
    const bool parsed = nlohmann::json::sax_parse(text, &reader);
    return reader.finish(parsed);
}

bool ProjectResult::anyOutOfRange() const {
    if (totalBandwidth == kOutOfRange || totalStorage == kOutOfRange) {
        return true;
    }
    return std::any_of(groups.begin(), groups.end(), [](const GroupResult& g) {
        return g.perCamera == kOutOfRange || g.totalBandwidth == kOutOfRange ||
               g.storage == kOutOfRange;
    });
}

ProjectResult ComputeProject(const Project& project) {
    // Every group starts from the state start-up leaves. Start-up is most of a run's cost and
    // always ends in the same state, so it runs once; each group starts from a copy of it, or of
    // the kept state after the same selections.
    Form1 startUp;
    startUp.load();

    ProjectResult result;
    result.name = project.name;
    result.groups.resize(project.groups.size());
    SelectionStates states(startUp);
    Form1 form = startUp;
    for (std::size_t i = 0; i < project.groups.size(); ++i) {
        const std::size_t done = states.prepare(form, project.groups[i]);
        result.groups[i] = computeGroup(form, project.groups[i], done);
    }

    // Each total depends only on its own figures: one group out of range spoils that total
    // alone. The sums run in group order, so the last bit never depends on anything else.
    double kbps = 0;
    double kilobytes = 0;
    bool kbpsOut = false;
    bool kilobytesOut = false;
    for (const GroupResult& g : result.groups) {
        if (g.totalKbps) {
            kbps += *g.totalKbps;
        } else {
            kbpsOut = true;
        }
        if (g.storageKB) {
            kilobytes += *g.storageKB;
        } else {
            kilobytesOut = true;
        }
    }
    result.totalBandwidth = kbpsOut ? std::string(kOutOfRange) : TotalBandwidthCaption(kbps);
    result.totalStorage = kilobytesOut ? std::string(kOutOfRange) : StorageCaption(kilobytes);
    if (result.totalBandwidth != kOutOfRange) {
        result.totalKbps = kbps;
    }
    if (result.totalStorage != kOutOfRange) {
        result.storageKB = kilobytes;
    }
    return result;
}

void WriteProjectTable(const ProjectResult& result, std::ostream& out) {
    using Row = std::array<std::string, 6>;
    std::vector<Row> rows;
    rows.reserve(result.groups.size() + 2);
    rows.push_back(
        {"Group", "Cameras", "Frame size (KB)", "Per camera", "Total bandwidth", "Storage"});
    const std::size_t cameras = static_cast<std::size_t>(FindAction("cameras") - Actions().data());
    for (const GroupResult& g : result.groups) {
        rows.push_back(
            {g.name, g.inputs[cameras], g.frameSize, g.perCamera, g.totalBandwidth, g.storage});
    }
    rows.push_back({"TOTAL", "", "", "", result.totalBandwidth, result.totalStorage});

    std::array<std::size_t, 6> width{};
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            width[i] = std::max(width[i], columns(row[i]));
        }
    }
    if (result.name) {
        out << "Project: " << *result.name << "\n\n";
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) {
                line.append(width[i] - columns(row[i]) + 2, ' ');
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

void WriteProjectJson(const ProjectResult& result, std::ostream& out) {
    // Written by hand so every raw number is exactly the shortest text that reads back as it.
    std::string text;
    auto field = [&text](std::string_view key, const std::string& value) {
        text += key;
        appendJsonString(text, value);
    };
    auto number = [&text](std::string_view key, const std::optional<double>& value) {
        text += key;
        text += value ? ShortestText(*value) : std::string("null");
    };
    text += "{\"name\":";
    if (result.name) {
        appendJsonString(text, *result.name);
    } else {
        text += "null";
    }
    text += ",\"groups\":[";
    for (std::size_t i = 0; i < result.groups.size(); ++i) {
        const GroupResult& g = result.groups[i];
        text += i == 0 ? "{" : ",{";
        field("\"name\":", g.name);
        field(",\"txtFrameSize\":", g.frameSize);
        field(",\"lbPerBandwidth\":", g.perCamera);
        field(",\"lbTotalBandwidth\":", g.totalBandwidth);
        field(",\"lbStorageSize\":", g.storage);
        number(",\"totalKbps\":", g.totalKbps);
        number(",\"storageKB\":", g.storageKB);
        text += '}';
    }
    field(R"(],"total":{"bandwidth":)", result.totalBandwidth);
    field(",\"storage\":", result.totalStorage);
    number(",\"totalKbps\":", result.totalKbps);
    number(",\"storageKB\":", result.storageKB);
    text += "}}\n";
    out << text;
}

void WriteProjectCsv(const ProjectResult& result, std::ostream& out) {
    constexpr std::string_view kEnd = "\r\n";
    out << kCsvHeader << kEnd;
    auto writeRow = [&out, kEnd](std::span<const std::string> cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) {
                out << ',';
            }
            writeCsvField(out, cells[i]);
        }
        out << kEnd;
    };
    std::vector<std::string> cells;
    for (const GroupResult& g : result.groups) {
        cells.clear();
        cells.push_back(g.name);
        cells.insert(cells.end(), g.inputs.begin(), g.inputs.end());
        cells.insert(cells.end(), {g.perCamera, g.totalBandwidth, g.storage,
                                   rawText(g.totalKbps, ""), rawText(g.storageKB, "")});
        writeRow(cells);
    }
    cells.assign(1 + Actions().size() + 1, std::string());
    cells.front() = "TOTAL";
    cells.insert(cells.end(), {result.totalBandwidth, result.totalStorage,
                               rawText(result.totalKbps, ""), rawText(result.storageKB, "")});
    writeRow(cells);
}

} // namespace lenstally
