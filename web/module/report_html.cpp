// SPDX-License-Identifier: MIT
#include "web/module/report_html.hpp"

#include "estimation/numeric_text.hpp"

#include <initializer_list>

#include "form/actions.hpp"
#include "project/plan_lines.hpp"

namespace lenstally::web {
namespace {

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string cell(std::string_view text, bool right = false) {
    return std::string(right ? "<td class=\"number\">" : "<td>") + escaped(text) + "</td>";
}

std::string headerRow(std::initializer_list<std::string_view> headers) {
    std::string row = "<tr>";
    for (const std::string_view h : headers) {
        row += "<th>" + escaped(h) + "</th>";
    }
    return row + "</tr>";
}

std::string lineTable(const std::vector<PlanLine>& lines) {
    std::string html = "<table class=\"lines\">";
    for (const PlanLine& line : lines) {
        html += "<tr><td>" + escaped(line.label) + "</td><td>" +
                (line.warning ? "<b>" + escaped(line.text) + "</b>" : escaped(line.text)) +
                "</td></tr>";
    }
    return html + "</table>";
}

} // namespace

std::string ReportHtml(const ProjectResult& result, std::string_view date) {
    const std::string name = result.name ? escaped(*result.name) : "Untitled project";
    std::string html = "<h1>" + name + "</h1><p>Video-surveillance recording plan, " +
                       escaped(date) + ". Figures by Lenstally.</p>";

    // Each group's inputs, as the project file and the CSV report name them.
    html += "<h2>Camera groups</h2><table class=\"grid\"><tr><th>Group</th>";
    for (const ActionSpec& a : Actions()) {
        html += "<th>" + escaped(a.option) + "</th>";
    }
    html += "<th>activity</th></tr>";
    for (const GroupResult& g : result.groups) {
        html += "<tr>" + cell(g.name);
        for (const std::string& input : g.inputs) {
            html += cell(input);
        }
        html += cell(PercentText(g.activity), true) + "</tr>";
    }
    html += "</table>";

    html += "<h2>Results</h2><table class=\"grid\">";
    html += headerRow({"Group", "Frame size (KB)", "Per camera", "Total bandwidth", "Storage"});
    for (const GroupResult& g : result.groups) {
        html += "<tr>" + cell(g.name) + cell(g.frameSize, true) + cell(g.perCamera, true) +
                cell(g.totalBandwidth, true) + cell(g.storage, true) + "</tr>";
    }
    html += "<tr><td><b>TOTAL</b></td><td></td><td></td>" +
            cell(result.totals.totalBandwidth, true) + cell(result.totals.totalStorage, true) +
            "</tr></table>";
    html += "<p>Storage counts the recorded share (activity) of each group's recording hours; "
            "bandwidth counts every camera all the time.</p>";

    if (result.storage) {
        html += "<h2>Storage plan</h2>" + lineTable(result.totals.storageLines);
    }
    if (result.recorder) {
        html += "<h2>Recorders</h2>" + lineTable(result.totals.recorderLines);
    }
    html += "<h2>How the estimates work</h2><p>MJPEG stores every frame at the average frame "
            "size. For MPEG-4 and H.264 with a variable bit rate, the bandwidth counts every "
            "frame at the full frame size while the storage counts one full frame per GOP, so the "
            "two bracket the real stream. With a constant bit rate both use the given bit rate. "
            "Storage adds 10 % to the recorded stream. KB, MB, GB and TB are powers of 1000; TiB "
            "powers of 1024.</p>";
    return html;
}

} // namespace lenstally::web
