// SPDX-License-Identifier: MIT
#include "project/report_html.hpp"

#include "estimation/numeric_text.hpp"

#include <initializer_list>

#include "form/actions.hpp"
#include "project/input_words.hpp"
#include "project/plan_lines.hpp"
#include "project/site_lines.hpp"

namespace lenstally {
namespace {

std::string cell(std::string_view text, bool right = false) {
    return std::string(right ? "<td align=\"right\">" : "<td>") + HtmlEscaped(text) + "</td>";
}

std::string headerRow(std::initializer_list<std::string_view> headers) {
    std::string row = "<tr>";
    for (const std::string_view h : headers) {
        row += "<th>" + HtmlEscaped(h) + "</th>";
    }
    return row + "</tr>";
}

std::string lineTable(const std::vector<PlanLine>& lines) {
    std::string html = R"(<table class="lines" cellspacing="0" cellpadding="3">)";
    for (const PlanLine& line : lines) {
        html += "<tr><td>" + HtmlEscaped(line.label) + "</td><td>" +
                (line.warning ? "<b>" + HtmlEscaped(line.text) + "</b>" : HtmlEscaped(line.text)) +
                "</td></tr>";
    }
    return html + "</table>";
}

constexpr std::string_view kGrid = R"(<table class="grid" cellspacing="0" cellpadding="3">)";

} // namespace

std::string HtmlEscaped(std::string_view text) {
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

std::string ReportBodyHtml(const ProjectResult& result, std::string_view date,
                           const ReportPicture& picture, const ReportSitePicture& sitePicture) {
    const std::string name = result.name ? HtmlEscaped(*result.name) : "Untitled project";
    std::string html = "<h1>" + name + "</h1><p>Video-surveillance recording plan, " +
                       HtmlEscaped(date) + ". Figures by Lenstally.</p>";

    // Each group's inputs, in the words the calculator shows them.
    html += "<h2>Camera groups</h2>";
    html += kGrid;
    html += "<tr><th>Group</th>";
    for (const ActionDescription& a : Actions()) {
        html += "<th>" + HtmlEscaped(InputHeading(a)) + "</th>";
    }
    html += "<th>Activity</th><th>Camera</th><th>Pixels</th></tr>";
    for (const GroupResult& g : result.groups) {
        html += "<tr>" + cell(g.name);
        for (std::size_t i = 0; i < g.inputs.size() && i < Actions().size(); ++i) {
            html += cell(InputWords(Actions()[i], g.inputs[i]));
        }
        html += cell(PercentText(g.activity), true) + cell(g.camera.description.value_or("")) +
                cell(g.camera.pixels ? std::to_string(*g.camera.pixels) : std::string(), true) +
                "</tr>";
    }
    html += "</table>";

    html += "<h2>Results</h2>";
    html += kGrid;
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

    // What each camera sees: the picture and the figures in words, a page per group with a view.
    for (std::size_t i = 0; i < result.groups.size(); ++i) {
        const GroupResult& g = result.groups[i];
        if (!g.view) {
            continue;
        }
        std::vector<PlanLine> lines = g.viewLines;
        if (g.camera.description) {
            lines.insert(lines.begin(), {PlanLine::Kind::Assumption,
                                         "Camera:", *g.camera.description, std::nullopt});
        }
        html += "<h2 style=\"page-break-before: always\">Camera view of " + HtmlEscaped(g.name) +
                "</h2>" + picture(i) + lineTable(lines);
    }
    if (result.storage) {
        html += "<h2>Storage plan</h2>" + lineTable(result.totals.storageLines);
    }
    if (result.recorder) {
        html += "<h2>Recorders</h2>" + lineTable(result.totals.recorderLines);
    }
    if (result.site) {
        const SiteResult& site = *result.site;
        html += "<h2 style=\"page-break-before: always\">Site plan</h2>" + sitePicture() +
                lineTable(SitePlanLines(result));
        if (!site.zones.empty()) {
            html += "<h3>Zones</h3>";
            html += kGrid;
            html += headerRow({"Zone", "Level", "Required", "Covered", "Met", "Cameras"});
            const std::vector<ZoneLine> zones = ZoneLines(site);
            for (std::size_t i = 0; i < zones.size(); ++i) {
                const ZoneLine& z = zones[i];
                html += "<tr>" + cell(z.name) + cell(z.level) + cell(z.required, true) +
                        cell(z.covered, true) +
                        (site.zones[i].met ? cell(z.met)
                                           : "<td><b>" + HtmlEscaped(z.met) + "</b></td>") +
                        cell(z.cameras) + "</tr>";
            }
            html += "</table>";
        }
        if (!site.placements.empty()) {
            html += "<h3>Cameras placed</h3>";
            html += kGrid;
            html += headerRow({"Camera", "Group", "x (m)", "y (m)", "Heading (\u00B0)"});
            for (const PlacementResult& p : site.placements) {
                html += "<tr>" + cell(p.label) + cell(result.groups[p.group].name) +
                        cell(FormatNumber(p.placement.x), true) +
                        cell(FormatNumber(p.placement.y), true) +
                        cell(FormatNumber(p.placement.heading), true) + "</tr>";
            }
            html += "</table>";
        }
        html +=
            "<p>A camera sees a level as far as the level reaches, within its angle of view and "
            "up to the first wall; a zone's coverage is the share of its area seen at its level "
            "by at least one camera. Mounting height and tilt, the blind zone below a camera, "
            "lens distortion and light are not modelled.</p>";
    }
    html += "<h2>How the estimates work</h2><p>MJPEG stores every frame at the average frame "
            "size. For MPEG-4 and H.264 with a variable bit rate, the bandwidth counts every "
            "frame at the full frame size while the storage counts one full frame per GOP, so the "
            "two bracket the real stream. With a constant bit rate both use the given bit rate. "
            "Storage adds 10 % to the recorded stream. KB, MB, GB and TB are powers of 1000; TiB "
            "powers of 1024.</p>";
    return html;
}

} // namespace lenstally
