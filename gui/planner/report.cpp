// SPDX-License-Identifier: MIT
#include "gui/planner/report.hpp"

#include <QDate>
#include <QFont>
#include <QPagedPaintDevice>
#include <QTextDocument>
#include <QUrl>

#include "gui/calculator/form1_view.hpp"
#include "gui/planner/view_picture.hpp"
#include "project/plan_lines.hpp"

namespace lenstally {
namespace {

// The size a camera view's picture takes on the page, in the document's pixels.
const QSize kPictureSize(520, 280);

QString cell(const std::string& text, bool right = false) {
    return QStringLiteral("<td%1>%2</td>")
        .arg(right ? QStringLiteral(" align=\"right\"") : QString(),
             toQString(text).toHtmlEscaped());
}

QString headerRow(std::initializer_list<const char*> headers) {
    QString row = QStringLiteral("<tr>");
    for (const char* h : headers) {
        row += QStringLiteral("<th>%1</th>").arg(QString::fromLatin1(h));
    }
    return row + QStringLiteral("</tr>");
}

QString lineTable(const std::vector<PlanLine>& lines) {
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
    for (const PlanLine& line : lines) {
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
                    .arg(toQString(line.label).toHtmlEscaped(),
                         line.warning
                             ? QStringLiteral("<b>%1</b>").arg(toQString(line.text).toHtmlEscaped())
                             : toQString(line.text).toHtmlEscaped());
    }
    return html + QStringLiteral("</table>");
}

} // namespace

QString ReportHtml(const ProjectResult& result, const QDate& date) {
    const QString name =
        result.name ? toQString(*result.name).toHtmlEscaped() : QStringLiteral("Untitled project");
    QString html = QStringLiteral("<html><head><style>"
                                  "table.grid { border-collapse: collapse; }"
                                  "table.grid td, table.grid th { border: 1px solid #808080; }"
                                  "th { text-align: left; }"
                                  "</style></head><body>");
    html += QStringLiteral("<h1>%1</h1><p>Video-surveillance recording plan, %2. Figures by "
                           "Lenstally.</p>")
                .arg(name, date.toString(Qt::ISODate));

    // Each group's inputs, as the project file and the CSV report name them.
    html += QStringLiteral("<h2>Camera groups</h2><table class=\"grid\" cellspacing=\"0\" "
                           "cellpadding=\"3\">");
    html += QStringLiteral("<tr><th>Group</th>");
    for (const ActionSpec& a : Actions()) {
        html += QStringLiteral("<th>%1</th>").arg(toQString(a.option).toHtmlEscaped());
    }
    html += QStringLiteral("<th>activity</th><th>camera</th><th>pixels</th></tr>");
    for (const GroupResult& g : result.groups) {
        html += QStringLiteral("<tr>") + cell(g.name);
        for (const std::string& input : g.inputs) {
            html += cell(input);
        }
        html += cell(PercentText(g.activity), true) + cell(g.camera.description.value_or("")) +
                cell(g.camera.pixels ? std::to_string(*g.camera.pixels) : std::string(), true) +
                QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");

    html += QStringLiteral("<h2>Results</h2><table class=\"grid\" cellspacing=\"0\" "
                           "cellpadding=\"3\">");
    html += headerRow({"Group", "Frame size (KB)", "Per camera", "Total bandwidth", "Storage"});
    for (const GroupResult& g : result.groups) {
        html += QStringLiteral("<tr>") + cell(g.name) + cell(g.frameSize, true) +
                cell(g.perCamera, true) + cell(g.totalBandwidth, true) + cell(g.storage, true) +
                QStringLiteral("</tr>");
    }
    html += QStringLiteral("<tr><td><b>TOTAL</b></td><td></td><td></td>") +
            cell(result.totals.totalBandwidth, true) + cell(result.totals.totalStorage, true) +
            QStringLiteral("</tr></table>");
    html += QStringLiteral("<p>Storage counts the recorded share (activity) of each group's "
                           "recording hours; bandwidth counts every camera all the time.</p>");

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
        html += QStringLiteral("<h2 style=\"page-break-before: always\">Camera view of %1</h2>")
                    .arg(toQString(g.name).toHtmlEscaped()) +
                QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                    .arg(ViewPictureUrl(i).toString())
                    .arg(kPictureSize.width())
                    .arg(kPictureSize.height()) +
                lineTable(lines);
    }
    if (result.storage) {
        html += QStringLiteral("<h2>Storage plan</h2>") + lineTable(result.totals.storageLines);
    }
    if (result.recorder) {
        html += QStringLiteral("<h2>Recorders</h2>") + lineTable(result.totals.recorderLines);
    }
    html += QStringLiteral(
        "<h2>How the estimates work</h2><p>MJPEG stores every frame at the average frame size. "
        "For MPEG-4 and H.264 with a variable bit rate, the bandwidth counts every frame at the "
        "full frame size while the storage counts one full frame per GOP, so the two bracket the "
        "real stream. With a constant bit rate both use the given bit rate. Storage adds 10 % "
        "to the recorded stream. KB, MB, GB and TB are powers of 1000; TiB powers of 1024.</p>");
    return html + QStringLiteral("</body></html>");
}

QUrl ViewPictureUrl(std::size_t group) {
    return {QStringLiteral("lenstally-view:%1").arg(group)};
}

void PrintReport(const ProjectResult& result, const QDate& date, QPagedPaintDevice& device) {
    QTextDocument document;
    const QFont font(QStringLiteral("Liberation Sans"), 9);
    document.setDefaultFont(font);
    // The pictures the HTML names, drawn by the planner's own painter at print resolution.
    for (std::size_t i = 0; i < result.groups.size(); ++i) {
        if (const std::optional<ViewFigures>& view = result.groups[i].view) {
            document.addResource(QTextDocument::ImageResource, ViewPictureUrl(i),
                                 ViewPictureImage(*view, kPictureSize, font, 3));
        }
    }
    document.setHtml(ReportHtml(result, date));
    document.print(&device);
}

} // namespace lenstally
