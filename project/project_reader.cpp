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
#include "project/site_checks.hpp"
#include "project/site_reader.hpp"

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

constexpr std::string_view kProjectKeys[] = {"name", "groups", "storage", "recorder", "site"};

// How deep a group's key keeps its value: an object or array (a camera view, the placements) and
// the objects and arrays directly inside it (each placement).
constexpr std::size_t kGroupValueDepth = 2;

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
        if (parsed) {
            if (std::optional<std::string> problem = detail::PlacementsOnSiteProblem(*m_project)) {
                fail(std::move(*problem));
            }
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
            {FileValue::Kind::Integer, std::to_string(value), static_cast<double>(value), {}, {}});
    }
    bool number_unsigned(number_unsigned_t value) override {
        return scalar(
            {FileValue::Kind::Integer, std::to_string(value), static_cast<double>(value), {}, {}});
    }
    bool number_float(number_float_t value, const string_t& text) override {
        return scalar({FileValue::Kind::Float, text, value, {}, {}});
    }
    bool string(string_t& value) override {
        return scalar({FileValue::Kind::String, std::move(value), 0, {}, {}});
    }
    bool binary(binary_t& /*value*/) override { return scalar({}); }

    bool start_object(std::size_t /*elements*/) override {
        if (m_site) {
            return siteSays(m_site->startObject());
        }
        const int open = m_depth++;
        if (open == 0) {
            return true; // the project itself
        }
        if (m_flat != Flat::None) {
            return nested(open, true);
        }
        if (open == 1) {
            if (m_key == "storage") {
                return beginFlat(Flat::Storage, 2);
            }
            if (m_key == "recorder") {
                return beginFlat(Flat::Recorder, 2);
            }
            if (m_key == "site") {
                --m_depth; // the site reader follows its own objects and arrays
                m_site.emplace();
                return siteSays(m_site->startObject());
            }
            return wrongProjectValue();
        }
        return beginFlat(Flat::Group, 3); // an element of "groups"
    }
    bool start_array(std::size_t /*elements*/) override {
        if (m_site) {
            return siteSays(m_site->startArray());
        }
        const int open = m_depth++;
        if (open == 0) {
            return fail(kNotAProject);
        }
        if (m_flat != Flat::None) {
            return nested(open, false);
        }
        if (open == 1) {
            return m_key == "groups" ? true : wrongProjectValue();
        }
        return fail(notAnObject());
    }
    bool end_object() override {
        if (m_site) {
            return endInSite();
        }
        if (--m_depth == m_flatDepth - 1 && m_flat != Flat::None) {
            return endFlat();
        }
        return endNested();
    }
    bool end_array() override {
        if (m_site) {
            return endInSite();
        }
        --m_depth;
        return endNested();
    }
    bool key(string_t& value) override {
        if (m_site) {
            return siteSays(m_site->key(std::move(value)));
        }
        if (m_depth == 1) {
            if (std::find(std::begin(kProjectKeys), std::end(kProjectKeys), value) ==
                std::end(kProjectKeys)) {
                return fail("unknown key " + JsonString(value) +
                            " in the project; allowed keys are " + JoinedNames(kProjectKeys));
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
        R"(a project is a JSON object with "groups" (and "name", "storage", "recorder", "site"))";

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
        m_open.clear();
        return true;
    }

    // The site reader's answer to an event: on, or the first problem of the site.
    bool siteSays(std::optional<std::string> problem) {
        return problem ? fail(std::move(*problem)) : true;
    }

    bool endInSite() {
        if (!siteSays(m_site->end())) {
            return false;
        }
        if (m_site->done()) {
            m_project->site = m_site->take();
            m_site.reset();
        }
        return true;
    }

    // An object or array inside a flat object. A group keeps it, and what it holds down to
    // kGroupValueDepth, for its check; anything else, and anything deeper, is a value of the
    // wrong kind, whatever it holds, kept as Other for the check to refuse.
    bool nested(int open, bool object) {
        const bool kept = m_flat == Flat::Group && m_open.size() < kGroupValueDepth &&
                          (open == m_flatDepth || m_open.back() != nullptr);
        // Made in its place, then opened (g++ 12 with AddressSanitizer warns that an optional
        // vector moved out of a local may be uninitialised).
        FileValue* placed = place(FileValue{});
        if (kept && placed != nullptr) {
            if (object) {
                placed->members.emplace();
            } else {
                placed->elements.emplace();
            }
        }
        m_open.push_back(kept ? placed : nullptr);
        return true;
    }

    // The end of an object or array that nested() opened, if one is open.
    bool endNested() {
        if (m_flat != Flat::None && !m_open.empty()) {
            m_open.pop_back();
        }
        return true;
    }

    // Puts a value read inside a flat object where it belongs: among the object's own entries,
    // or into the object or array open inside one of them; drops it deeper down. The value's
    // address, while it is the last one placed.
    FileValue* place(FileValue value) {
        if (m_open.empty()) {
            m_entries.push_back({std::move(m_key), std::move(value)});
            return &m_entries.back().value;
        }
        FileValue* container = m_open.back();
        if (container == nullptr) {
            return nullptr;
        }
        if (container->members) {
            container->members->push_back({std::move(m_key), std::move(value)});
            return &container->members->back().value;
        }
        container->elements->push_back(std::move(value));
        return &container->elements->back();
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
        if (m_site) {
            return siteSays(m_site->value(std::move(value)));
        }
        if (m_flat != Flat::None) {
            place(std::move(value));
            return true;
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
    std::vector<FileValue*> m_open;   // the objects and arrays open inside it; nullptr: not kept
    std::optional<detail::SiteReader> m_site; // while the site is read
    std::string m_key;                        // the key whose value comes next
    int m_depth = 0;                          // objects and arrays open
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
