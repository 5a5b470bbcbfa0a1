// SPDX-License-Identifier: MIT
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>

#include "form/run.hpp"
#include "project/json_text.hpp"
#include "project/project.hpp"
#include "project/project_checks.hpp"

namespace lenstally {
namespace {

using detail::FileEntry;
using detail::FileValue;

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

constexpr std::string_view kProjectKeys[] = {"name", "groups", "storage", "recorder"};

// The objects of a project whose keys hold plain values: each group, "storage" and "recorder".
enum class Flat { None, Group, Storage, Recorder };

// Reads a project as the parser walks the file, without building a document: each group and
// section is checked as it closes, so the first problem in the file is the one reported, and a
// key given twice is seen (a document would keep only one of them).
class ProjectReader final : public nlohmann::json_sax<nlohmann::json> {
public:
    explicit ProjectReader(std::string_view text) : m_text(text) {}

    ProjectParse finish(bool parsed) {
        if (parsed && !seen("groups")) {
            fail("the project has no \"groups\"");
        }
        if (parsed && m_project->recorder && m_project->recorder->bays && !m_project->storage) {
            fail(R"(recorder: "bays" needs a "storage" section (the drives to place))");
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
            {FileValue::Kind::Integer, std::to_string(value), static_cast<double>(value), {}});
    }
    bool number_unsigned(number_unsigned_t value) override {
        return scalar(
            {FileValue::Kind::Integer, std::to_string(value), static_cast<double>(value), {}});
    }
    bool number_float(number_float_t value, const string_t& text) override {
        return scalar({FileValue::Kind::Float, text, value, {}});
    }
    bool string(string_t& value) override {
        return scalar({FileValue::Kind::String, std::move(value), 0, {}});
    }
    bool binary(binary_t& /*value*/) override { return scalar({}); }

