// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "form/control_names.hpp"
#include "project/project.hpp"
#include "project/project_compute.hpp"
#include "project/report_html.hpp"

namespace lenstally {
namespace {

// What the window shows for an action after the same actions: the caption beside the selected
// option button, the list's item, or the number or text itself.
std::string windowWords(const Form1& form, const ActionDescription& a) {
    if (a.kind == ActionKind::Select) {
        for (const ControlId option : a.options) {
            if (form.control(option).value) {
                return SpokenName(form.control(*LabelBeside(option)).text);
            }
        }
        return {};
    }
    const Control& control = form.control(a.control);
    return a.kind == ActionKind::Pick
               ? SpokenName(control.items[static_cast<std::size_t>(control.listIndex)])
               : CurrentValue(form, a);
}

// A customer reads the report: every input in the window's words, none of the file's keys.
TEST(ReportWords, are_the_windows_captions_not_the_files_keys) {
    const ProjectParse parsed = ParseProject(
        R"({"groups":[{"name":"Gate","stream":"h264","bitrate-mode":"cbr","resolution":"2mp",
            "quality":"low","cameras":3},{"name":"Yard","stream":"mjpeg","resolution":"4cif"}]})");
    ASSERT_TRUE(parsed.project) << parsed.error;
    const ProjectResult result = ComputeProject(*parsed.project);
    const std::string html = ReportBodyHtml(
        result, "2026-12-09", [](std::size_t) { return std::string(); },
        [] { return std::string(); });
    for (const char* expected :
         {"<th>Bitrate mode</th>", "<th>Frame size (KB)</th>", "<td>H.264</td>", "<td>CBR</td>",
          "<td>2 Megapixel (1600x1200)</td>", "<td>MJPEG</td>", "<td>4CIF (704x480)</td>"}) {
        EXPECT_NE(html.find(expected), std::string::npos) << expected;
    }
    for (const char* key : {"h264", "mjpeg", "cbr", "2mp", "4cif", "bitrate-mode", "frame-size"}) {
        EXPECT_EQ(html.find(std::string(">") + key + "<"), std::string::npos) << key;
    }
    for (std::size_t g = 0; g < parsed.project->groups.size(); ++g) {
        Form1 form;
        form.load();
        for (const ResolvedAction& action : parsed.project->groups[g].actions) {
            ApplyAction(form, action);
        }
        std::string row = "<tr><td>" + result.groups[g].name + "</td>";
        for (const ActionDescription& a : Actions()) {
            row += "<td>" + windowWords(form, a) + "</td>";
        }
        EXPECT_NE(html.find(row), std::string::npos) << row;
    }
}

} // namespace
} // namespace lenstally