    bool start_object(std::size_t /*elements*/) override {
        const int open = m_depth++;
        if (open == 0) {
            return true; // the project itself
        }
        if (m_flat == Flat::Group && open == m_flatDepth) {
            // A group's key holding an object (a camera view): its members are kept for the
            // check, one level deep.
            FileValue object;
            object.members.emplace();
            m_entries.push_back({std::move(m_key), std::move(object)});
            return true;
        }
        if (m_flat != Flat::None) {
            return nested(open);
        }
        if (open == 1) {
            if (m_key == "storage") {
                return beginFlat(Flat::Storage, 2);
            }
            if (m_key == "recorder") {
                return beginFlat(Flat::Recorder, 2);
            }
            return wrongProjectValue();
        }
        return beginFlat(Flat::Group, 3); // an element of "groups"
    }
    bool start_array(std::size_t /*elements*/) override {
        const int open = m_depth++;
        if (open == 0) {
            return fail(kNotAProject);
        }
        if (m_flat != Flat::None) {
            return nested(open);
        }
        if (open == 1) {
            return m_key == "groups" ? true : wrongProjectValue();
        }
        return fail(notAnObject());
    }
    bool end_object() override {
        if (--m_depth == m_flatDepth - 1 && m_flat != Flat::None) {
            return endFlat();
        }
        return true;
    }
    bool end_array() override {
        --m_depth;
        return true;
    }
    bool key(string_t& value) override {
        if (m_depth == 1) {
            if (std::find(std::begin(kProjectKeys), std::end(kProjectKeys), value) ==
                std::end(kProjectKeys)) {
                return fail("unknown key " + JsonString(value) +
                            " in the project; allowed keys are name, groups, storage, recorder");
            }
            if (seen(value)) {
                return fail(JsonString(value) + " is given twice");
            }
            m_seen.push_back(value);
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
        // The problem quotes the bytes last read, which may be any bytes of the file.
        return fail("invalid JSON at " + lineAndColumn(m_text, position) + ": " +
                    PrintableText(parseProblem(e.what())));
    }

private:
    static constexpr const char* kNotAProject =
        R"(a project is a JSON object with "groups" (and "name", "storage", "recorder"))";

    bool fail(std::string message) {
        if (m_error.empty()) {
            m_error = std::move(message);
        }
        return false;
    }

    bool seen(std::string_view key) const {
        return std::find(m_seen.begin(), m_seen.end(), key) != m_seen.end();
    }

    std::string notAnObject() const {
        return "group " + std::to_string(m_project->groups.size() + 1) + " is not an object";
    }

    // A value of the project object of the wrong kind.
    bool wrongProjectValue() {
        if (m_key == "groups") {
            return fail("\"groups\" must be an array");
        }
        if (m_key == "name") {
            return fail("the project's \"name\" must be a string");
        }
        return fail(JsonString(m_key) + " must be an object");
    }

    bool beginFlat(Flat flat, int depth) {
        m_flat = flat;
        m_flatDepth = depth;
        m_entries.clear();
        return true;
    }

    // An array or object inside a flat object: the key's value is of the wrong kind, whatever
    // it holds, and the check refuses it.
    bool nested(int open) {
        if (open == m_flatDepth) {
            m_entries.push_back({std::move(m_key), {}});
        } else if (open == m_flatDepth + 1 && innerObject() != nullptr) {
            innerObject()->push_back({std::move(m_key), {}});
        }
        return true;
    }

    // The members of the object being read inside a group's key, if one is open.
    std::vector<FileEntry>* innerObject() {
        if (m_flat != Flat::Group || m_depth <= m_flatDepth || m_entries.empty()) {
            return nullptr;
        }
        std::optional<std::vector<FileEntry>>& members = m_entries.back().value.members;
        return members ? &*members : nullptr;
    }

    bool endFlat() {
        const Flat flat = m_flat;
        m_flat = Flat::None;
        switch (flat) {
        case Flat::Group: {
            auto group = detail::CheckGroup(m_entries, m_project->groups.size() + 1);
            if (!group.value) {
                return fail(std::move(group.error));
            }
            m_project->groups.push_back(std::move(*group.value));
            return true;
        }
        case Flat::Storage: {
            auto storage = detail::CheckStorage(m_entries);
            if (!storage.value) {
                return fail(std::move(storage.error));
            }
            m_project->storage = *storage.value;
            return true;
        }
        case Flat::Recorder: {
            auto recorder = detail::CheckRecorder(m_entries);
            if (!recorder.value) {
                return fail(std::move(recorder.error));
            }
            m_project->recorder = *recorder.value;
            return true;
        }
        case Flat::None:
            break;
        }
        return true;
    }

    bool scalar(FileValue value) {
        if (m_flat != Flat::None) {
            if (m_depth == m_flatDepth) {
                m_entries.push_back({std::move(m_key), std::move(value)});
            } else if (m_depth == m_flatDepth + 1 && innerObject() != nullptr) {
                innerObject()->push_back({std::move(m_key), std::move(value)});
            }
            return true; // deeper: inside an array or object of a key, which the check refuses
        }
        switch (m_depth) {
        case 0:
            return fail(kNotAProject);
        case 1:
            if (m_key != "name" || value.kind != FileValue::Kind::String) {
                return wrongProjectValue();
            }
            m_project->name = std::move(value.text);
            return true;
        default:
            return fail(notAnObject());
        }
    }

    std::string_view m_text;
    std::optional<Project> m_project = Project{};
    std::vector<std::string> m_seen;  // the project's keys so far
    Flat m_flat = Flat::None;         // the flat object being read, if any
    int m_flatDepth = 0;              // containers open inside that object
    std::vector<FileEntry> m_entries; // its keys and values so far
    std::string m_key;                // the key whose value comes next
    int m_depth = 0;                  // objects and arrays open
    std::string m_error;
};

} // namespace

ProjectParse ParseProject(std::string_view text) {
    ProjectReader reader(text);
    const bool parsed = nlohmann::json::sax_parse(text, &reader);
    // The parser takes a NUL byte for the end of the text, so a value it accepts is followed by
    // nothing but white space up to the first NUL, if there is one: refuse that and what follows.
    const std::size_t nul = text.find('\0');
    if (parsed && nul != std::string_view::npos) {
        return {std::nullopt, "invalid JSON at " + lineAndColumn(text, nul + 1) +
                                  ": a NUL byte after the JSON value; only white space may follow "
                                  "it"};
    }
    return reader.finish(parsed);
}

ProjectParse ReadProjectFile(const std::string& path) {
    // stdio rather than a stream: it reports why (no such file, a directory, no permission).
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    auto failed = [] {
        return ProjectParse{std::nullopt,
                            std::string("cannot read the project: ") + std::strerror(errno)};
    };
    if (!file) {
        return failed();
    }
    std::string text;
    std::array<char, 65536> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), file.get())) > 0) {
        text.append(buf.data(), n);
    }
    if (std::ferror(file.get()) != 0) {
        return failed();
    }
    return ParseProject(text);
}

} // namespace lenstally
